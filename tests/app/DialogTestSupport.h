#pragma once
// Driving the program's modal dialogs from inside their own message loops, in a per-user folder
// of the test's own.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}
inline void PrintTo(const RECT& rect, std::ostream* out)
{
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

// Points the per-user paths into a fresh temporary folder, with the process-wide state as a first
// start finds it; puts everything back afterwards.
class CDialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void ResetProcessState();

    CTempFolder Root;
};

// Steps run one at a time from a thread timer, so they also run inside nested modal loops (the
// info tip's, for example). A step returns false to be tried again at the next tick (waiting for
// a window to appear). When the steps are done and the dialog is still open, or a bounded time has
// passed, the dialog is ended (with AbandonedResult where it can be) and the test fails.
class CModalScript {
public:
    using Step = std::function<bool()>;
    explicit CModalScript(std::function<HWND()> dialog);
    CModalScript(const CModalScript&) = delete;
    CModalScript& operator=(const CModalScript&) = delete;
    ~CModalScript();

    CModalScript& Then(Step step);
    // Shorthand for a step that always succeeds at once.
    CModalScript& Do(std::function<void()> action);
    // Runs the dialog's modal loop (by calling run) with the steps; returns what run returned.
    INT_PTR Run(const std::function<INT_PTR()>& run);
    bool Finished() const { return m_next == m_steps.size(); }

    static constexpr INT_PTR AbandonedResult = 0x7A11;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::function<HWND()> m_dialog;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
    DWORD m_deadline = 0;
    int m_idleTicks = 0;
    bool m_abandoned = false;
};

// Clicks a button as the mouse would, through the control itself.
void Click(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::wstring& text);
std::wstring TextOf(HWND window);
std::wstring TextOf(HWND dialog, int id);
// The entries and the selection of a drop-down list.
std::vector<std::wstring> ListEntries(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
void SelectEntry(HWND dialog, int id, int index);
// A control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int id);
RECT WindowRectOf(HWND window);
// A dialog opened over another one: the visible top-level window of this thread with that title.
HWND OwnWindowTitled(const wchar_t* title);

// A static control with SS_NOTIFY is clicked by a press and a release on it.
void ClickStatic(HWND dialog, int id);

// The client area's pixels as they are on the window's surface (BitBlt from its DC).
class CClientPixels {
public:
    explicit CClientPixels(HWND window);
    COLORREF At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixels of that colour inside the rectangle.
    int Count(const RECT& rect, COLORREF colour) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;
};

// Writes the window's pixels (BitBlt from its window DC) as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);

// The settings file's bytes for these values.
std::string SettingsBytes(int attachMode, const std::string& dataFolder, int show, int classify, int sort);
// A history file's bytes for these entries: UTF-16LE, each followed by one line feed.
std::string HistoryBytes(const std::vector<std::wstring>& entries);
