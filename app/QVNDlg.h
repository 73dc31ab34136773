#pragma once
// The main window: toolbar across the top, catalogue list pane at the left, details pane at the
// right, and the hub every user command reaches as MSG_COMMAND.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "app/CatalogueExchangeCommands.h"
#include "app/Commands.h"
#include "app/Finder.h"
#include "app/QVNToolbar.h"
#include "app/RestoreGuard.h"
#include "app/SWListDlg.h"
#include "app/ItemInfoDlg.h"
#include "model/LicenceDates.h"
#include "framework/DialogKeys.h"
#include "app/VaultCommands.h"
#include "framework/Gdi.h"
#include "installer/ImportProgressDlg.h"
#include "skin/BitmapDialog.h"

class CSoftware;

class CQVNDlg : public CommCtrl::CBitmapDialog {
public:
    explicit CQVNDlg(HWND parent = nullptr);
    ~CQVNDlg() override;

    // The dialogs that commands open, replaceable so that tests can answer them. The add dialog
    // returns its result; the options dialog returns true when it replaced the catalogue (a new
    // data folder), after which every pointer into the old one is gone. It is given the guard its
    // backups window asks before a restore.
    using RecordDialogRunner = std::function<INT_PTR(CSoftware& record, HWND owner)>;
    using OptionsRunner = std::function<bool(HWND owner, RestoreGuard restoreGuard)>;
    using DialogRunner = std::function<INT_PTR(HWND owner)>;
    void SetAddDialog(RecordDialogRunner runner) { m_addDialog = std::move(runner); }
    void SetOptionsDialog(OptionsRunner runner) { m_optionsDialog = std::move(runner); }
    void SetAboutDialog(DialogRunner runner) { m_aboutDialog = std::move(runner); }
    // The "More" menu: shown with its top right corner at a screen point, returns the chosen
    // command (0 for none).
    using MenuRunner = std::function<UINT(HMENU popup, HWND owner, POINT at)>;
    void SetMoreMenu(MenuRunner runner) { m_moreMenu = std::move(runner); }
    // The reminder dialog: returns IDOK when the due records are to be shown in their tab.
    using ReminderRunner = std::function<INT_PTR(const std::vector<CDueRecord>& due, HWND owner)>;
    void SetReminderDialog(ReminderRunner runner) { m_reminderDialog = std::move(runner); }
    // Set by the application before the window opens: once it shows, the licences due are listed.
    void RemindWhenShown(bool remind) { m_remindWhenShown = remind; }
    // The reminder dialog with the licences due today, when there are any; returns whether any were.
    bool ShowReminders();
    // Runs a command of the "More" menu.
    void OnMoreCommand(UINT id);
    CFinder& Finder() { return m_finder; }
    void SetExportChooser(ExportChooser chooser) { m_exportChooser = std::move(chooser); }

    // The commands, as the command message runs them.
    void OnAdd();
    void OnClassify(int mode);
    void OnSort(int key);
    void OnAttach();
    void OnDetach();
    void OnExport();
    void OnLaunch();
    void OnDelete();
    void OnDropFiles(HDROP drop);
    // The whole catalogue or the selection to a CSV or JSON file; a file read back into it.
    void OnExportCatalogue(bool preferSelection);
    void OnImportCatalogue();

    CQVNToolbar& Toolbar() { return m_toolbar; }
    CSWListDlg& ListPane() { return m_listPane; }
    CItemInfoDlg& ItemInfo() { return m_itemInfo; }
    HWND ItemInfoWindow() const { return m_itemInfo.GetSafeHwnd(); }
    CImportProgressDlg& Progress() { return m_progress; }
    CVaultCommands& Vault() { return m_vault; }
    HICON AppIcon() const { return m_appIcon.Get(); }

    static constexpr int WindowWidth = 821;
    static constexpr int WindowHeight = 707;
    static constexpr int ToolbarHeight = 74;
    static constexpr int ListPaneWidth = 515;
    static constexpr int PaneHeight = 600;

    // The window's size at a DPI: its parts scaled one by one, so that they fill it exactly.
    static SIZE WindowSizeAt(UINT dpi);
    // The largest DPI up to the given one at which the window fits the work area of the monitor
    // of a window or a rectangle; never below 96.
    static UINT FittingDpi(HWND window, UINT dpi);
    static UINT FittingDpiAt(const RECT& where, UINT dpi);
    // The system-menu item that opens the About box.
    static constexpr UINT AboutMenuId = 0x10;
    // Posted to itself at opening, so that reminders come once the window shows.
    static constexpr UINT RemindMessage = WM_APP + 40;

protected:
    BOOL OnInitDialog() override;
    // Enter never closes the main window.
    void OnOK() override {}
    // Only the caption's close button and the system menu's Close close it, after asking when
    // the details pane holds unsaved edits.
    void OnCancel() override;
    void PaintSkin(HDC dc) override;
    // Background snapshots tell this window no more, and the find keys are no longer watched.
    void OnDestroy() override;
    void OnDpiChanged() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void PlacePanes();
    void OnCommandMessage(WPARAM code, HWND sender);
    // The menu of further commands, and the keys of the export and import, send their identifiers.
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    std::vector<CSoftware*> CatalogueRecords() const;
    void OnSysCommand(WPARAM command, LPARAM lParam, bool& handled);
    // WM_QUERYENDSESSION: false keeps the session alive for the unsaved edits.
    bool OnQueryEndSession();

    // The selected entries of the current list, in ascending order, and their records.
    std::vector<int> SelectedPositions();
    std::vector<CSoftware*> SelectedRecords();
    // The array the current tab shows: the catalogue for "All", else its group.
    CSoftwareArray* CurrentSource() const;
    HWND TabWindow() const;
    void RepaintListPane() const;
    // After the catalogue was replaced: the panes show the new one from its first record.
    void ShowReloadedCatalogue();
    // Given to the backups window: before a restore or a bringing back, unsaved edits of the
    // details pane are left, once the user agrees to lose them (asked over the asking window).
    RestoreGuard PaneRestoreGuard();
    bool LeaveEditBeforeRestore(HWND asking);
    // After an attach or a drop changed the record.
    void AfterInstallerChange(CSoftware& record);
    void ShowMoreMenu();

    CScopedIcon m_appIcon;
    int32_t m_closingFromSystemMenu = 0;
    CQVNToolbar m_toolbar;
    CSWListDlg m_listPane;
    CItemInfoDlg m_itemInfo;
    CImportProgressDlg m_progress;
    CVaultCommands m_vault;

    RecordDialogRunner m_addDialog;
    OptionsRunner m_optionsDialog;
    DialogRunner m_aboutDialog;
    MenuRunner m_moreMenu;
    ReminderRunner m_reminderDialog;
    bool m_remindWhenShown = false;
    CFinder m_finder;
    ExportChooser m_exportChooser;
    CDialogKeys m_exchangeKeys;
};

// Texts of the main window's commands.
extern const wchar_t* const LeaveWithoutSavingText;
extern const wchar_t* const OpenInstallerFilter;
extern const wchar_t* const ExportFolderTitle;
