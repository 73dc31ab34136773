#pragma once
// The backups window: the snapshots of the backups folder with their date, time and record count;
// a snapshot taken now; the whole catalogue restored from one; single records brought back.

#include <windows.h>

#include <string>
#include <vector>

#include "app/PaneColour.h"
#include "app/RestoreGuard.h"
#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"
#include "storage/Backups.h"

class CBackupsDlg : public CommCtrl::CBitmapDialog {
public:
    // The guard is asked before a restore or a bringing back changes anything.
    explicit CBackupsDlg(HWND parent, RestoreGuard guard = RestoreGuard());

    // True when a restore or a bringing back changed the data folder: the caller shows the
    // catalogue again (ReloadCatalogue) once no window of its own can draw the old one.
    bool CatalogueChanged() const { return m_catalogueChanged; }
    // The snapshots as listed, newest first.
    const std::vector<CSnapshotListing>& Listed() const { return m_listed; }

    static constexpr int Width = 560;
    static constexpr int Height = 420;

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void SkinButtons();
    void PlaceControls();
    void AddColumns();
    // Lists the folder's snapshots again and selects the one at that path (or the newest).
    void Refill(const std::wstring& select = std::wstring());
    // The listed snapshot selected, or null after telling the user.
    const CSnapshotListing* SelectedSnapshot();
    // The selected snapshot, read whole and checked; false (after saying why) when it can't be used.
    bool LoadSelectedSnapshot(CSnapshotListing& listing, CSnapshotContent& content);
    void OnBackUpNow();
    void OnRestore();
    void OnBringBack();
    void OnChangeFolder();

    CommCtrl::CBitmapButton5S m_changeFolder;
    CommCtrl::CBitmapButton5S m_backUpNow;
    CommCtrl::CBitmapButton5S m_restore;
    CommCtrl::CBitmapButton5S m_bringBack;
    CommCtrl::CBitmapButton5S m_close;
    CScopedBrush m_whiteBrush;
    std::vector<CSnapshotListing> m_listed;
    RestoreGuard m_guard;
    bool m_catalogueChanged = false;
};

// Runs the window over the owner, with the guard; when it changed the data folder, shows that
// catalogue again (ReloadCatalogue). True then: every pointer into the old catalogue is gone.
bool RunBackupsCommand(HWND owner, RestoreGuard guard = RestoreGuard());

// The date and the time of a snapshot as the user's locale writes them.
std::wstring SnapshotDateText(const CSnapshotStamp& stamp);
std::wstring SnapshotTimeText(const CSnapshotStamp& stamp);
// Why it was taken, as the list says it.
const wchar_t* SnapshotReasonText(SnapshotReason reason);

// Texts of the window, for tests.
extern const wchar_t* const BackupsTitle;
extern const wchar_t* const BackupsFolderPickerTitle;
extern const wchar_t* const SelectBackupFirstText;
extern const wchar_t* const BackupDamagedListText;
std::wstring RestoreQuestion(const CSnapshotListing& listing);
std::wstring RestoredText(const CSnapshotListing& listing, int records);
std::wstring BackupFailedText(const std::wstring& problem);
// With stateKept, it adds where the snapshot of the state before the restore is.
std::wstring RestoreFailedText(const std::wstring& problem, bool stateKept);
std::wstring BackupUnusableText(const std::wstring& problem);
