#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "installer/FileFacts.h"
#include "installer/ImportProgressDlg.h"
#include "installer/InstallerOperations.h"
#include "installer/InstallerVault.h"
#include "installer/VaultProgressDlg.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
const std::wstring EmptySha = L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
const std::wstring AbcSha = L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::wstring ShaOf(const std::string& bytes)
{
    CSha256 hash;
    hash.Update(bytes.data(), static_cast<ULONG>(bytes.size()));
    return hash.Finish();
}

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Restores the progress dialog's start hook after a test.
struct CStartHookScope {
    explicit CStartHookScope(CVaultProgressDlg::StartHook hook) : Previous(CVaultProgressDlg::SetStartHook(hook)) {}
    ~CStartHookScope() { CVaultProgressDlg::SetStartHook(Previous); }
    CVaultProgressDlg::StartHook Previous;
};
}  // namespace

TEST(FileFactsTests, Sha256MatchesKnownDigestsWhateverTheChunks)
{
    EXPECT_EQ(ShaOf(""), EmptySha);
    EXPECT_EQ(ShaOf("abc"), AbcSha);
    EXPECT_EQ(ShaOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");

    // Fed in uneven pieces, the digest is that of the whole.
    const std::string bytes = PatternBytes(3 * 1024 * 1024 + 17, 5);
    CSha256 pieces;
    for (size_t at = 0; at < bytes.size(); at += 65537)
        pieces.Update(bytes.data() + at, static_cast<ULONG>(std::min<size_t>(65537, bytes.size() - at)));
    EXPECT_EQ(pieces.Finish(), ShaOf(bytes));
}

TEST(FileFactsTests, HashingAFileTellsMissingUnreadableAndCancelledApart)
{
    CTempFolder folder;
    const std::string bytes = PatternBytes(HashChunkSize * 2 + 3, 9);
    const std::wstring path = folder / L"setup.exe";
    ASSERT_TRUE(WriteFileBytes(path, bytes));

    uint64_t size = 0;
    std::wstring sha;
    uint64_t lastProgress = 0;
    CReadControl control;
    control.Progress = [&](uint64_t done, uint64_t total) {
        EXPECT_EQ(total, bytes.size());
        EXPECT_GT(done, lastProgress);
        lastProgress = done;
    };
    EXPECT_EQ(HashFile(path, size, sha, control), MeasureOutcome::Done);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(sha, ShaOf(bytes));
    EXPECT_EQ(lastProgress, bytes.size());

    EXPECT_EQ(HashFile(folder / L"gone.exe", size, sha, CReadControl()), MeasureOutcome::Missing);
    EXPECT_EQ(HashFile(folder / L"no folder\\gone.exe", size, sha, CReadControl()), MeasureOutcome::Missing);
    EXPECT_EQ(HashFile(folder.Path(), size, sha, CReadControl()), MeasureOutcome::Missing);  // a folder is no file

    {
        // Another program holds the file without sharing it.
        HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(HashFile(path, size, sha, CReadControl()), MeasureOutcome::Unreadable);
        CloseHandle(held);
    }

    int reads = 0;
    CReadControl cancelling;
    cancelling.Cancelled = [&reads] { return ++reads > 1; };
    EXPECT_EQ(HashFile(path, size, sha, cancelling), MeasureOutcome::Cancelled);
    EXPECT_EQ(reads, 2);
    EXPECT_TRUE(sha.empty());
}

TEST(FileFactsTests, VersionResourceAndSignatureAreRead)
{
    // The test program carries the program's version resource and no signature.
    CInstallerFacts facts;
    ASSERT_EQ(MeasureInstaller(ThisProgram(), facts, CReadControl()), MeasureOutcome::Done);
    EXPECT_EQ(facts.Version.substr(0, 4), L"1.2.");
    EXPECT_EQ(facts.Product, L"Quorvane");
    EXPECT_EQ(facts.Signer, L"");
    EXPECT_EQ(facts.Trust, L"Unsigned");

    CTempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"notes.zip", "PK not really"));
    ASSERT_EQ(MeasureInstaller(folder / L"notes.zip", facts, CReadControl()), MeasureOutcome::Done);
    EXPECT_EQ(facts.Version, L"");
    EXPECT_EQ(facts.Product, L"");
    EXPECT_EQ(facts.Trust, L"Unsigned");
}

TEST(FileFactsTests, CheckingTellsIntactFromChanged)
{
    CTempFolder folder;
    const std::wstring path = folder / L"setup.exe";
    ASSERT_TRUE(WriteFileBytes(path, "original bytes"));
    CInstallerFacts facts;
    ASSERT_EQ(MeasureInstaller(path, facts, CReadControl()), MeasureOutcome::Done);
    CExtraInfo recorded;
    RecordInstallerFacts(recorded, facts, NowTimestamp());
    EXPECT_TRUE(IsTimestampText(recorded.InstallerAttached));

    CInstallerFacts measured;
    EXPECT_EQ(CheckInstallerFile(path, recorded, measured, CReadControl()), InstallerCheckResult::Intact);
    ASSERT_TRUE(WriteFileBytes(path, "ORIGINAL BYTES"));  // same size
    EXPECT_EQ(CheckInstallerFile(path, recorded, measured, CReadControl()), InstallerCheckResult::Changed);
    EXPECT_EQ(measured.Trust, L"Unsigned");  // a changed file's signature is looked at too
    EXPECT_FALSE(CompareInstallerFacts(recorded, measured).Size);
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(CheckInstallerFile(path, recorded, measured, CReadControl()), InstallerCheckResult::Missing);
}

TEST(FileFactsTests, ImportHashesTheBytesAsTheWorkerCopiesThem)
{
    CDataFolderScope folders;
    CMessageBoxScript boxes;
    CImportProgressDlg progress;
    CSoftware record;
    SetTestId(record, 3);
    const std::string bytes = PatternBytes(5 * 1024 * 1024 + 11, 4);
    const std::wstring source = folders.Files() / L"big setup.exe";
    ASSERT_TRUE(WriteFileBytes(source, bytes));

    ASSERT_TRUE(AttachInstaller(record, AttachByImport, source, progress));
    EXPECT_EQ(record.ExtraInfo.InstallerSize, std::to_wstring(bytes.size()));
    EXPECT_EQ(record.ExtraInfo.InstallerSha256, ShaOf(bytes));
    EXPECT_EQ(record.ExtraInfo.InstallerTrust, L"Unsigned");
    EXPECT_TRUE(IsTimestampText(record.ExtraInfo.InstallerAttached));
    EXPECT_TRUE(boxes.Shown().empty());

    // A cancelled import keeps the earlier facts with the earlier copy.
    const CExtraInfo before = record.ExtraInfo;
    ASSERT_TRUE(WriteFileBytes(source, PatternBytes(3 * CopyChunkSize, 8)));
    {
        CHoldWorker hold(progress, CopyStage::Chunk, 1);
        EXPECT_FALSE(AttachInstaller(record, AttachByImport, source, progress));
    }
    EXPECT_EQ(record.ExtraInfo, before);
}

TEST(FileFactsTests, ALargeReferenceIsMeasuredUnderTheDialogAndItsCancelCancelsTheAttach)
{
    CDataFolderScope folders;
    CMessageBoxScript boxes;
    CImportProgressDlg progress;
    CSoftware record;
    SetTestId(record, 4);
    const std::string bytes = PatternBytes(static_cast<size_t>(QuickReadLimit) + 4096, 6);
    const std::wstring source = folders.Files() / L"large.msi";
    ASSERT_TRUE(WriteFileBytes(source, bytes));

    std::wstring title;
    {
        CStartHookScope hook([&title](HWND dialog) {
            wchar_t text[128] = {};
            GetWindowTextW(dialog, text, 128);
            title = text;
        });
        ASSERT_TRUE(AttachInstaller(record, AttachByReference, source, progress));
    }
    EXPECT_EQ(title, L"Reading the installer");
    EXPECT_EQ(record.ExtraInfo.InstallerSha256, ShaOf(bytes));
    EXPECT_EQ(record.InstallerInfo.InstallerPath, source);

    // Cancel as soon as the dialog shows: the record keeps its earlier installer and facts.
    const std::wstring other = folders.Files() / L"other.msi";
    ASSERT_TRUE(WriteFileBytes(other, PatternBytes(static_cast<size_t>(QuickReadLimit) * 4, 7)));
    const CExtraInfo before = record.ExtraInfo;
    {
        CStartHookScope hook([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_FALSE(AttachInstaller(record, AttachByReference, other, progress));
    }
    EXPECT_EQ(record.InstallerInfo.InstallerPath, source);
    EXPECT_EQ(record.ExtraInfo, before);
}

TEST(FileFactsTests, ASignedFileNamesItsSigner)
{
    // A PE signed by a well-known publisher, extracted by scripts/install-deps.sh signed.
    wchar_t sample[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_SIGNED_SAMPLE", sample, MAX_PATH);
    if (!length || length >= MAX_PATH || GetFileAttributesW(sample) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "QV_SIGNED_SAMPLE names no file";
    std::wstring signer;
    std::wstring trust;
    ReadSignatureFacts(sample, signer, trust);
    EXPECT_EQ(signer, L"Microsoft Windows UEFI Driver Publisher");
    EXPECT_TRUE(trust == L"Trusted" || trust == L"Not trusted") << testing::PrintToString(trust);
    std::printf("signed sample: %ls, %ls\n", signer.c_str(), trust.c_str());

    // One changed byte breaks the signature; the signer is still named.
    CTempFolder folder;
    std::string bytes = ReadFileBytes(sample);
    ASSERT_GT(bytes.size(), 4096u);
    bytes[bytes.size() / 2] ^= 0x55;
    ASSERT_TRUE(WriteFileBytes(folder / L"tampered.efi", bytes));
    ReadSignatureFacts(folder / L"tampered.efi", signer, trust);
    EXPECT_EQ(trust, L"Not trusted");
}
