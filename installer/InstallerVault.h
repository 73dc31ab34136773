#pragma once
// The installer vault: facts recorded at attach, checks before use, the check of every attached
// installer, and the search for installers that moved. Long reads run under CVaultProgressDlg.

#include <windows.h>

#include <string>
#include <vector>

#include "installer/FileFacts.h"
#include "installer/ImportProgressDlg.h"
#include "model/Software.h"

// Files up to this size are read at once; larger ones under a progress dialog with Cancel.
constexpr uint64_t QuickReadLimit = 16ull << 20;

// Collects an import's facts while the copy worker copies it.
class CImportFactsSink : public CCopySink {
public:
    void Consume(const void* data, DWORD size) override;
    void Complete(const std::wstring& copyPath) override;
    // True with the facts once a copy was completed and hashed.
    bool Take(CInstallerFacts& facts);

private:
    CSha256 m_hash;
    CInstallerFacts m_facts;
    uint64_t m_size = 0;
    bool m_complete = false;
};

// Measures a file for attaching it by reference: at once when it is small, else under the
// progress dialog. Cancelled means the user stopped it.
MeasureOutcome MeasureForAttach(HWND owner, const std::wstring& path, CInstallerFacts& facts);

// Checks a record's installer file against its facts, under the progress dialog when large.
// None when the user cancelled.
InstallerCheckResult CheckWithProgress(HWND owner, const CSoftware& record, CInstallerFacts& measured);

// One attached installer and what its check found.
struct CVerifyEntry {
    CSoftware* Record = nullptr;
    std::wstring Path;
    InstallerCheckResult Result = InstallerCheckResult::None;
    CInstallerFacts Measured;
    bool HadFacts = true;  // false: an installer attached before facts were kept; they were measured now
};

// Checks every record's attached installer on a worker thread with progress and Cancel. False
// when cancelled: then nothing is returned and no record is touched.
bool VerifyInstallers(HWND owner, const std::vector<CSoftware*>& records, std::vector<CVerifyEntry>& entries);

// Stores the check's outcome in the record (facts first measured now included); the caller saves.
void ApplyVerifyEntry(const CVerifyEntry& entry, const std::wstring& checkedAt);

// An installer found again: the record and the file that has its size and hash.
struct CMovedInstaller {
    CSoftware* Record = nullptr;
    std::wstring Path;
};

// Searches folder and its subfolders for files with the recorded size, then hash, of the given
// records. False when cancelled. Each record is matched at most once.
bool SearchMovedInstallers(HWND owner, const std::wstring& folder, const std::vector<CSoftware*>& missing,
                           std::vector<CMovedInstaller>& found);

// Points the record at the found file, attached by reference; the facts stay as recorded and the
// check is marked intact. The caller refreshes the icon and saves.
void RelinkInstaller(CSoftware& record, const std::wstring& path, const std::wstring& checkedAt);
