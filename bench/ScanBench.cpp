// Scanning a data folder against merely opening and reading the same files, in one run.
// Usage: scan_bench [records]   (default 10000)

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "storage/FileAccess.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::wstring MakeFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"qv_scan_bench_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    for (const std::wstring& name : names)
        DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
}

// What any reader of the files must pay at least: open, size, read, close.
size_t OpenAndReadAll(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    size_t total = 0;
    std::string bytes;
    for (const std::wstring& name : names) {
        CFileHandle file(CreateFileW((folder + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen() && ReadWholeFile(file.Get(), bytes))
            total += bytes.size();
    }
    return total;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    std::wstring folder = MakeFolder();
    std::vector<std::wstring> names;
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CSoftware record;
        record.Id.Data1 = 0x51A70000u + static_cast<uint32_t>(i);
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
        // Written directly: the crash-safe save flushes every file, which only slows the set-up.
        std::string text = EncodeUtf8(FormatSoftwareText(record));
        CFileHandle file(CreateFileW((folder + FormatSoftwareId(record)).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file.IsOpen() || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            std::fwprintf(stderr, L"could not write record %d\n", i);
            return 1;
        }
        names.push_back(FormatSoftwareId(record));
    }

    // Warm the cache once, then take the best of five interleaved runs of each, so that other load
    // on the machine hits both alike.
    OpenAndReadAll(folder, names);
    double raw = 1e9, scan = 1e9;
    int loaded = 0;
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        size_t bytes = OpenAndReadAll(folder, names);
        double seconds = SecondsSince(start);
        if (bytes == 0)
            return 1;
        raw = seconds < raw ? seconds : raw;

        CSoftwareArray list;
        list.IsOwner = 1;
        start = Clock::now();
        loaded = ScanDataFolder(list, folder);
        seconds = SecondsSince(start);
        scan = seconds < scan ? seconds : scan;
    }
    RemoveFolder(folder, names);

    std::wprintf(L"records                 %d (loaded %d)\n", count, loaded);
    std::wprintf(L"open and read only      %8.1f ms\n", raw * 1000);
    std::wprintf(L"full scan               %8.1f ms\n", scan * 1000);
    std::wprintf(L"scan / open-and-read    %8.2f\n", scan / raw);
    return loaded == count ? 0 : 1;
}
