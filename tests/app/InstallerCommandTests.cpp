#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Names = std::vector<std::wstring>;

const wchar_t Filter[] =
    L"Application(*.exe, *.msi)|*.exe;*.msi|Compressed Package(*.zip ,*.rar, *.cab)|*.zip;*.rar;*.cab"
    L"|All Files(*.*)|*.*||";
const wchar_t ExportTitle[] =
    L"Please select a folder where the installer file will be exported to. And you must have the right to write "
    L"in that folder.";
const wchar_t OneDropText[] = L"Sorry! Only one file is allowed at a time, please retry.";

std::string StoredText(const std::wstring& path)
{
    return ReadFileBytes(path);
}

class InstallerCommandTests : public CMainWindowTest {
protected:
    // The record's installer as its meta-data file holds it.
    CInstallerInfo Stored(const CSoftware& record) const
    {
        CSoftware loaded;
        loaded.Id = record.Id;
        EXPECT_TRUE(LoadSoftwareFile(loaded, MetaDataPath(record)));
        CInstallerInfo installer = loaded.InstallerInfo;
        installer.Icon = nullptr;
        return installer;
    }
    void Reference(CSoftware& record, const std::wstring& path)
    {
        record.InstallerInfo.InstallerPath = path;
        record.InstallerInfo.OriginalPath = path;
        record.InstallerInfo.AttachMode = 0;
        ASSERT_TRUE(SaveSoftwareFile(record, Data));
    }
    void Import(CSoftware& record, const std::wstring& originalName, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(ImportedPath(record), bytes));
        record.InstallerInfo.InstallerPath = ImportedPath(record);
        record.InstallerInfo.OriginalPath = L"D:\\Setups\\" + originalName;
        record.InstallerInfo.AttachMode = 1;
        ASSERT_TRUE(SaveSoftwareFile(record, Data));
    }
};
}  // namespace

TEST_F(InstallerCommandTests, AttachExportAndLaunchDoNothingWithoutASelection)
{
    Open(SixRecords());
    Select({});
    for (WPARAM code : {CMD_ATTACH, CMD_EXPORT, CMD_LAUNCH, CMD_DETACH, CMD_DELETE})
        PostFromToolbar(code);
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_TRUE(Shell.OpenFilters.empty());
    EXPECT_TRUE(Shell.FolderTitles.empty());
    EXPECT_EQ(SoftwareList.GetSize(), 6);
}

TEST_F(InstallerCommandTests, AttachExportAndLaunchActOnOneSoftwareAtATime)
{
    Open(SixRecords());
    Select({0, 2});
    ClickToolbarButton(IDC_TOOL_ATTACH);
    ClickToolbarButton(IDC_TOOL_EXPORT);
    ClickToolbarButton(IDC_TOOL_LAUNCH);
    EXPECT_EQ(Boxes.Texts(), (Names{L"You can just attach one installer to only one software at a time.",
                                    L"You can just export the installer from one software at a time.",
                                    L"You can just install one software at a time."}));
    for (const ShownMessageBox& box : Boxes.Shown()) {
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        EXPECT_EQ(box.Owner, Main());
    }
    EXPECT_TRUE(Shell.OpenFilters.empty());
}

TEST_F(InstallerCommandTests, AttachByReferenceWritesTheRecordAndUsesTheFilter)
{
    Open(SixRecords());
    std::wstring setup = WriteSourceFile(L"alpha-setup.exe", "MZ setup");
    Shell.OpenAnswer = setup;
    ClickToolbarButton(IDC_TOOL_ATTACH);

    EXPECT_EQ(Shell.OpenFilters, Names{Filter});
    CSoftware* alpha = Find(L"Alpha Edit");
    EXPECT_EQ(alpha->InstallerInfo.InstallerPath, setup);
    CInstallerInfo stored = Stored(*alpha);
    EXPECT_EQ(stored.InstallerPath, setup);
    EXPECT_EQ(stored.OriginalPath, setup);
    EXPECT_EQ(stored.AttachMode, 0);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(InstallerCommandTests, DecliningTheReplaceQuestionShowsNoFileDialog)
{
    Open(SixRecords());
    CSoftware* alpha = Find(L"Alpha Edit");
    Import(*alpha, L"alpha.exe", "old copy");
    const std::string before = StoredText(MetaDataPath(*alpha));
    Shell.OpenAnswer = WriteSourceFile(L"other.exe", "new");

    PostFromToolbar(CMD_ATTACH);
    EXPECT_EQ(Boxes.Texts(), Names{L"An installer had already been attached to the selected software.\n"
                                   L"Would you like to replace it ?"});
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(Shell.OpenFilters.empty());
    EXPECT_EQ(StoredText(MetaDataPath(*alpha)), before);
    EXPECT_EQ(ReadFileBytes(ImportedPath(*alpha)), "old copy");
}

TEST_F(InstallerCommandTests, AttachByImportReplacesTheEarlierCopyUnderTheSameName)
{
    Open(SixRecords());
    Settings.AttachMode = 1;
    CSoftware* alpha = Find(L"Alpha Edit");
    Import(*alpha, L"alpha.exe", "old copy");
    Shell.OpenAnswer = WriteSourceFile(L"alpha-2.msi", "the new installer");
    Boxes.Answer(IDYES);

    PostFromToolbar(CMD_ATTACH);
    EXPECT_EQ(ReadFileBytes(ImportedPath(*alpha)), "the new installer");
    CInstallerInfo stored = Stored(*alpha);
    EXPECT_EQ(stored.InstallerPath, ImportedPath(*alpha));
    EXPECT_EQ(stored.OriginalPath, Shell.OpenAnswer);
    EXPECT_EQ(stored.AttachMode, 1);
}

TEST_F(InstallerCommandTests, DetachOfAMixedSelectionExplainsAndAsksPerImportedRecord)
{
    Open(SixRecords());
    CSoftware* alpha = Find(L"Alpha Edit");   // referenced
    CSoftware* delta = Find(L"Delta Net");    // imported, kept by No
    CSoftware* epsilon = Find(L"Epsilon CAD");  // imported, detached
    const std::wstring alphaSetup = WriteSourceFile(L"alpha.exe", "a");
    Reference(*alpha, alphaSetup);
    Import(*delta, L"delta.exe", "d");
    Import(*epsilon, L"epsilon.exe", "e");
    Select({0, 1, 2, 3});
    Boxes.Answer(IDYES);  // the list
    Boxes.Answer(IDOK);   // Beta Paint has none
    Boxes.Answer(IDNO);   // Delta Net
    Boxes.Answer(IDYES);  // Epsilon CAD

    PostFromToolbar(CMD_DETACH);

    EXPECT_EQ(Boxes.Texts(),
              (Names{L"You are going to detach the installer from following software(s):\n\n1. Alpha Edit(1.0)\n"
                     L"2. Beta Paint(2.1)\n3. Delta Net(0.9)\n4. Epsilon CAD(5.2)\n\nPress [Yes] to continue.",
                     L"Beta Paint(2.1) doesn't have an installer yet.",
                     L"Delta Net(0.9)'s installer is attached by Import-Mode, it will be deleted after detaching."
                     L"\n\nWould you like to continue ?",
                     L"Epsilon CAD(5.2)'s installer is attached by Import-Mode, it will be deleted after detaching."
                     L"\n\nWould you like to continue ?"}));
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Stored(*alpha).InstallerPath, L"");
    EXPECT_TRUE(FileExistsAt(alphaSetup));
    EXPECT_EQ(Stored(*delta).AttachMode, 1);
    EXPECT_TRUE(FileExistsAt(ImportedPath(*delta)));
    EXPECT_EQ(Stored(*epsilon).InstallerPath, L"");
    EXPECT_EQ(Stored(*epsilon).AttachMode, 0);
    EXPECT_FALSE(FileExistsAt(ImportedPath(*epsilon)));
}

TEST_F(InstallerCommandTests, DecliningDetachChangesNothing)
{
    Open(SixRecords());
    CSoftware* delta = Find(L"Delta Net");
    Import(*delta, L"delta.exe", "d");
    Select({2});
    PostFromToolbar(CMD_DETACH);
    EXPECT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Stored(*delta).AttachMode, 1);
    EXPECT_TRUE(FileExistsAt(ImportedPath(*delta)));
}

TEST_F(InstallerCommandTests, ExportNeedsAnImportedInstallerAndCopiesUnderTheOriginalName)
{
    Open(SixRecords());
    CSoftware* alpha = Find(L"Alpha Edit");
    CSoftware* beta = Find(L"Beta Paint");
    Reference(*beta, WriteSourceFile(L"beta.exe", "b"));
    Select({0});
    PostFromToolbar(CMD_EXPORT);
    Select({1});
    PostFromToolbar(CMD_EXPORT);
    EXPECT_EQ(Boxes.Texts(), (Names{L"The selected software havn't attached an installer yet.",
                                    L"The selected software havn't imported an installer yet."}));
    EXPECT_TRUE(Shell.FolderTitles.empty());

    Import(*alpha, L"alpha-setup.exe", "exported bytes");
    CTempFolder target;
    Shell.FolderAnswer = target.Path().substr(0, target.Path().size() - 1);  // without its backslash
    Select({0});
    PostFromToolbar(CMD_EXPORT);
    EXPECT_EQ(Shell.FolderTitles, Names{ExportTitle});
    EXPECT_EQ(ReadFileBytes(target / L"alpha-setup.exe"), "exported bytes");
    EXPECT_EQ(Boxes.Shown().size(), 2u);

    // A chosen place that is no folder copies nothing and says nothing.
    Shell.FolderAnswer = target / L"alpha-setup.exe";
    PostFromToolbar(CMD_EXPORT);
    EXPECT_FALSE(FileExistsAt(target / L"alpha-setup(1).exe"));
    EXPECT_EQ(Boxes.Shown().size(), 2u);
}

TEST_F(InstallerCommandTests, LaunchWithoutAnInstallerOpensTheAttachFlow)
{
    Open(SixRecords());
    Select({1});
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_EQ(Shell.OpenFilters, Names{Filter});
    EXPECT_TRUE(Shell.Opens.empty());
}

TEST_F(InstallerCommandTests, LaunchOfAnImportedInstallerRunsACopyInTheScratchFolder)
{
    Open(SixRecords());
    CSoftware* gamma = Find(L"Gamma Zip");
    Import(*gamma, L"gamma-setup.exe", "gamma installer");
    Select({4});
    PostFromToolbar(CMD_LAUNCH);

    EXPECT_TRUE(Boxes.Shown().empty()) << testing::PrintToString(Boxes.Texts());
    ASSERT_EQ(Shell.Opens.size(), 1u);
    EXPECT_EQ(Shell.Opens[0].Owner, nullptr);
    EXPECT_EQ(Shell.Opens[0].Target, TempFolder + L"gamma-setup.exe");
    EXPECT_EQ(Shell.Opens[0].Directory, TempFolder);
    EXPECT_EQ(ReadFileBytes(TempFolder + L"gamma-setup.exe"), "gamma installer");
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(InstallerCommandTests, LaunchReportsAMissingFileAndAFailedStart)
{
    Open(SixRecords());
    CSoftware* gamma = Find(L"Gamma Zip");
    Reference(*gamma, Root / L"gone.exe");
    Select({4});
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_TRUE(Shell.Opens.empty());

    Reference(*gamma, WriteSourceFile(L"here.exe", "x"));
    Shell.OpenResult = 2;
    PostFromToolbar(CMD_LAUNCH);
    ASSERT_EQ(Shell.Opens.size(), 1u);
    EXPECT_EQ(Shell.Opens[0].Target, Root / L"here.exe");
    EXPECT_EQ(Shell.Opens[0].Directory, TempFolder);
    EXPECT_EQ(Boxes.Texts(), (Names{L"The installer file dosen't exist, please check it.",
                                    L"Failed to execute the installer, please try again."}));
    for (const ShownMessageBox& box : Boxes.Shown())
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST_F(InstallerCommandTests, DeleteAsksWithTheNumberedListAndNoKeepsEverything)
{
    Open(SixRecords());
    Select({1, 3});
    PostFromToolbar(CMD_DELETE);
    EXPECT_EQ(Boxes.Texts(),
              Names{L"(You can press [Shift] key to avoid this message.)\n\nThe following software(s) and "
                    L"it's/their imported installer(s) will be removed:\n\n  1. Beta Paint(2.1)\n"
                    L"  2. Epsilon CAD(5.2)\n\nPress [Yes] to continue."});
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(SoftwareList.GetSize(), 6);
    EXPECT_TRUE(FileExistsAt(MetaDataPath(*Find(L"Beta Paint"))));
}

TEST_F(InstallerCommandTests, DeleteWithShiftHeldAsksNothingAndRemovesFilesAndCopies)
{
    Open(SixRecords());
    CSoftware* beta = Find(L"Beta Paint");
    Import(*beta, L"beta.exe", "b");
    const std::wstring betaFile = MetaDataPath(*beta);
    const std::wstring betaCopy = ImportedPath(*beta);
    const std::wstring epsilonFile = MetaDataPath(*Find(L"Epsilon CAD"));
    Shell.Shift = true;
    Select({1, 3});
    PostFromToolbar(CMD_DELETE);

    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_EQ(NamesOf(SoftwareList), (Names{L"Alpha Edit", L"Delta Net", L"Gamma Zip", L"Zeta Sync"}));
    EXPECT_FALSE(FileExistsAt(betaFile));
    EXPECT_FALSE(FileExistsAt(betaCopy));
    EXPECT_FALSE(FileExistsAt(epsilonFile));
    // Their two categories went with them.
    EXPECT_EQ(TabNames(), (Names{L"All", L"Compression Tools", L"File Management", L"Internet", L"Text Edit"}));
    EXPECT_EQ(ShownNames(), NamesOf(SoftwareList));
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(Window->ItemInfo().Record(), SoftwareList[0]);
}

TEST_F(InstallerCommandTests, DeleteOnASortedGroupTabRemovesExactlyTheChosenRecords)
{
    Open(SixRecords(), 1);
    SwitchTab(1);  // Brightline
    ChooseSortKey(SortByPrice);  // Alpha Edit, Zeta Sync, Gamma Zip
    ASSERT_EQ(ShownNames(), (Names{L"Alpha Edit", L"Zeta Sync", L"Gamma Zip"}));
    Shell.Shift = true;
    Select({1, 2});
    PostFromToolbar(CMD_DELETE);

    EXPECT_EQ(NamesOf(SoftwareList), (Names{L"Alpha Edit", L"Beta Paint", L"Delta Net", L"Epsilon CAD"}));
    // Same number of tabs: the group tab stays, showing what is left of it.
    EXPECT_EQ(TabNames(), (Names{L"All", L"Brightline", L"Corvid Labs", L"Deepwater"}));
    EXPECT_EQ(Window->ListPane().ActiveTab(), 1);
    EXPECT_EQ(ShownNames(), Names{L"Alpha Edit"});
    EXPECT_EQ(Window->ItemInfo().Record(), Find(L"Alpha Edit"));
}

TEST_F(InstallerCommandTests, DeletingTheOneRecordBeingEditedIsRefusedButNotWithAnother)
{
    Open(SixRecords());
    Select({2});
    CSoftware* delta = Find(L"Delta Net");
    ASSERT_EQ(Window->ItemInfo().Record(), delta);
    Window->ItemInfo().SetMode(ItemInfoEdit);
    Boxes.Answer(IDYES);
    PostFromToolbar(CMD_DELETE);
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[1].Text, L"Can't delete a software which is being edit !");
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(SoftwareList.GetSize(), 6);

    // Selecting two entries asks about the edits first; Yes drops them.
    Boxes.Answer(IDYES);
    Select({2, 3});
    Window->ItemInfo().SetMode(ItemInfoEdit);
    Window->ItemInfo().SetRecord(delta);
    Shell.Shift = true;
    PostFromToolbar(CMD_DELETE);
    EXPECT_EQ(NamesOf(SoftwareList), (Names{L"Alpha Edit", L"Beta Paint", L"Gamma Zip", L"Zeta Sync"}));
}

TEST_F(InstallerCommandTests, DroppingTwoFilesAFolderOrAnOverlongPathAddsNothing)
{
    Open(SixRecords());
    const std::wstring one = WriteSourceFile(L"one.exe", "1");
    const std::wstring two = WriteSourceFile(L"two.exe", "2");
    AddDialogStep = [](CSoftware&) { return IDOK; };

    PostMessageW(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({one, two})), 0);
    Pump();
    PostMessageW(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({Root.Path()})), 0);
    Pump();
    PostMessageW(Main(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDropHandle({Root.Path() + std::wstring(300, L'x') + L".exe"})), 0);
    Pump();

    EXPECT_EQ(Boxes.Texts(), (Names{OneDropText, OneDropText, OneDropText}));
    EXPECT_TRUE(AddDialogOwners.empty());
    EXPECT_EQ(SoftwareList.GetSize(), 6);
}

TEST_F(InstallerCommandTests, DroppingOneFileAddsASoftwareWithThatInstaller)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"dropped.exe", "dropped");
    PostMessageW(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({setup})), 0);
    Pump();
    EXPECT_EQ(AddDialogOwners.size(), 1u);
    EXPECT_EQ(SoftwareList.GetSize(), 6);

    Settings.AttachMode = 1;
    AddDialogStep = [](CSoftware& record) {
        record.BasicInfo.Name = L"Dropped";
        return IDOK;
    };
    PostMessageW(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({setup})), 0);
    Pump();
    ASSERT_EQ(SoftwareList.GetSize(), 7);
    CSoftware* dropped = SoftwareList[6];
    EXPECT_EQ(dropped->BasicInfo.Name, L"Dropped");
    EXPECT_EQ(ReadFileBytes(ImportedPath(*dropped)), "dropped");
    CInstallerInfo stored = Stored(*dropped);
    EXPECT_EQ(stored.InstallerPath, ImportedPath(*dropped));
    EXPECT_EQ(stored.OriginalPath, setup);
    EXPECT_EQ(Window->ItemInfo().Record(), dropped);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(InstallerCommandTests, AVanishedDataFolderIsNeverMadeAgainByAddOrAttach)
{
    Open(SixRecords());
    std::wstring setup = WriteSourceFile(L"alpha-setup.exe", "MZ setup");
    // The folder is removed from outside while the program runs.
    DeleteFolderTree(Data);
    ASSERT_FALSE(FileExistsAt(Data));
    const std::wstring missing = DataFolderMissingText(Data);

    AddDialogStep = [](CSoftware& record) {
        record.BasicInfo.Name = L"Nowhere";
        return IDOK;
    };
    ClickToolbarButton(IDC_TOOL_ADD);
    EXPECT_EQ(SoftwareList.GetSize(), 6) << "a record that could not be stored is not added";
    EXPECT_EQ(Boxes.Texts(), Names{missing});

    Shell.OpenAnswer = setup;
    ClickToolbarButton(IDC_TOOL_ATTACH);
    EXPECT_EQ(Find(L"Alpha Edit")->InstallerInfo.InstallerPath, setup) << "the change stays in memory";
    EXPECT_EQ(Boxes.Texts(), (Names{missing, missing}));
    EXPECT_FALSE(FileExistsAt(Data)) << "nothing made the folder again";
}
