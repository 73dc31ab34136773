#pragma once
// What the tests of the details pane and its dialogs share: a temporary data folder and per-user
// folder, a host window that records the command messages it receives, sample records, and a
// script that drives modal dialogs from inside their own message loops.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "model/Software.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

constexpr COLORREF PaneColour = RGB(228, 236, 247);

struct ReceivedCommand {
    WPARAM Code;
    HWND Sender;
};

// A top-level window standing in for the main window, with a child standing in for its toolbar.
class CHostWindow {
public:
    CHostWindow();
    ~CHostWindow();
    HWND Handle() const { return m_window; }
    HWND Toolbar() const { return m_toolbar; }
    static std::vector<ReceivedCommand>& Commands();

private:
    HWND m_window = nullptr;
    HWND m_toolbar = nullptr;
};

class CDetailsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::wstring DataFolder() const { return m_temp / L"Data\\"; }
    std::wstring HistoryFile(const std::wstring& name) const;

    CTempFolder m_temp;
    CMessageBoxScript m_boxes;
};

// A record with an Id and the given basic facts; everything else as a new record has it.
std::unique_ptr<CSoftware> MakeRecord(const std::wstring& id, const std::wstring& name,
                                      const std::wstring& company, float price, int category, int type);

// Control helpers: texts as typed by a user (WM_SETTEXT, then EN_CHANGE to the parent).
void TypeText(HWND dialog, int id, const std::wstring& text);
std::wstring TextOf(HWND window);
std::wstring ItemTextOf(HWND dialog, int id);
void Click(HWND dialog, int id);
// Clicks the tab's header as the mouse would.
void ClickTab(HWND tabs, int index);
int ComboSelection(HWND dialog, int id);
void SelectCombo(HWND dialog, int id, int position);
std::vector<std::wstring> ListTexts(HWND dialog, int id);
std::vector<std::wstring> ComboEntries(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
RECT ChildRect(HWND parent, HWND child);

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

// Pixels of a rectangle of a window's client area (in that window's coordinates).
std::vector<COLORREF> CapturePixels(HWND window, const RECT& rect);

// Steps run, one by one, on the first enabled visible dialog of this thread with that title,
// from inside whatever modal loop is running; bounded: after about five seconds without the
// window, the step fails the test and the newest dialog is cancelled.
class CModalScript {
public:
    CModalScript();
    ~CModalScript();
    void Then(const std::wstring& title, std::function<void(HWND)> step);
    bool Done() const;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
};
