#pragma once
// A one-row tab strip for thousands of tabs. It keeps the tab names in a vector and lays them out
// once, when they are next needed, however many were inserted, renamed or deleted since; the
// platform tab control lays itself out again on every change. It answers the tab-control messages
// that tests, automation and assistive tools send (count, selection, item text and rectangle, hit
// test, display area) and notifies its parent as the platform control does (TCN_KEYDOWN,
// TCN_SELCHANGING, TCN_SELCHANGE). Tabs that do not fit scroll with arrows at the right end, beside
// a button that lists the tabs to jump to one by typing the start of its name.

#include <windows.h>

#include <string>
#include <vector>

class CTabStrip {
public:
    static constexpr wchar_t ClassName[] = L"QuorvaneTabStrip";
    // The jump button and the arrows, as children of the strip.
    static constexpr int JumpButtonId = 1;
    static constexpr int ScrollArrowsId = 2;

    // Registers the window class once per process; a dialog template may then name it.
    static bool Register();
    // The strip of a window of this class, or null.
    static CTabStrip* FromWindow(HWND window);

    // Replaces the tabs from index first on with these names, as deleting the surplus or
    // inserting the missing tabs at that index would, then renaming them: the selection follows
    // the same rules. One layout for the lot.
    void ReplaceTabs(int first, const std::vector<std::wstring>& names);
    int Count() const { return static_cast<int>(m_names.size()); }
    const std::wstring& Text(int index) const { return m_names[static_cast<size_t>(index)]; }
    int CurSel() const { return m_selected; }
    // The user's choice: asks the parent (TCN_SELCHANGING), selects and tells it (TCN_SELCHANGE).
    // False when the index is out of range, already selected or the parent refused.
    bool ChooseTab(int index);
    // The first tab shown at the left end, and whether the tabs overflow the strip.
    int FirstVisible() const { return m_leftmost; }
    bool Overflows();
    // The first tab after `after` (wrapping round) whose name begins with the prefix, ignoring
    // case; -1 when none does.
    int FindPrefix(const std::wstring& prefix, int after) const;
    // Opens the list of tabs under the jump button, with the text typed so far.
    void OpenJumpList(const std::wstring& typed);

private:
    explicit CTabStrip(HWND window);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Widths of every tab from the font, once per change of names, font or size.
    void Layout();
    void Invalidate();
    void EnsureVisible(int index);
    void PlaceControls();
    bool ItemRect(int index, RECT& rect);
    int HitTest(POINT point);
    void AdjustRect(bool larger, RECT& rect);
    int SetCurSel(int index);
    LRESULT Notify(UINT code) const;
    void OnKeyDown(UINT key);
    void Paint(HDC dc);
    int TabHeight();
    int ControlsWidth();

    HWND m_hWnd;
    HFONT m_font = nullptr;
    std::vector<std::wstring> m_names;
    // Measured width of each tab, -1 until measured.
    std::vector<int> m_widths;
    // Left edge of tab i from the first tab's; one more entry for the end of the last tab.
    std::vector<int> m_lefts;
    bool m_dirty = true;
    bool m_revealSelection = false;
    int m_tabHeight = 0;
    int m_selected = -1;
    int m_leftmost = 0;
    int m_maxLeftmost = 0;
    bool m_overflow = false;
    HWND m_arrows = nullptr;
    HWND m_jumpButton = nullptr;
};
