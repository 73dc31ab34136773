// Importing and exporting an installer through RunCopy (worker thread, progress dialog, flush)
// against CopyFileW followed by a flush and a plain loop at the same chunk size, on the same file in
// one run; then how long Cancel takes to end a running import.
// Usage: copy_bench [MiB] [runs]   (default 256 MiB, best of 3 runs)
// Runs headless: the progress dialog ends by itself, and a failure box is answered and printed.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "installer/FileFacts.h"
#include "installer/ImportProgressDlg.h"
#include "installer/InstallerVault.h"
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

bool FlushFile(const std::wstring& path)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsOpen() && FlushFileBuffers(file.Get());
}

// What the copies are measured against: the system's own copy, made as durable as an import.
bool CopyFileAndFlush(const std::wstring& from, const std::wstring& to)
{
    return CopyFileW(from.c_str(), to.c_str(), FALSE) && FlushFile(to);
}

// The raw cost of the copy loop's reads and writes at a given chunk size, nothing else.
bool PlainChunkLoop(const std::wstring& from, const std::wstring& to, DWORD chunk)
{
    CFileHandle source(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    CFileHandle target(CreateFileW(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.IsOpen() || !target.IsOpen())
        return false;
    std::vector<char> buffer(chunk);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source.Get(), buffer.data(), chunk, &got, nullptr))
            return false;
        if (got == 0)
            return FlushFileBuffers(target.Get()) != FALSE;
        DWORD written = 0;
        if (!WriteFile(target.Get(), buffer.data(), got, &written, nullptr) || written != got)
            return false;
    }
}

// Reading the whole file and nothing else: what hashing it is measured against.
bool PlainRead(const std::wstring& path, DWORD chunk)
{
    CFileHandle source(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source.IsOpen())
        return false;
    std::vector<char> buffer(chunk);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source.Get(), buffer.data(), chunk, &got, nullptr))
            return false;
        if (got == 0)
            return true;
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

// Presses Cancel (as a posted click) once the worker has written a given chunk, and notes when.
struct CCancelProbe {
    uint64_t AtChunk = 0;
    uint64_t Chunks = 0;
    Clock::time_point Pressed;
    Clock::time_point Stopped;  // the worker's last act, its partial copy deleted
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}
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
    const std::wstring out = folder + L"out\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(data.c_str(), nullptr);
    CreateDirectoryW(out.c_str(), nullptr);
    const std::wstring source = folder + L"setup.exe";
    const std::wstring plainTarget = folder + L"plain.bin";
    const std::wstring copyTarget = folder + L"copyfile.bin";
    const std::wstring exported = out + L"setup.exe";

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
    CMethod copyFile{"CopyFileW + flush"};
    CMethod plain{"ReadFile/WriteFile loop + flush"};
    CMethod runImport{"RunCopy import (worker, dialog)"};
    CMethod runExport{"RunCopy export (worker, dialog)"};
    for (int run = 0; ok && run < runs; ++run) {
        DeleteFileW(copyTarget.c_str());
        Clock::time_point start = Clock::now();
        ok = CopyFileAndFlush(source, copyTarget);
        copyFile.Best = std::min(copyFile.Best, SecondsSince(start));

        DeleteFileW(plainTarget.c_str());
        start = Clock::now();
        ok = ok && PlainChunkLoop(source, plainTarget, CopyChunkSize);
        plain.Best = std::min(plain.Best, SecondsSince(start));

        DeleteFileW(imported.c_str());
        start = Clock::now();
        ok = ok && progress.RunCopy(record, source, CopyImport, false) == CopyComplete;
        runImport.Best = std::min(runImport.Best, SecondsSince(start));

        // The export reads the imported copy, as the program's Export does.
        record.InstallerInfo.InstallerPath = imported;
        DeleteFileW(exported.c_str());
        start = Clock::now();
        ok = ok && progress.RunCopy(record, exported, CopyExport, false) == CopyComplete;
        runExport.Best = std::min(runExport.Best, SecondsSince(start));
    }

    // The installer vault: hashing the file as Verify and the check before Launch do, against
    // reading it plainly; and an import that hashes as it copies, against one that does not.
    CMethod plainRead{"plain read"};
    CMethod hashRead{"SHA-256 of the file (HashFile)"};
    CMethod hashedImport{"RunCopy import, hashing as it copies"};
    // The platform's SHA-256 on bytes already in memory, as many as the file holds: the most any
    // reading of the file could let hashing reach.
    CMethod hashAlone{"SHA-256 of as many bytes in memory"};
    std::wstring digest;
    for (int run = 0; ok && run < runs; ++run) {
        Clock::time_point start = Clock::now();
        ok = PlainRead(source, HashChunkSize);
        plainRead.Best = std::min(plainRead.Best, SecondsSince(start));

        uint64_t hashed = 0;
        start = Clock::now();
        ok = ok && HashFile(source, hashed, digest, CReadControl()) == MeasureOutcome::Done && hashed == size;
        hashRead.Best = std::min(hashRead.Best, SecondsSince(start));

        {
            const std::vector<char> chunk(HashChunkSize, 'q');
            start = Clock::now();
            CSha256 alone;
            for (uint64_t left = size; left > 0;) {
                const ULONG part = static_cast<ULONG>(std::min<uint64_t>(left, chunk.size()));
                alone.Update(chunk.data(), part);
                left -= part;
            }
            ok = ok && alone.Finish().size() == 64;
            hashAlone.Best = std::min(hashAlone.Best, SecondsSince(start));
        }

        DeleteFileW(imported.c_str());
        CImportFactsSink sink;
        progress.SetCopySink(&sink);
        start = Clock::now();
        ok = ok && progress.RunCopy(record, source, CopyImport, false) == CopyComplete;
        hashedImport.Best = std::min(hashedImport.Best, SecondsSince(start));
        progress.SetCopySink(nullptr);
        CInstallerFacts facts;
        ok = ok && sink.Take(facts) && facts.Sha256 == digest && facts.Size == size;
    }

    ok = ok && failures == 0 && SameBytes(source, imported) && SameBytes(source, exported) &&
         SameBytes(source, plainTarget) && SameBytes(source, copyTarget);

    // Cancel at several points of an import: from the click to RunCopy's return, which includes
    // the chunk in flight and deleting the partial copy.
    std::vector<double> latencies;
    std::vector<double> workerLatencies;
    const uint64_t chunks = (size + CopyChunkSize - 1) / CopyChunkSize;
    CCancelProbe probe;
    progress.SetCopyObserver([&probe, &progress](CopyStage stage, uint64_t) {
        if (stage == CopyStage::Chunk && ++probe.Chunks == probe.AtChunk) {
            probe.Pressed = Clock::now();
            PostMessageW(progress.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        if (stage == CopyStage::Finished)
            probe.Stopped = Clock::now();
    });
    int finishedFirst = 0;  // the copy ended before the click was taken: nothing to measure
    for (int k = 1; ok && chunks > 2 && k <= 9; ++k) {
        probe = CCancelProbe{};
        probe.AtChunk = std::max<uint64_t>(1, chunks * static_cast<uint64_t>(k) / 10);
        const INT_PTR result = progress.RunCopy(record, source, CopyImport, false);
        if (result == CopyCancelled) {
            latencies.push_back(SecondsSince(probe.Pressed) * 1000.0);
            workerLatencies.push_back(std::chrono::duration<double, std::milli>(probe.Stopped - probe.Pressed).count());
        }
        finishedFirst += result == CopyComplete;
        ok = (result == CopyCancelled || result == CopyComplete) &&
             GetFileAttributesW((imported + L".tmp").c_str()) == INVALID_FILE_ATTRIBUTES && SameBytes(source, imported);
    }
    progress.SetCopyObserver({});
    // Part of every cancel: the file system freeing a partial copy of about half the size.
    double deleteMs = 0;
    if (ok && PlainChunkLoop(source, plainTarget, CopyChunkSize)) {
        const Clock::time_point start = Clock::now();
        DeleteFileW(plainTarget.c_str());
        deleteMs = SecondsSince(start) * 1000.0;
    }

    for (const std::wstring& file : {source, plainTarget, copyTarget, imported, exported})
        DeleteFileW(file.c_str());
    RemoveDirectoryW(out.c_str());
    RemoveDirectoryW(data.c_str());
    RemoveDirectoryW(folder.c_str());
    if (!ok) {
        std::fprintf(stderr, "copy_bench: a copy failed, differs from its source, or a cancel left a file\n");
        return 1;
    }

    const double mib = static_cast<double>(mebibytes);
    std::printf("copy of %llu MiB in %lu-byte chunks, best of %d runs:\n", static_cast<unsigned long long>(mebibytes),
                static_cast<unsigned long>(CopyChunkSize), runs);
    for (const CMethod* method : {&copyFile, &plain, &runImport, &runExport, &plainRead, &hashRead, &hashAlone, &hashedImport})
        std::printf("  %-34s %8.3f s %9.1f MiB/s\n", method->Name, method->Best, mib / method->Best);
    std::printf("import throughput / CopyFileW + flush: %.2f\n", copyFile.Best / runImport.Best);
    std::printf("export throughput / CopyFileW + flush: %.2f\n", copyFile.Best / runExport.Best);
    std::printf("hash throughput / plain read: %.2f\n", plainRead.Best / hashRead.Best);
    // Near 1 when reading costs hashing nothing: what is left is the hash function's own speed.
    std::printf("hash throughput / hashing alone, nothing read: %.2f\n", hashAlone.Best / hashRead.Best);
    std::printf("hashing import throughput / plain import: %.2f\n", runImport.Best / hashedImport.Best);
    std::printf("RunCopy import / plain loop: %.2f times the time (the worker's and dialog's own overhead)\n",
                runImport.Best / plain.Best);
    if (!latencies.empty())
        std::printf("cancel latency over %zu cancels (click to RunCopy's return): median %.1f ms, worst %.1f ms\n",
                    latencies.size(), Median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    if (!workerLatencies.empty())
        std::printf("  of which until the worker stopped and deleted its partial copy: median %.1f ms, worst %.1f ms\n",
                    Median(workerLatencies), *std::max_element(workerLatencies.begin(), workerLatencies.end()));
    std::printf("  deleting a whole %llu MiB copy alone: %.1f ms\n", static_cast<unsigned long long>(mebibytes), deleteMs);
    if (finishedFirst > 0)
        std::printf("(%d more imports completed before their Cancel was taken)\n", finishedFirst);
    return 0;
}
