// Taking a backup snapshot of a data folder against merely opening and reading the same files, in
// one run; the snapshot is timed as the program takes it, on its worker thread.
// Usage: backup_bench [records]   (default 10000)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "storage/Backups.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/SoftwareText.h"

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::wstring MakeFolder(const wchar_t* name)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + entry.cFileName).c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// What any reader of the files must pay at least: open, size, read, close.
size_t OpenAndReadAll(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    size_t total = 0;
    std::string bytes;
    for (const std::wstring& name : names) {
        CFileHandle file(CreateFileW((folder + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen() && ReadWholeFile(file.Get(), bytes))
            total += bytes.size();
    }
    return total;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const std::wstring data = MakeFolder(L"qv_backup_bench_data_");
    const std::wstring backups = MakeFolder(L"qv_backup_bench_zips_");
    std::vector<std::wstring> names;
    size_t dataBytes = 0;
    for (int i = 0; i < count; ++i) {
        CSoftware record;
        record.Id.Data1 = 0xB4C40000u + static_cast<uint32_t>(i);
        record.Id.Data4[7] = static_cast<uint8_t>(i);
        record.BasicInfo.Name = L"Software number " + std::to_wstring(i);
        record.BasicInfo.Company = L"Company " + std::to_wstring(i % 97);
        record.BasicInfo.Price.Value = static_cast<float>(i % 500) + 0.99f;
        record.BasicInfo.Category = i % 19;
        record.RegInfo.UserName = L"Registered User";
        record.RegInfo.Comment = L"Bought in a bundle.\nKeep the receipt.";
        for (int c = 0; c < i % 3; ++c) {
            record.RegInfo.CodeName.Add(L"Key " + std::to_wstring(c));
            record.RegInfo.Code.Add(L"ABCD-EFGH-IJKL-" + std::to_wstring(i));
        }
        const std::string text = EncodeUtf8(FormatSoftwareText(record));
        CFileHandle file(CreateFileW((data + FormatSoftwareId(record)).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file.IsOpen() || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            std::fwprintf(stderr, L"could not write record %d\n", i);
            return 1;
        }
        dataBytes += text.size();
        names.push_back(FormatSoftwareId(record));
    }

    CSnapshotJob job;
    job.DataFolder = data;
    job.BackupFolder = backups;
    job.Reason = SnapshotReason::Manual;

    // Warm the cache once, then the best of five interleaved runs of each, so that other load on
    // the machine hits both alike.
    OpenAndReadAll(data, names);
    double raw = 1e9, snapshot = 1e9;
    CSnapshotResult last;
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        if (OpenAndReadAll(data, names) == 0 && count > 0)
            return 1;
        double seconds = SecondsSince(start);
        raw = seconds < raw ? seconds : raw;

        start = Clock::now();
        if (!Snapshots().Start(job) || !Snapshots().Wait(INFINITE))
            return 1;
        seconds = SecondsSince(start);
        std::optional<CSnapshotResult> result = Snapshots().TakeResult();
        if (!result || !result->Written) {
            std::fwprintf(stderr, L"snapshot failed: %ls\n", result ? result->Problem.c_str() : L"no result");
            return 1;
        }
        last = *result;
        snapshot = seconds < snapshot ? seconds : snapshot;
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(last.Path.c_str(), GetFileExInfoStandard, &attributes);
    RemoveFiles(data);
    RemoveFiles(backups);

    std::wprintf(L"records                  %d (in the snapshot %d)\n", count, last.Records);
    std::wprintf(L"meta-data bytes          %zu, zip bytes %lu\n", dataBytes, attributes.nFileSizeLow);
    std::wprintf(L"open and read only       %8.1f ms\n", raw * 1000);
    std::wprintf(L"snapshot (worker)        %8.1f ms\n", snapshot * 1000);
    std::wprintf(L"snapshot / open-and-read %8.2f\n", snapshot / raw);
    return last.Records == count ? 0 : 1;
}
