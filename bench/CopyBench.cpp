// Importing an installer through RunCopy (worker thread, 512-byte chunks, progress dialog) against
// a plain 512-byte ReadFile/WriteFile loop and CopyFileW, on the same file in one run.
// Usage: copy_bench [MiB] [runs]   (default 256 MiB, best of 3 runs)
// Runs headless: the progress dialog ends by itself, and a failure box is answered and printed.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "installer/ImportProgressDlg.h"
#include "installer/InstallerText.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"

namespace {
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool WriteSource(const std::wstring& path, uint64_t size)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!file.IsOpen())
        return false;
    std::vector<uint32_t> block(1 << 18);
    uint32_t state = 0x9E3779B9u;
    for (uint64_t done = 0; done < size;) {
        for (uint32_t& word : block) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            word = state;
        }
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(size - done, block.size() * sizeof(uint32_t)));
        DWORD written = 0;
        if (!WriteFile(file.Get(), block.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        done += chunk;
    }
    return true;
}

// The raw cost RunCopy cannot go below: the same 512-byte reads and writes, nothing else.
bool PlainChunkLoop(const std::wstring& from, const std::wstring& to)
{
    CFileHandle source(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    CFileHandle target(CreateFileW(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.IsOpen() || !target.IsOpen())
        return false;
    char buffer[CopyChunkSize];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source.Get(), buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(target.Get(), buffer, got, &written, nullptr) || written != got)
            return false;
    }
}

bool SameBytes(const std::wstring& a, const std::wstring& b)
{
    CFileHandle first(CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    CFileHandle second(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!first.IsOpen() || !second.IsOpen())
        return false;
    std::vector<char> x(1 << 20);
    std::vector<char> y(1 << 20);
    for (;;) {
        DWORD gotX = 0;
        DWORD gotY = 0;
        if (!ReadFile(first.Get(), x.data(), static_cast<DWORD>(x.size()), &gotX, nullptr) ||
            !ReadFile(second.Get(), y.data(), static_cast<DWORD>(y.size()), &gotY, nullptr) || gotX != gotY)
            return false;
        if (gotX == 0)
            return true;
        if (std::char_traits<char>::compare(x.data(), y.data(), gotX) != 0)
            return false;
    }
}

struct CMethod {
    const char* Name;
    double Best = 1e300;
};
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const uint64_t mebibytes = argc > 1 ? static_cast<uint64_t>(_wtoi(argv[1])) : 256;
    const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
    const uint64_t size = mebibytes << 20;

    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + L"qv_copy_bench_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring data = folder + L"data\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(data.c_str(), nullptr);
    const std::wstring source = folder + L"setup.exe";
    const std::wstring plainTarget = folder + L"plain.bin";
    const std::wstring copyTarget = folder + L"copyfile.bin";

    // Nobody is there to press OK: print any failure box and answer it.
    int failures = 0;
    SetMessageBoxAnswerer([&failures](HWND, const std::wstring& text, const std::wstring&, UINT) {
        std::fwprintf(stderr, L"message box: %ls\n", text.c_str());
        ++failures;
        return IDOK;
    });

    Settings.DataFolder = data;
    CSoftware record;
    record.Id.Data1 = 0xC0B1E5u;
    const std::wstring imported = ImportedInstallerPath(data, record);
    CImportProgressDlg progress;

    bool ok = WriteSource(source, size);
    CMethod copyFile{"CopyFileW"};
    CMethod plain{"512-byte ReadFile/WriteFile loop"};
    CMethod runCopy{"RunCopy import (worker, dialog)"};
    for (int run = 0; ok && run < runs; ++run) {
        DeleteFileW(copyTarget.c_str());
        Clock::time_point start = Clock::now();
        ok = CopyFileW(source.c_str(), copyTarget.c_str(), FALSE) != FALSE;
        copyFile.Best = std::min(copyFile.Best, SecondsSince(start));

        DeleteFileW(plainTarget.c_str());
        start = Clock::now();
        ok = ok && PlainChunkLoop(source, plainTarget);
        plain.Best = std::min(plain.Best, SecondsSince(start));

        DeleteFileW(imported.c_str());
        start = Clock::now();
        ok = ok && progress.RunCopy(record, source, CopyImport, false) == CopyComplete;
        runCopy.Best = std::min(runCopy.Best, SecondsSince(start));
    }
    ok = ok && failures == 0 && SameBytes(source, imported) && SameBytes(source, plainTarget) &&
         SameBytes(source, copyTarget);

    for (const std::wstring& file : {source, plainTarget, copyTarget, imported})
        DeleteFileW(file.c_str());
    RemoveDirectoryW(data.c_str());
    RemoveDirectoryW(folder.c_str());
    if (!ok) {
        std::fprintf(stderr, "copy_bench: a copy failed or differs from its source\n");
        return 1;
    }

    const double mib = static_cast<double>(mebibytes);
    std::printf("copy of %llu MiB, best of %d runs:\n", static_cast<unsigned long long>(mebibytes), runs);
    for (const CMethod* method : {&copyFile, &plain, &runCopy})
        std::printf("  %-34s %8.3f s %9.1f MiB/s\n", method->Name, method->Best, mib / method->Best);
    std::printf("RunCopy / 512-byte loop: %.2f times the time (the loop's own overhead)\n", runCopy.Best / plain.Best);
    std::printf("RunCopy / CopyFileW:     %.2f times the time\n", runCopy.Best / copyFile.Best);
    std::printf("512-byte loop / CopyFileW: %.2f times the time (the price of 512-byte chunks)\n",
                plain.Best / copyFile.Best);
    return 0;
}
