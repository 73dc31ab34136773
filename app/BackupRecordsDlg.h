#pragma once
// The softwares of one backup, compared with the data folder, to tick the ones to bring back.

#include <windows.h>

#include <string>
#include <vector>

#include "app/PaneColour.h"
#include "app/RestoreGuard.h"
#include "framework/Gdi.h"
#include "skin/BitmapButton5S.h"
#include "skin/BitmapDialog.h"
#include "storage/Backups.h"

// How a software of the backup stands against the data folder now.
enum class BackupRecordState { Deleted, Changed, Same };

struct CBackupRecordRow {
    std::wstring Id;
    std::wstring Name, Version, Company;
    BackupRecordState State = BackupRecordState::Same;
};

// The backup's softwares with their state, deleted ones first, then changed, then the same; by
// name within each.
std::vector<CBackupRecordRow> CompareWithDataFolder(const CSnapshotContent& content, const std::wstring& dataFolder);
const wchar_t* BackupRecordStateText(BackupRecordState state);

class CBackupRecordsDlg : public CommCtrl::CBitmapDialog {
public:
    // The guard is asked once the ticked softwares are to be written.
    CBackupRecordsDlg(const CSnapshotListing& listing, const CSnapshotContent& content, HWND parent,
                      RestoreGuard guard = RestoreGuard());

    // After IDOK: the ticked softwares were written into the data folder.
    int BroughtBack() const { return m_broughtBack; }
    const std::vector<CBackupRecordRow>& Rows() const { return m_rows; }

    static constexpr int Width = 560;
    static constexpr int Height = 420;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    const CSnapshotListing& m_listing;
    const CSnapshotContent& m_content;
    std::vector<CBackupRecordRow> m_rows;
    RestoreGuard m_guard;
    CommCtrl::CBitmapButton5S m_ok;
    CommCtrl::CBitmapButton5S m_cancel;
    int m_broughtBack = 0;
};

// Texts of the window, for tests.
extern const wchar_t* const TickRecordsFirstText;
std::wstring BackupRecordsNote(const CSnapshotListing& listing);
std::wstring BroughtBackText(int count);
std::wstring BringBackFailedText(const std::wstring& problem);
