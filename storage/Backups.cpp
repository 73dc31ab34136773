#include "storage/Backups.h"

#include <algorithm>
#include <cwchar>

#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/Paths.h"
#include "storage/Settings.h"
#include "storage/SoftwareText.h"
#include "storage/ZipArchive.h"

namespace {
const wchar_t BackupsFolderName[] = L"Backups\\";

template <class... Args>
std::wstring Format(const wchar_t* format, Args... args)
{
    std::wstring text(256, L'\0');
    for (;;) {
        int written = std::swprintf(text.data(), text.size(), format, args...);
        if (written >= 0 && static_cast<size_t>(written) < text.size()) {
            text.resize(static_cast<size_t>(written));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

std::string Narrow(const std::wstring& ascii)
{
    return std::string(ascii.begin(), ascii.end());
}

enum class ReadOutcome { Read, Missing, Failed };

// Reads to the end of the file. With the size the folder listing gave, one read does it: a disk
// file's read that returns less than asked has met the end (each call is a round trip to the file
// system, and a snapshot makes thousands).
bool ReadToEnd(HANDLE file, size_t sizeHint, std::string& bytes)
{
    bytes.resize(sizeHint + 1);
    size_t got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(bytes.size() * 2);
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
        if (!ReadFile(file, &bytes[got], want, &read, nullptr))
            return false;
        got += read;
        if (read < want)
            break;
    }
    bytes.resize(got);
    return true;
}

// Another program (an indexer, a virus scanner) may hold a file for a moment: the open waits for it
// as every other file access does. Everyone may go on writing, replacing or deleting the file
// meanwhile, so a save in the window never waits for a snapshot.
ReadOutcome ReadSharedFile(const std::wstring& path, std::string& bytes, size_t sizeHint = 0)
{
    CFileHandle file(CreateFileRetrying(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.IsOpen()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing
                                                                               : ReadOutcome::Failed;
    }
    const bool read = sizeHint == 0 ? ReadWholeFile(file.Get(), bytes) : ReadToEnd(file.Get(), sizeHint, bytes);
    return read ? ReadOutcome::Read : ReadOutcome::Failed;
}

struct CListedFile {
    std::wstring Name;
    size_t Size = 0;
    bool operator<(const CListedFile& other) const { return Name < other.Name; }
};

// The meta-data files of the folder: 36-character GUID names, files only, with their sizes.
std::vector<CListedFile> MetaDataFiles(const std::wstring& folder)
{
    std::vector<CListedFile> files;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*-*-*-*-*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        SoftwareId id;
        const std::wstring name = entry.cFileName;
        if (name.size() == 36 && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ParseSoftwareId(name, id))
            files.push_back({name, entry.nFileSizeHigh ? size_t{1} << 20 : static_cast<size_t>(entry.nFileSizeLow)});
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return files;
}

std::vector<std::wstring> MetaDataFileNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    for (const CListedFile& file : MetaDataFiles(folder))
        names.push_back(file.Name);
    return names;
}

std::vector<std::wstring> FileNamesMatching(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

bool EnsureFolder(const std::wstring& folder)
{
    return PathExists(folder, true) || CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}
}  // namespace

std::wstring DefaultBackupFolder()
{
    return BaseFolder.empty() ? std::wstring() : BaseFolder + BackupsFolderName;
}

std::wstring BackupFolderInForce()
{
    return Settings.BackupFolder.empty() ? DefaultBackupFolder() : Settings.BackupFolder;
}

CSnapshotJob SnapshotJobNow(SnapshotReason reason)
{
    CSnapshotJob job;
    job.DataFolder = Settings.DataFolder;
    job.SettingsPath = SettingsPath;
    job.HistoryFolder = HistoryFolder;
    job.BackupFolder = BackupFolderInForce();
    job.Reason = reason;
    return job;
}

CSnapshotStamp LocalStampNow()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CSnapshotStamp stamp;
    stamp.Year = now.wYear;
    stamp.Month = now.wMonth;
    stamp.Day = now.wDay;
    stamp.Hour = now.wHour;
    stamp.Minute = now.wMinute;
    stamp.Second = now.wSecond;
    return stamp;
}

CSnapshotResult WriteSnapshot(const CSnapshotJob& job, const CSnapshotStamp& taken)
{
    CSnapshotResult result;
    result.Reason = job.Reason;
    if (job.BackupFolder.empty() || job.DataFolder.empty()) {
        result.Problem = L"There is no folder to keep backups in.";
        return result;
    }
    if (!EnsureFolder(job.BackupFolder)) {
        result.Problem = Format(L"The backups folder \"%ls\" can't be created.", job.BackupFolder.c_str());
        return result;
    }
    // The name: the first serial free in that second, neither written nor being written.
    CSnapshotStamp stamp = taken;
    std::wstring path = job.BackupFolder + FormatSnapshotFileName(stamp);
    while (PathExists(path, false) || PathExists(SaveTemporaryPath(path), false)) {
        if (++stamp.Serial > 9999) {
            result.Problem = Format(L"The backup file can't be written in \"%ls\".", job.BackupFolder.c_str());
            return result;
        }
        path = job.BackupFolder + FormatSnapshotFileName(stamp);
    }

    const uint32_t zipTime = ZipDosDateTime(stamp.Year, stamp.Month, stamp.Day, stamp.Hour, stamp.Minute, stamp.Second);
    CZipWriter zip;
    std::vector<CListedFile> files = MetaDataFiles(job.DataFolder);
    std::sort(files.begin(), files.end());
    std::vector<std::pair<std::wstring, std::string>> records;
    records.reserve(files.size());
    for (const CListedFile& file : files) {
        const std::wstring& name = file.Name;
        std::string bytes;
        switch (ReadSharedFile(job.DataFolder + name, bytes, file.Size)) {
        case ReadOutcome::Read: records.emplace_back(name, std::move(bytes)); break;
        case ReadOutcome::Missing: break;  // deleted since the folder was listed
        case ReadOutcome::Failed:
            result.Problem = Format(L"The file \"%ls\" can't be read.", (job.DataFolder + name).c_str());
            return result;
        }
    }

    CSnapshotManifest manifest;
    manifest.Taken = stamp;
    manifest.Reason = job.Reason;
    manifest.Records = static_cast<int32_t>(records.size());
    manifest.DataFolder = job.DataFolder;
    bool added = zip.Add(ManifestEntryName, EncodeUtf8(FormatSnapshotManifest(manifest)), zipTime);
    for (const auto& record : records)
        added = added && zip.Add(DataEntryPrefix + Narrow(record.first), record.second, zipTime);
    records.clear();

    std::string bytes;
    if (!job.SettingsPath.empty()) {
        if (ReadSharedFile(job.SettingsPath, bytes) == ReadOutcome::Failed) {
            result.Problem = Format(L"The file \"%ls\" can't be read.", job.SettingsPath.c_str());
            return result;
        }
        if (!bytes.empty() || PathExists(job.SettingsPath, false))
            added = added && zip.Add(SettingsEntryName, bytes, zipTime);
    }
    for (const wchar_t* historyName : HistoryFileNames) {
        if (job.HistoryFolder.empty())
            break;
        const std::wstring historyPath = job.HistoryFolder + historyName;
        bytes.clear();
        switch (ReadSharedFile(historyPath, bytes)) {
        case ReadOutcome::Read: added = added && zip.Add(HistoryEntryPrefix + Narrow(historyName), bytes, zipTime); break;
        case ReadOutcome::Missing: break;
        case ReadOutcome::Failed:
            result.Problem = Format(L"The file \"%ls\" can't be read.", historyPath.c_str());
            return result;
        }
    }
    if (!added || !zip.Finish()) {
        result.Problem = L"The catalogue holds more files than one backup file can take.";
        return result;
    }
    // Written beside as ".tmp", flushed, and only then renamed: a snapshot file is whole or absent.
    if (!SaveFileReplacing(path, zip.Bytes(), 0)) {
        result.Problem = Format(L"The backup file can't be written in \"%ls\". The disk may be full or "
                                L"write-protected.",
                                job.BackupFolder.c_str());
        return result;
    }
    result.Written = true;
    result.Path = path;
    result.Records = manifest.Records;
    PruneSnapshots(job.BackupFolder);
    return result;
}

int PruneSnapshots(const std::wstring& folder)
{
    if (folder.empty())
        return 0;
    std::vector<std::wstring> names;
    std::vector<CSnapshotStamp> stamps;
    for (const std::wstring& name : FileNamesMatching(folder + L"Backup-*")) {
        CSnapshotStamp stamp;
        if (ParseSnapshotFileName(name, stamp)) {
            names.push_back(name);
            stamps.push_back(stamp);
        } else if (IsSnapshotTemporaryName(name)) {
            // Only one snapshot is written at a time, and none is being written now.
            DeleteFileW((folder + name).c_str());
        }
    }
    const std::vector<bool> keep = SnapshotsToKeep(stamps);
    int deleted = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!keep[i] && DeleteFileW((folder + names[i]).c_str()))
            ++deleted;
    }
    return deleted;
}

bool HasSnapshotOfDay(const std::wstring& folder, const CSnapshotStamp& day)
{
    if (folder.empty())
        return false;
    for (const std::wstring& name : FileNamesMatching(folder + L"Backup-*.zip")) {
        CSnapshotStamp stamp;
        if (ParseSnapshotFileName(name, stamp) && stamp.Year == day.Year && stamp.Month == day.Month &&
            stamp.Day == day.Day)
            return true;
    }
    return false;
}

std::vector<CSnapshotListing> ListSnapshots(const std::wstring& folder)
{
    std::vector<CSnapshotListing> listings;
    if (folder.empty())
        return listings;
    for (const std::wstring& name : FileNamesMatching(folder + L"Backup-*.zip")) {
        CSnapshotListing listing;
        if (!ParseSnapshotFileName(name, listing.Stamp))
            continue;
        listing.FileName = name;
        listing.Path = folder + name;
        std::string archive;
        std::vector<CZipItem> items;
        if (ReadSharedFile(listing.Path, archive) == ReadOutcome::Read && ReadZipDirectory(archive, items)) {
            for (const CZipItem& item : items) {
                std::string text;
                if (item.Name == ManifestEntryName && ExtractZipItem(archive, item, text))
                    listing.Readable = ParseSnapshotManifest(DecodeUtf8(text), listing.Manifest);
            }
        }
        listings.push_back(std::move(listing));
    }
    std::sort(listings.begin(), listings.end(),
              [](const CSnapshotListing& a, const CSnapshotListing& b) { return b.Stamp < a.Stamp; });
    return listings;
}

bool LoadSnapshot(const std::wstring& path, CSnapshotContent& content, std::wstring& problem)
{
    content = CSnapshotContent();
    std::string archive;
    if (ReadSharedFile(path, archive) != ReadOutcome::Read) {
        problem = Format(L"The backup file \"%ls\" can't be read.", path.c_str());
        return false;
    }
    std::vector<CZipEntry> entries;
    bool manifest = false;
    if (ReadZip(archive, entries)) {
        const std::string dataPrefix = DataEntryPrefix;
        const std::string historyPrefix = HistoryEntryPrefix;
        for (CZipEntry& entry : entries) {
            if (entry.Name == ManifestEntryName) {
                manifest = ParseSnapshotManifest(DecodeUtf8(entry.Data), content.Manifest);
            } else if (entry.Name.compare(0, dataPrefix.size(), dataPrefix) == 0) {
                // Only a GUID name can become a path in the data folder.
                const std::wstring id(entry.Name.begin() + static_cast<long>(dataPrefix.size()), entry.Name.end());
                SoftwareId parsed;
                if (id.size() == 36 && ParseSoftwareId(id, parsed))
                    content.Records.push_back({FormatSoftwareId(parsed), std::move(entry.Data)});
            } else if (entry.Name == SettingsEntryName) {
                content.SettingsBytes = std::move(entry.Data);
            } else if (entry.Name.compare(0, historyPrefix.size(), historyPrefix) == 0) {
                for (int i = 0; i < 6; ++i) {
                    if (entry.Name == historyPrefix + Narrow(HistoryFileNames[i]))
                        content.HistoryBytes[i] = std::move(entry.Data);
                }
            }
        }
    }
    if (!manifest) {
        content = CSnapshotContent();
        problem = Format(L"The backup file \"%ls\" is damaged.", path.c_str());
        return false;
    }
    return true;
}

namespace {
bool WriteRecordFile(const CSnapshotRecordFile& record, const std::wstring& dataFolder, std::wstring& problem)
{
    const std::wstring path = dataFolder + record.Id;
    if (!SaveFileReplacing(path, record.Bytes, 0)) {
        problem = Format(L"The meta-data file \"%ls\" can't be written.", path.c_str());
        return false;
    }
    return true;
}
}  // namespace

bool RestoreSnapshotFiles(const CSnapshotContent& content, const std::wstring& dataFolder, std::wstring& problem)
{
    if (!PathExists(dataFolder, true)) {
        problem = Format(L"The data folder \"%ls\" can't be found.", dataFolder.c_str());
        return false;
    }
    // Everything of the snapshot is in place before anything else goes: a failure half-way leaves
    // records too many, never too few.
    for (const CSnapshotRecordFile& record : content.Records) {
        if (!WriteRecordFile(record, dataFolder, problem))
            return false;
    }
    for (const std::wstring& name : MetaDataFileNames(dataFolder)) {
        const bool kept = std::any_of(content.Records.begin(), content.Records.end(), [&name](const auto& record) {
            return CompareStringOrdinal(record.Id.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
        });
        if (!kept && !DeleteFileW((dataFolder + name).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            problem = Format(L"The meta-data file \"%ls\" can't be removed.", (dataFolder + name).c_str());
            return false;
        }
    }
    if (!HistoryFolder.empty() && EnsureFolder(HistoryFolder)) {
        for (int i = 0; i < 6; ++i) {
            if (content.HistoryBytes[i] &&
                !SaveFileReplacing(HistoryFolder + HistoryFileNames[i], *content.HistoryBytes[i], 0)) {
                problem = Format(L"The history file \"%ls\" can't be written.",
                                 (HistoryFolder + HistoryFileNames[i]).c_str());
                return false;
            }
        }
    }
    CConfigurations stored;
    if (content.SettingsBytes && ParseSettingsText(DecodeUtf8(*content.SettingsBytes), stored)) {
        // The folders in force stay: the restore went into this data folder, and the backups
        // folder holds the snapshot of the state before it.
        CConfigurations restored = Settings;
        restored.AttachMode = stored.AttachMode;
        restored.ShowAttachModeSelectDlg = stored.ShowAttachModeSelectDlg;
        restored.DefaultClassifyMode = stored.DefaultClassifyMode;
        restored.DefaultSortKey = stored.DefaultSortKey;
        ReplaceOutOfTableSettings(restored);
        if (!WriteSettings(restored)) {
            problem = L"The settings file can't be written.";
            return false;
        }
        Settings = restored;
    }
    return true;
}

bool RestoreSnapshotRecords(const CSnapshotContent& content, const std::vector<std::wstring>& ids,
                            const std::wstring& dataFolder, std::wstring& problem)
{
    if (!PathExists(dataFolder, true)) {
        problem = Format(L"The data folder \"%ls\" can't be found.", dataFolder.c_str());
        return false;
    }
    for (const std::wstring& id : ids) {
        for (const CSnapshotRecordFile& record : content.Records) {
            if (record.Id == id && !WriteRecordFile(record, dataFolder, problem))
                return false;
        }
    }
    return true;
}

// ---- the worker ------------------------------------------------------------------------------

CSnapshotRunner::CSnapshotRunner() : m_idle(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

CSnapshotRunner::~CSnapshotRunner()
{
    // The thread ends before what it uses goes away.
    if (m_thread.joinable())
        m_thread.join();
    if (m_idle)
        CloseHandle(m_idle);
}

bool CSnapshotRunner::Start(const CSnapshotJob& job)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();  // ended already: its event is signalled
    m_running = true;
    m_result.reset();
    ResetEvent(m_idle);
    try {
        m_thread = std::thread(&CSnapshotRunner::Run, this, job);
    } catch (...) {
        m_running = false;
        SetEvent(m_idle);
        return false;
    }
    return true;
}

void CSnapshotRunner::Run(CSnapshotJob job)
{
    CSnapshotResult result;
    try {
        result = WriteSnapshot(job, LocalStampNow());
    } catch (...) {
        result.Reason = job.Reason;
        result.Problem = L"There is not enough memory to take a backup.";
    }
    HWND window = nullptr;
    UINT message = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_result = std::move(result);
        m_running = false;
        window = m_notifyWindow;
        message = m_notifyMessage;
    }
    if (window)
        PostMessageW(window, message, 0, 0);
    SetEvent(m_idle);
}

bool CSnapshotRunner::IsRunning() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_running;
}

std::optional<CSnapshotResult> CSnapshotRunner::TakeResult()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::optional<CSnapshotResult> result;
    result.swap(m_result);
    return result;
}

bool CSnapshotRunner::HasResult() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_result.has_value();
}

void CSnapshotRunner::SetNotifyWindow(HWND window, UINT message)
{
    bool waiting = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_notifyWindow = window;
        m_notifyMessage = message;
        waiting = m_result.has_value() && !m_running;
    }
    if (window && waiting)
        PostMessageW(window, message, 0, 0);
}

bool CSnapshotRunner::Wait(DWORD milliseconds)
{
    if (WaitForSingleObject(m_idle, milliseconds) != WAIT_OBJECT_0)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_thread.joinable() && !m_running)
        m_thread.join();
    return true;
}

CSnapshotRunner& Snapshots()
{
    static CSnapshotRunner runner;
    return runner;
}
