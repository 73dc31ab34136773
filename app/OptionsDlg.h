#pragma once
// The options dialog: default attach mode, data folder, default grouping and sorting, and the
// clearing of the autocomplete histories. OK stores the settings file at once.

#include <windows.h>

#include <string>

#include "app/InfoTipDlg.h"
#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"
#include "app/PaneColour.h"
#include "app/RestoreGuard.h"

class COptionsDlg : public CommCtrl::CBitmapDialog {
public:
    // The guard goes to the backups window opened from here.
    explicit COptionsDlg(HWND parent = nullptr, RestoreGuard restoreGuard = RestoreGuard());

    // IDOK only after the settings were stored. Then, when DataFolderChanged() is true, the
    // catalogue on screen is the old folder's: the caller shows the new one (ReloadCatalogue)
    // before anything else is saved.
    bool DataFolderChanged() const { return m_dataFolderChanged; }
    // True when the backups window restored or brought back softwares into the data folder: the
    // caller shows the catalogue again, whatever the dialog's result.
    bool CatalogueRestored() const { return m_catalogueRestored; }

    static constexpr int Width = 306;
    // 30 pixels more than the first layout, for the reminder row of the "Defaults" group.
    static constexpr int Height = 310;
    static constexpr COLORREF BackgroundColour = ::PaneColour;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnOK() override;
    void OnDpiChanged() override;

    // The tip is a member so that tests can see what it was given.
    CInfoTipDlg m_infoTip;

private:
    void SkinButtons();
    void PlaceControls();
    void CreateReminderRow();
    void FillLists();
    void ShowSettings();
    void OnBrowse();
    void OnInformation();
    void OnClearHistory();
    void OnBackups();
    // The data folder as it would be stored, or empty with the refusal shown.
    std::wstring TakeDataFolder();
    void FocusDataFolder();

    CommCtrl::CBitmapButton5S m_ok;
    CommCtrl::CBitmapButton5S m_cancel;
    CommCtrl::CBitmapButton5S m_browse;
    CommCtrl::CBitmapButton5S m_information;
    CommCtrl::CBitmapButton5S m_clearHistory;
    CommCtrl::CBitmapButton5S m_backups;
    RestoreGuard m_restoreGuard;
    bool m_dataFolderChanged = false;
    bool m_catalogueRestored = false;
};

// The Options command of the main window: runs the dialog over the owner and, when OK changed the
// data folder or a backup was restored from it, shows that folder's catalogue (ReloadCatalogue), so that nothing is saved where the
// next start would not look. True when the catalogue was replaced: every pointer into the old one
// is gone, and the caller rebuilds its tabs, lists and details pane at once. The guard goes to the
// backups window.
bool RunOptionsCommand(HWND owner, RestoreGuard restoreGuard = RestoreGuard());

// Texts of the dialog, for its callers and tests.
extern const wchar_t* const DataFolderTipTitle;
extern const wchar_t* const DataFolderTipText;
extern const wchar_t* const DataFolderPickerTitle;
extern const wchar_t* const DataFolderNotAccessibleText;
extern const wchar_t* const DataFolderTooLongText;
extern const wchar_t* const SystemPartitionQuestion;
extern const wchar_t* const SettingsNotSavedText;
extern const wchar_t* const DataFolderSwitchedText;
extern const wchar_t* const ClearHistoryQuestion;
// The reminder row of "Defaults": its label, and each choice's text ("On the day", "30 days before").
extern const wchar_t* const ReminderLabel;
std::wstring ReminderChoiceText(int days);

// The longest data folder whose files ("<36-character id>_INSTALL.tmp") stay within MAX_PATH.
constexpr size_t MaxDataFolderLength = MAX_PATH - 1 - 36 - 8 - 4;

// True for "X:\..." and "\\server\share\..." paths: a relative folder would move with the
// current folder.
bool IsAbsoluteFolder(const std::wstring& folder);
// True when the folder is on the drive of the Windows directory (a-z case ignored). A network
// path never is.
bool IsOnSystemPartition(const std::wstring& folder);
