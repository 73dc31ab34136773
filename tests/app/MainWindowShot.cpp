// Runs the real start-up and main window, then shows a group tab with one card selected, as a
// user's clicks would, and writes the marker file named on its command line once the window is
// painted, so that a screenshot can be taken. scripts/mainwindow-shot.sh runs it on the sample
// catalogue under a virtual display.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/QVNApp.h"
#include "app/QVNDlg.h"
#include "model/Catalogue.h"

namespace {
// The group shown, and which of its cards is selected.
const wchar_t ShownGroup[] = L"Multimedia";
constexpr int ShownCard = 2;

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class CShotApp : public CQVNApp {
public:
    explicit CShotApp(std::wstring marker) : m_marker(std::move(marker)) {}

protected:
    void RunMainWindow() override
    {
        CQVNDlg window;
        if (!window.Create(nullptr))
            return;
        m_pMainWnd = window.GetSafeHwnd();
        Pump();
        ShowGroupCard(window);
        RedrawWindow(window.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HANDLE marker = CreateFileW(m_marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (marker != INVALID_HANDLE_VALUE)
            CloseHandle(marker);
        MSG message{};
        while (IsWindow(window.GetSafeHwnd()) && GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(window.GetSafeHwnd(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        m_pMainWnd = nullptr;
    }

private:
    static void ShowGroupCard(CQVNDlg& window)
    {
        int tab = 1;
        for (int k = 0; k < GroupNames.GetSize(); ++k) {
            if (GroupNames[k] == ShownGroup)
                tab = k + 1;
        }
        CSWListDlg& pane = window.ListPane();
        HWND tabs = pane.TabControl();
        TabCtrl_SetCurSel(tabs, tab);
        NMHDR header{tabs, static_cast<UINT_PTR>(CSWListDlg::TabControlId), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(pane.GetSafeHwnd(), WM_NOTIFY, CSWListDlg::TabControlId, reinterpret_cast<LPARAM>(&header));
        Pump();
        CSWListBox* list = pane.CurrentList();
        if (!list || list->Count() == 0)
            return;
        const int card = ShownCard < list->Count() ? ShownCard : 0;
        list->SelectOnly(card);
        SendMessageW(pane.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list->GetSafeHwnd()), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list->GetSafeHwnd()));
        Pump();
    }

    std::wstring m_marker;
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    CShotApp app(commandLine ? commandLine : L"");
    return app.Run();
}
