#pragma once
// Backup snapshots on disk: taking one (on any thread), listing them, reading one back and putting
// its files into the data folder. No window is touched here; the commands around them are in
// app/BackupCommands.

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "storage/SnapshotText.h"

// The backups folder in force: the one chosen in the settings, else "Backups\" under BaseFolder;
// empty when neither is known (no per-user folder yet).
std::wstring BackupFolderInForce();
// The default folder, "Backups\" under BaseFolder.
std::wstring DefaultBackupFolder();

// Everything a snapshot needs, copied when it is asked for: the worker shares nothing else.
struct CSnapshotJob {
    std::wstring DataFolder;
    std::wstring SettingsPath;
    std::wstring HistoryFolder;
    std::wstring BackupFolder;
    SnapshotReason Reason = SnapshotReason::Manual;
};
// The job for the paths and settings in force now.
CSnapshotJob SnapshotJobNow(SnapshotReason reason);

struct CSnapshotResult {
    bool Written = false;
    SnapshotReason Reason = SnapshotReason::Manual;
    std::wstring Path;     // the snapshot written
    int Records = 0;
    std::wstring Problem;  // one sentence for the user when not written
};

// Writes one snapshot: the files are read (sharing with everyone), zipped into "<name>.zip.tmp",
// flushed, and renamed; then the folder is pruned by the retention rule, and leftovers of
// interrupted writes are removed. Safe on any thread.
CSnapshotResult WriteSnapshot(const CSnapshotJob& job, const CSnapshotStamp& taken);
// The local time now, as a stamp.
CSnapshotStamp LocalStampNow();
// Deletes the snapshots the retention rule does not keep, and stale ".tmp" leftovers; touches no
// other file. Returns how many snapshots were deleted.
int PruneSnapshots(const std::wstring& folder);
// True when the folder holds a snapshot named for that day.
bool HasSnapshotOfDay(const std::wstring& folder, const CSnapshotStamp& day);

// One snapshot of the folder, as the backups list shows it.
struct CSnapshotListing {
    std::wstring Path;
    std::wstring FileName;
    CSnapshotStamp Stamp;        // from the name
    bool Readable = false;       // the archive and its manifest read soundly
    CSnapshotManifest Manifest;  // when readable
};
// Newest first.
std::vector<CSnapshotListing> ListSnapshots(const std::wstring& folder);

// What a snapshot holds, read and checked whole before anything is changed.
struct CSnapshotRecordFile {
    std::wstring Id;    // the 36-character name
    std::string Bytes;  // the meta-data file as it was
};
struct CSnapshotContent {
    CSnapshotManifest Manifest;
    std::vector<CSnapshotRecordFile> Records;
    std::optional<std::string> SettingsBytes;
    std::optional<std::string> HistoryBytes[6];  // in the lists' fixed order
};
// False with a sentence for the user when the file is missing, unreadable or damaged.
bool LoadSnapshot(const std::wstring& path, CSnapshotContent& content, std::wstring& problem);

// Puts the snapshot's meta-data files into the data folder, each written beside and then moved in
// place, and only then removes the meta-data files it does not hold; the histories' files are
// replaced too, and the settings take the snapshot's attach mode and defaults (the data and
// backup folders in force stay). Imported installer copies are never touched. False with a
// sentence for the user at the first step that failed; what was written before it stays.
bool RestoreSnapshotFiles(const CSnapshotContent& content, const std::wstring& dataFolder, std::wstring& problem);
// Writes only the chosen records' meta-data files into the data folder, replacing present ones.
bool RestoreSnapshotRecords(const CSnapshotContent& content, const std::vector<std::wstring>& ids,
                            const std::wstring& dataFolder, std::wstring& problem);

// One snapshot at a time on a worker thread. The worker reports only through its result, its
// event (signalled last) and, when a window was named, one posted message.
class CSnapshotRunner {
public:
    CSnapshotRunner();
    ~CSnapshotRunner();
    CSnapshotRunner(const CSnapshotRunner&) = delete;
    CSnapshotRunner& operator=(const CSnapshotRunner&) = delete;

    // False while another snapshot runs.
    bool Start(const CSnapshotJob& job);
    bool IsRunning() const;
    // Signalled while no snapshot runs.
    HANDLE IdleEvent() const { return m_idle; }
    // The result of the snapshot that ended last, once; empty while running or when taken.
    std::optional<CSnapshotResult> TakeResult();
    // Whether a finished result waits to be taken.
    bool HasResult() const;
    // The window told with the message when a snapshot ends; none to tell nobody. When a result
    // already waits, the window is told at once.
    void SetNotifyWindow(HWND window, UINT message);
    // Waits for the running snapshot to end, at most the time given; true when none runs.
    bool Wait(DWORD milliseconds);

private:
    void Run(CSnapshotJob job);

    mutable std::mutex m_lock;
    std::thread m_thread;
    HANDLE m_idle = nullptr;
    bool m_running = false;
    std::optional<CSnapshotResult> m_result;
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
};

// The one runner of the process.
CSnapshotRunner& Snapshots();
