#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "installer/ImportProgressDlg.h"
#include "installer/InstallerOperations.h"
#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
class AttachTests : public testing::Test {
protected:
    AttachTests() { SetTestId(Record, 7); }

    std::wstring Source(const std::string& bytes, const std::wstring& name)
    {
        std::wstring path = Folders.Files() / name;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }
    std::wstring Imported() const { return Folders.ImportedPath(Record); }
    void ExpectInstaller(const std::wstring& installer, const std::wstring& original, int32_t mode)
    {
        EXPECT_EQ(Record.InstallerInfo.InstallerPath, installer);
        EXPECT_EQ(Record.InstallerInfo.OriginalPath, original);
        EXPECT_EQ(Record.InstallerInfo.AttachMode, mode);
    }

    CDataFolderScope Folders;
    CMessageBoxScript Boxes;
    CImportProgressDlg Progress;
    CSoftware Record;
};
}  // namespace

TEST_F(AttachTests, ByReferencePointsAtTheFileAndCopiesNothing)
{
    std::wstring setup = Source("referenced", L"setup.exe");
    int copies = 0;
    Progress.SetCopyObserver([&copies](CopyStage stage, uint64_t) { copies += stage == CopyStage::Finished; });

    EXPECT_TRUE(AttachInstaller(Record, AttachByReference, setup, Progress));

    ExpectInstaller(setup, setup, AttachByReference);
    EXPECT_EQ(copies, 0);
    EXPECT_FALSE(FileExistsAt(Imported()));
    EXPECT_EQ(ReadFileBytes(setup), "referenced");
}

TEST_F(AttachTests, ByImportPointsAtTheCopyOnlyOnceItIsComplete)
{
    std::string bytes = PatternBytes(10000, 21);
    std::wstring setup = Source(bytes, L"setup.msi");

    EXPECT_TRUE(AttachInstaller(Record, AttachByImport, setup, Progress));

    ExpectInstaller(Imported(), setup, AttachByImport);
    EXPECT_EQ(Imported().size() - Folders.Path().size(), 44u);
    EXPECT_EQ(ReadFileBytes(Imported()), bytes);
    EXPECT_EQ(ReadFileBytes(setup), bytes) << "the user's file stays where it is";
}

TEST_F(AttachTests, ASecondImportReplacesTheCopyUnderTheSameName)
{
    std::wstring first = Source(PatternBytes(3000, 22), L"first.exe");
    std::string secondBytes = PatternBytes(5000, 23);
    std::wstring second = Source(secondBytes, L"second.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByImport, first, Progress));

    EXPECT_TRUE(AttachInstaller(Record, AttachByImport, second, Progress));

    ExpectInstaller(Imported(), second, AttachByImport);
    EXPECT_EQ(ReadFileBytes(Imported()), secondBytes);
}

TEST_F(AttachTests, ACancelledOrFailedImportLeavesTheRecordAndItsCopyAlone)
{
    std::string firstBytes = PatternBytes(3000, 24);
    std::wstring first = Source(firstBytes, L"first.exe");
    std::wstring second = Source(PatternBytes(3 * CopyChunkSize + 7, 25), L"second.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByImport, first, Progress));
    {
        CHoldWorker hold(Progress, CopyStage::Chunk, 2);
        EXPECT_FALSE(AttachInstaller(Record, AttachByImport, second, Progress));
    }
    ExpectInstaller(Imported(), first, AttachByImport);
    EXPECT_EQ(ReadFileBytes(Imported()), firstBytes);
    EXPECT_FALSE(FileExistsAt(Imported() + L".tmp"));
    EXPECT_TRUE(Boxes.Shown().empty());

    EXPECT_FALSE(AttachInstaller(Record, AttachByImport, Folders.Files() / L"missing.exe", Progress));
    ExpectInstaller(Imported(), first, AttachByImport);
    EXPECT_EQ(ReadFileBytes(Imported()), firstBytes);
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{L"An error occured while importing the installer!"});
}

TEST_F(AttachTests, ReferenceAfterImportDeletesTheImportedCopy)
{
    std::wstring imported = Source("imported", L"imported.exe");
    std::wstring referenced = Source("referenced", L"referenced.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByImport, imported, Progress));
    ASSERT_TRUE(FileExistsAt(Imported()));

    EXPECT_TRUE(AttachInstaller(Record, AttachByReference, referenced, Progress));

    ExpectInstaller(referenced, referenced, AttachByReference);
    EXPECT_FALSE(FileExistsAt(Imported()));
    EXPECT_EQ(ReadFileBytes(imported), "imported");
}

TEST_F(AttachTests, ImportAfterReferenceDeletesNothing)
{
    std::wstring referenced = Source("referenced", L"referenced.exe");
    std::wstring imported = Source("imported", L"imported.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByReference, referenced, Progress));

    EXPECT_TRUE(AttachInstaller(Record, AttachByImport, imported, Progress));

    ExpectInstaller(Imported(), imported, AttachByImport);
    EXPECT_EQ(ReadFileBytes(referenced), "referenced");
}

TEST_F(AttachTests, ReferencingTheImportedCopyItselfKeepsThatFile)
{
    std::wstring setup = Source("imported", L"setup.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByImport, setup, Progress));

    EXPECT_TRUE(AttachInstaller(Record, AttachByReference, Imported(), Progress));

    ExpectInstaller(Imported(), Imported(), AttachByReference);
    EXPECT_EQ(ReadFileBytes(Imported()), "imported");
}

TEST_F(AttachTests, AnUnknownModeChangesNothing)
{
    std::wstring setup = Source("referenced", L"setup.exe");
    ASSERT_TRUE(AttachInstaller(Record, AttachByReference, setup, Progress));
    int copies = 0;
    Progress.SetCopyObserver([&copies](CopyStage stage, uint64_t) { copies += stage == CopyStage::Finished; });

    EXPECT_FALSE(AttachInstaller(Record, 2, Source("other", L"other.exe"), Progress));
    EXPECT_FALSE(AttachInstaller(Record, -1, Source("other", L"other.exe"), Progress));

    ExpectInstaller(setup, setup, AttachByReference);
    EXPECT_EQ(copies, 0);
}

TEST_F(AttachTests, AnImportIntoAVanishedDataFolderIsRefusedAndMakesNoFolder)
{
    std::wstring setup = Source("installer", L"setup.exe");
    int copies = 0;
    Progress.SetCopyObserver([&copies](CopyStage stage, uint64_t) { copies += stage == CopyStage::Finished; });
    // The data folder is removed from outside while the program runs.
    DeleteFolderTree(Folders.Path());
    ASSERT_FALSE(FileExistsAt(Folders.Path()));

    EXPECT_FALSE(AttachInstaller(Record, AttachByImport, setup, Progress));

    EXPECT_EQ(copies, 0);
    EXPECT_FALSE(FileExistsAt(Folders.Path()));
    EXPECT_TRUE(Record.InstallerInfo.InstallerPath.empty());
    EXPECT_EQ(Boxes.Texts(), std::vector<std::wstring>{DataFolderMissingText(Settings.DataFolder)});
    EXPECT_EQ(ReadFileBytes(setup), "installer");
}
