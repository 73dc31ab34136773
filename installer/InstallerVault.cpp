#include "installer/InstallerVault.h"

#include <map>
#include <set>

#include "installer/InstallerText.h"
#include "installer/VaultProgressDlg.h"
#include "model/Vocabulary.h"

namespace {
const wchar_t ReadingTitle[] = L"Reading the installer";
const wchar_t VerifyTitle[] = L"Verify installers";
const wchar_t SearchTitle[] = L"Find moved installers";

std::wstring NameAndVersion(const CSoftware& record)
{
    return record.BasicInfo.Name + L"(" + record.BasicInfo.Version + L")";
}

// The size on the disk now, or false when the file cannot be seen.
bool FileSizeNow(const std::wstring& path, uint64_t& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}
}  // namespace

void CImportFactsSink::Consume(const void* data, DWORD size)
{
    m_hash.Update(data, size);
    m_size += size;
}

void CImportFactsSink::Complete(const std::wstring& copyPath)
{
    m_facts.Size = m_size;
    m_facts.Sha256 = m_hash.Finish();
    // The copy is whole and flushed: its version resource and signature are those of the source.
    ReadFileDetails(copyPath, m_facts);
    m_complete = true;
}

bool CImportFactsSink::Take(CInstallerFacts& facts)
{
    if (!m_complete || !IsSha256Text(m_facts.Sha256))
        return false;
    facts = m_facts;
    return true;
}

MeasureOutcome MeasureForAttach(HWND owner, const std::wstring& path, CInstallerFacts& facts)
{
    uint64_t size = 0;
    if (!FileSizeNow(path, size) || size <= QuickReadLimit)
        return MeasureInstaller(path, facts, CReadControl());
    MeasureOutcome outcome = MeasureOutcome::Cancelled;
    CVaultProgressDlg dialog(owner, ReadingTitle, [&](CVaultTask& task) {
        task.Status(FileNamePart(path));
        outcome = MeasureInstaller(path, facts, task.ReadControl(0, size));
    });
    if (!dialog.Run())
        return MeasureOutcome::Cancelled;
    return outcome;
}

InstallerCheckResult CheckWithProgress(HWND owner, const CSoftware& record, CInstallerFacts& measured)
{
    const std::wstring& path = record.InstallerInfo.InstallerPath;
    const CExtraInfo recorded = record.ExtraInfo;
    uint64_t size = 0;
    if (!FileSizeNow(path, size) || size <= QuickReadLimit)
        return CheckInstallerFile(path, recorded, measured, CReadControl());
    InstallerCheckResult result = InstallerCheckResult::None;
    CVaultProgressDlg dialog(owner, ReadingTitle, [&](CVaultTask& task) {
        task.Status(NameAndVersion(record));
        result = CheckInstallerFile(path, recorded, measured, task.ReadControl(0, size));
    });
    if (!dialog.Run())
        return InstallerCheckResult::None;
    return result;
}

bool VerifyInstallers(HWND owner, const std::vector<CSoftware*>& records, std::vector<CVerifyEntry>& entries)
{
    // Everything the worker reads is copied here: the records stay the UI thread's.
    struct CItem {
        CVerifyEntry Entry;
        CExtraInfo Recorded;
        std::wstring Title;
    };
    std::vector<CItem> items;
    for (CSoftware* record : records) {
        if (!record || record->InstallerInfo.InstallerPath.empty())
            continue;
        CItem item;
        item.Entry.Record = record;
        item.Entry.Path = record->InstallerInfo.InstallerPath;
        item.Entry.HadFacts = HasInstallerFacts(record->ExtraInfo);
        item.Recorded = record->ExtraInfo;
        item.Title = NameAndVersion(*record);
        items.push_back(std::move(item));
    }
    CVaultProgressDlg dialog(owner, VerifyTitle, [&items](CVaultTask& task) {
        // Progress follows the bytes, so one large installer among small ones moves the bar fairly.
        std::vector<uint64_t> sizes(items.size(), 0);
        uint64_t total = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            FileSizeNow(items[i].Entry.Path, sizes[i]);
            total += sizes[i];
        }
        uint64_t base = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            if (task.Cancelled())
                return;
            task.Status(L"Checking " + std::to_wstring(i + 1) + L" of " + std::to_wstring(items.size()) + L": " +
                        items[i].Title);
            CVerifyEntry& entry = items[i].Entry;
            if (entry.HadFacts) {
                entry.Result = CheckInstallerFile(entry.Path, items[i].Recorded, entry.Measured,
                                                  task.ReadControl(base, total));
            } else {
                switch (MeasureInstaller(entry.Path, entry.Measured, task.ReadControl(base, total))) {
                case MeasureOutcome::Done: entry.Result = InstallerCheckResult::Intact; break;
                case MeasureOutcome::Missing: entry.Result = InstallerCheckResult::Missing; break;
                case MeasureOutcome::Unreadable: entry.Result = InstallerCheckResult::Unreadable; break;
                case MeasureOutcome::Cancelled: return;
                }
            }
            if (entry.Result == InstallerCheckResult::None)
                return;  // cancelled within the file
            base += sizes[i];
            task.Progress(base, total);
        }
    });
    if (!dialog.Run())
        return false;
    entries.clear();
    for (CItem& item : items)
        entries.push_back(std::move(item.Entry));
    return true;
}

void ApplyVerifyEntry(const CVerifyEntry& entry, const std::wstring& checkedAt)
{
    CExtraInfo& extra = entry.Record->ExtraInfo;
    if (!entry.HadFacts && entry.Result == InstallerCheckResult::Intact)
        RecordInstallerFacts(extra, entry.Measured, std::wstring());
    RecordInstallerCheck(extra, entry.Result, checkedAt);
}

bool SearchMovedInstallers(HWND owner, const std::wstring& folder, const std::vector<CSoftware*>& missing,
                           std::vector<CMovedInstaller>& found)
{
    // Size first: only files of a wanted size are read at all.
    std::multimap<uint64_t, std::pair<CSoftware*, std::wstring>> wanted;
    for (CSoftware* record : missing) {
        uint64_t size = 0;
        if (record && HasInstallerFacts(record->ExtraInfo) && ParseSizeText(record->ExtraInfo.InstallerSize, size))
            wanted.emplace(size, std::make_pair(record, record->ExtraInfo.InstallerSha256));
    }
    std::vector<CMovedInstaller> matches;
    CVaultProgressDlg dialog(owner, SearchTitle, [&](CVaultTask& task) {
        std::set<CSoftware*> matched;
        std::vector<std::wstring> pending{folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\'};
        while (!pending.empty() && matched.size() < missing.size()) {
            if (task.Cancelled())
                return;
            const std::wstring current = pending.back();
            pending.pop_back();
            task.Status(current);
            WIN32_FIND_DATAW data{};
            HANDLE find = FindFirstFileExW((current + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
            if (find == INVALID_HANDLE_VALUE)
                continue;
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                // Links to elsewhere could lead in circles.
                if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    continue;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    pending.push_back(current + name + L'\\');
                    continue;
                }
                const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                auto range = wanted.equal_range(size);
                bool any = false;
                for (auto it = range.first; it != range.second; ++it)
                    any = any || matched.count(it->second.first) == 0;
                if (!any)
                    continue;
                uint64_t hashedSize = 0;
                std::wstring hash;
                CReadControl control;
                control.Cancelled = [&task] { return task.Cancelled(); };
                if (HashFile(current + name, hashedSize, hash, control) != MeasureOutcome::Done)
                    continue;
                for (auto it = range.first; it != range.second; ++it) {
                    if (it->second.second == hash && matched.insert(it->second.first).second)
                        matches.push_back({it->second.first, current + name});
                }
            } while (!task.Cancelled() && FindNextFileW(find, &data));
            FindClose(find);
        }
    });
    dialog.SetMarquee(true);
    if (!dialog.Run())
        return false;
    found = std::move(matches);
    return true;
}

void RelinkInstaller(CSoftware& record, const std::wstring& path, const std::wstring& checkedAt)
{
    record.InstallerInfo.InstallerPath = path;
    record.InstallerInfo.OriginalPath = path;
    record.InstallerInfo.AttachMode = AttachByReference;
    RecordInstallerCheck(record.ExtraInfo, InstallerCheckResult::Intact, checkedAt);
}
