// Runs the real start-up and main window on the sample catalogue, then puts it in one of the
// states the pictures of Find, the licence dates and the reminders show, as a user's keys and
// clicks would, and writes the marker file named on its command line once it is painted.
// scripts/find-shots.sh runs it for each picture under a virtual display.
// Usage: find_shots MODE MARKER, MODE one of find, more, licence-view, licence-edit, reminders.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/Finder.h"
#include "app/QVNApp.h"
#include "app/QVNDlg.h"
#include "app/ReminderDlg.h"
#include "model/Catalogue.h"
#include "model/LicenceDates.h"
#include "res/resource.h"
#include "storage/Configurations.h"

namespace {
void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring DaysFromToday(int days)
{
    return FormatIsoDate(DateOfDayNumber(DayNumber(LocalToday()) + days));
}

CSoftware* Named(const wchar_t* name)
{
    for (CSoftware* record : SoftwareList) {
        if (record->BasicInfo.Name == name)
            return record;
    }
    return SoftwareList.IsEmpty() ? nullptr : SoftwareList[0];
}

// Licence dates for a few of the sample's records, in memory only.
void GiveDates()
{
    const struct {
        const wchar_t* Name;
        const wchar_t* Purchase;
        int ExpiresIn;
    } dates[] = {
        {L"Sentinel Guard", L"2023-05-12", 12},
        {L"Burrow Backup", L"2022-11-30", -3},
        {L"Garnet Accounts", L"2024-01-15", 27},
        {L"Forge IDE", L"2021-09-01", 4},
        {L"Saffron Photo", L"2024-02-20", 200},
    };
    for (const auto& date : dates) {
        if (CSoftware* record = Named(date.Name)) {
            record->ExtraInfo.PurchaseDate = date.Purchase;
            record->ExtraInfo.ExpiryDate = DaysFromToday(date.ExpiresIn);
        }
    }
}

void ShowRecord(CQVNDlg& window, CSoftware* record)
{
    CSWListBox& all = window.ListPane().AllList();
    all.SelectOnly(SoftwareList.Find(record));
    SendMessageW(all.GetSafeHwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(SoftwareList.Find(record)), 0);
    SendMessageW(window.ListPane().GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(CSWListDlg::AllListId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(all.GetSafeHwnd()));
    Pump();
}

void ClickDetailsTab(CQVNDlg& window, int tab)
{
    HWND tabs = GetDlgItem(window.ItemInfoWindow(), IDC_ITEM_TABS);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR header{tabs, static_cast<UINT_PTR>(IDC_ITEM_TABS), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window.ItemInfoWindow(), WM_NOTIFY, IDC_ITEM_TABS, reinterpret_cast<LPARAM>(&header));
    Pump();
}

std::wstring Marker;

void WriteMarker()
{
    HANDLE marker = CreateFileW(Marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
}

// The menu's own loop runs while it is open: the marker is written from a timer inside it.
void CALLBACK MarkOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    WriteMarker();
}

class CShotApp : public CQVNApp {
public:
    explicit CShotApp(std::wstring mode) : m_mode(std::move(mode)) {}

protected:
    void RunMainWindow() override
    {
        GiveDates();
        CQVNDlg window;
        if (!window.Create(nullptr))
            return;
        m_pMainWnd = window.GetSafeHwnd();
        Pump();
        std::unique_ptr<CReminderDlg> reminders;
        std::vector<CDueRecord> due;
        bool marked = false;
        if (m_mode == L"find") {
            window.Finder().Open();
            SetWindowTextW(window.Finder().Box()->TextBox(), L"work");
            Pump();
        } else if (m_mode == L"licence-view" || m_mode == L"licence-edit") {
            ShowRecord(window, Named(L"Sentinel Guard"));
            if (m_mode == L"licence-edit")
                SendMessageW(window.ItemInfoWindow(), WM_COMMAND, MAKEWPARAM(IDC_ITEM_MODIFY, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window.ItemInfoWindow(), IDC_ITEM_MODIFY)));
            ClickDetailsTab(window, CItemInfoDlg::LicenceTab);
        } else if (m_mode == L"reminders") {
            due = DueRecords(SoftwareList, LocalToday(), Settings.ReminderDays);
            window.Finder().ShowDue();
            Pump();
            reminders = std::make_unique<CReminderDlg>(due, Settings.ReminderDays, window.GetSafeHwnd());
            reminders->Create(window.GetSafeHwnd());
            ShowWindow(reminders->GetSafeHwnd(), SW_SHOW);
            Pump();
        } else if (m_mode == L"more") {
            RedrawWindow(window.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            window.SetMoreMenu([](HMENU popup, HWND owner, POINT at) {
                SetTimer(nullptr, 0, 500, MarkOpenMenu);
                return static_cast<UINT>(TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x,
                                                        at.y, 0, owner, nullptr));
            });
            marked = true;
            PostMessageW(window.GetSafeHwnd(), MSG_COMMAND, CMD_MORE,
                         reinterpret_cast<LPARAM>(window.Toolbar().GetSafeHwnd()));
        }
        RedrawWindow(window.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!marked)
            WriteMarker();
        MSG message{};
        while (IsWindow(window.GetSafeHwnd()) && GetMessageW(&message, nullptr, 0, 0) > 0) {
            // As the modal loop does: the dialog manager runs the main window's key filter too.
            if (!IsDialogMessageW(window.GetSafeHwnd(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        m_pMainWnd = nullptr;
    }

private:
    std::wstring m_mode;
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring mode = count > 1 ? arguments[1] : L"find";
    Marker = count > 2 ? arguments[2] : L"";
    LocalFree(arguments);
    CShotApp app(mode);
    return app.Run();
}
