#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/InstallerDetailsDlg.h"
#include "app/VaultCommands.h"
#include "installer/FileFacts.h"
#include "installer/VaultProgressDlg.h"
#include "model/Catalogue.h"
#include "model/InstallerFacts.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Texts = std::vector<std::wstring>;

std::wstring ShaOf(const std::string& bytes)
{
    CSha256 hash;
    hash.Update(bytes.data(), static_cast<ULONG>(bytes.size()));
    return hash.Finish();
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// Acts on the first dialog of this thread that holds the control, once it shows, from inside that
// dialog's modal loop (a thread timer runs there). Each actor acts once.
class CDialogActor {
public:
    CDialogActor(int controlId, std::function<void(HWND dialog)> action)
        : m_controlId(controlId), m_action(std::move(action))
    {
        Actors().push_back(this);
        if (Actors().size() == 1)
            s_timer = SetTimer(nullptr, 0, 10, OnTimer);
    }
    ~CDialogActor()
    {
        auto& actors = Actors();
        actors.erase(std::find(actors.begin(), actors.end(), this));
        if (actors.empty() && s_timer) {
            KillTimer(nullptr, s_timer);
            s_timer = 0;
        }
    }
    CDialogActor(const CDialogActor&) = delete;
    CDialogActor& operator=(const CDialogActor&) = delete;
    bool Acted() const { return m_acted; }

private:
    static std::vector<CDialogActor*>& Actors()
    {
        static std::vector<CDialogActor*> actors;
        return actors;
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM parameter)
    {
        auto* actor = reinterpret_cast<CDialogActor*>(parameter);
        if (!actor->m_acted && IsWindowVisible(window) && GetDlgItem(window, actor->m_controlId)) {
            actor->m_acted = true;
            actor->m_action(window);
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        const std::vector<CDialogActor*> actors = Actors();
        for (CDialogActor* actor : actors)
            EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(actor));
    }

    int m_controlId;
    std::function<void(HWND)> m_action;
    bool m_acted = false;
    static UINT_PTR s_timer;
};
UINT_PTR CDialogActor::s_timer = 0;

struct CStartHookScope {
    explicit CStartHookScope(CVaultProgressDlg::StartHook hook) : Previous(CVaultProgressDlg::SetStartHook(hook)) {}
    ~CStartHookScope() { CVaultProgressDlg::SetStartHook(Previous); }
    CVaultProgressDlg::StartHook Previous;
};

struct Row {
    std::wstring Name;
    std::wstring Result;
    std::wstring Path;
    friend bool operator==(const Row& a, const Row& b)
    {
        return a.Name == b.Name && a.Result == b.Result && a.Path == b.Path;
    }
    friend std::ostream& operator<<(std::ostream& out, const Row& row)
    {
        return out << testing::PrintToString(row.Name) << " " << testing::PrintToString(row.Result) << " "
                   << testing::PrintToString(row.Path);
    }
};

std::vector<Row> ResultRows(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_VERIFY_LIST);
    std::vector<Row> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        wchar_t cells[3][512] = {};
        for (int column = 0; column < 3; ++column)
            ListView_GetItemText(list, i, column, cells[column], 512);
        rows.push_back({cells[0], cells[1], cells[2]});
    }
    return rows;
}

class VaultCommandTests : public CMainWindowTest {
protected:
    // Attaches through the command, as a user does, with the attach mode given.
    void Attach(const std::wstring& name, const std::wstring& path, int32_t mode = 0)
    {
        Settings.AttachMode = mode;
        SelectRecord(name);
        Shell.OpenAnswer = path;
        PostFromToolbar(CMD_ATTACH);
    }
    void SelectRecord(const std::wstring& name)
    {
        Select({SoftwareList.Find(Find(name))});
    }
    CExtraInfo Stored(const CSoftware& record) const
    {
        CSoftware loaded;
        loaded.Id = record.Id;
        EXPECT_TRUE(LoadSoftwareFile(loaded, MetaDataPath(record)));
        return loaded.ExtraInfo;
    }
};
}  // namespace

TEST_F(VaultCommandTests, AttachRecordsTheFactsAndDetachForgetsThem)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"setup.exe", "abc");
    Attach(L"Beta Paint", setup);
    CSoftware& record = *Find(L"Beta Paint");
    const CExtraInfo& extra = record.ExtraInfo;
    EXPECT_EQ(extra.InstallerSize, L"3");
    EXPECT_EQ(extra.InstallerSha256, L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(extra.InstallerTrust, L"Unsigned");
    EXPECT_EQ(extra.InstallerSigner, L"");
    EXPECT_TRUE(IsTimestampText(extra.InstallerAttached));
    EXPECT_EQ(Stored(record), extra);
    EXPECT_NE(ReadFileBytes(MetaDataPath(record)).find("<InstallerSha256>"), std::string::npos);

    Boxes.Answer(IDYES);
    PostFromToolbar(CMD_DETACH);
    EXPECT_TRUE(record.ExtraInfo.IsEmpty());
    // Without facts the record is written exactly as before the vault.
    EXPECT_EQ(ReadFileBytes(MetaDataPath(record)).find("ExtraInfo"), std::string::npos);
}

TEST_F(VaultCommandTests, ADroppedFileIsMeasuredByEitherMode)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"dropped.exe", "abc");
    int added = 0;
    AddDialogStep = [&added](CSoftware& record) {
        record.BasicInfo.Name = L"Dropped " + std::to_wstring(++added);
        return IDOK;
    };
    for (int32_t mode : {0, 1}) {
        Settings.AttachMode = mode;
        PostMessageW(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({setup})), 0);
        Pump();
    }
    for (const wchar_t* name : {L"Dropped 1", L"Dropped 2"}) {
        CSoftware* record = Find(name);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->ExtraInfo.InstallerSha256, L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(Stored(*record), record->ExtraInfo);
    }
    EXPECT_EQ(Find(L"Dropped 2")->InstallerInfo.AttachMode, 1);
}

TEST_F(VaultCommandTests, LaunchOfAChangedFileSaysWhatChangedAndGoesOnOnlyOnYes)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"setup.exe", "original installer bytes");
    Attach(L"Alpha Edit", setup);
    CSoftware& record = *Find(L"Alpha Edit");
    ASSERT_TRUE(HasInstallerFacts(record.ExtraInfo));

    // Intact: launched without a word.
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_TRUE(Boxes.Shown().empty());
    ASSERT_EQ(Shell.Opens.size(), 1u);

    // Same size, other bytes.
    ASSERT_TRUE(WriteFileBytes(setup, "ORIGINAL INSTALLER BYTES"));
    const Texts question = {
        L"Alpha Edit(1.0)'s installer has changed since it was attached:\n\n"
        L"Content: its SHA-256 differs from the one recorded.\n"
        L"\nWould you like to continue ?"};
    Boxes.Answer(IDNO);
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_EQ(Boxes.Texts(), question);
    EXPECT_EQ(Boxes.Shown().back().Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Shell.Opens.size(), 1u);
    EXPECT_EQ(record.ExtraInfo.InstallerCheck, L"Changed");
    EXPECT_TRUE(LastCheckFailed(Stored(record)));

    Boxes.Answer(IDYES);
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_EQ(Shell.Opens.size(), 2u);
    // The recorded facts stay those of the attach: the file is still not what was attached.
    EXPECT_EQ(record.ExtraInfo.InstallerSha256, ShaOf("original installer bytes"));
}

TEST_F(VaultCommandTests, ExportOfAResizedImportNamesSizeAndContentAndNoStopsIt)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"tool.msi", std::string(1000, 'x'));
    Attach(L"Gamma Zip", setup, 1);
    CSoftware& record = *Find(L"Gamma Zip");
    ASSERT_EQ(record.InstallerInfo.AttachMode, 1);
    ASSERT_EQ(record.ExtraInfo.InstallerSize, L"1000");
    ASSERT_TRUE(WriteFileBytes(ImportedPath(record), std::string(1234, 'x')));
    const std::wstring out = Root / L"Out\\";
    ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
    Shell.FolderAnswer = out;

    Boxes.Answer(IDNO);
    PostFromToolbar(CMD_EXPORT);
    EXPECT_EQ(Boxes.Texts(), Texts({L"Gamma Zip(3.0)'s installer has changed since it was attached:\n\n"
                                    L"Size: 1,234 bytes now, 1,000 bytes when attached.\n"
                                    L"Content: its SHA-256 differs from the one recorded.\n"
                                    L"\nWould you like to continue ?"}));
    EXPECT_FALSE(FileExistsAt(out + L"tool.msi"));

    Boxes.Answer(IDYES);
    PostFromToolbar(CMD_EXPORT);
    EXPECT_EQ(ReadFileBytes(out + L"tool.msi"), std::string(1234, 'x'));
}

TEST_F(VaultCommandTests, AMissingFileKeepsTheLaunchText)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"gone.exe", "soon gone");
    Attach(L"Delta Net", setup);
    ASSERT_TRUE(DeleteFileW(setup.c_str()));
    PostFromToolbar(CMD_LAUNCH);
    EXPECT_EQ(Boxes.Texts(), Texts({L"The installer file dosen't exist, please check it."}));
    EXPECT_TRUE(Shell.Opens.empty());
}

TEST_F(VaultCommandTests, VerifyListsEveryInstallerAndFindsTheMovedOne)
{
    Open(SixRecords());
    const std::wstring intact = WriteSourceFile(L"alpha.exe", "alpha bytes");
    const std::wstring changed = WriteSourceFile(L"beta.exe", "beta bytes");
    const std::wstring moved = WriteSourceFile(L"delta.exe", "delta bytes");
    const std::wstring locked = WriteSourceFile(L"gamma.exe", "gamma bytes");
    const std::wstring old = WriteSourceFile(L"zeta.exe", "zeta bytes");
    Attach(L"Alpha Edit", intact);
    Attach(L"Beta Paint", changed);
    Attach(L"Delta Net", moved);
    Attach(L"Gamma Zip", locked);
    // Attached by a build from before the vault: no facts yet.
    CSoftware& zeta = *Find(L"Zeta Sync");
    zeta.InstallerInfo.InstallerPath = zeta.InstallerInfo.OriginalPath = old;
    ASSERT_TRUE(SaveSoftwareFile(zeta, Data));
    ASSERT_TRUE(Boxes.Shown().empty());

    ASSERT_TRUE(WriteFileBytes(changed, "BETA BYTES"));
    // A decoy of the same size elsewhere is read and rejected by its hash.
    const std::wstring search = Root / L"Elsewhere\\";
    ASSERT_TRUE(CreateDirectoryW(search.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((search + L"deep").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(search + L"decoy.exe", "DELTA BYTES"));
    const std::wstring found = search + L"deep\\delta (moved).exe";
    ASSERT_TRUE(MoveFileW(moved.c_str(), found.c_str()));
    HANDLE held = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    std::wstring summary;
    std::wstring summaryAfter;
    std::vector<Row> rows;
    std::vector<Row> rowsAfter;
    Shell.FolderAnswer = search;
    Boxes.Answer(IDYES);  // relink
    std::wstring detailsOf;
    CDialogActor details(IDC_DETAILS_VERIFY, [&](HWND dialog) {
        detailsOf = WindowText(GetDlgItem(dialog, IDC_DETAILS_FIRST_VALUE + 10));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    CDialogActor result(IDC_VERIFY_LIST, [&](HWND dialog) {
        summary = WindowText(GetDlgItem(dialog, IDC_VERIFY_SUMMARY));
        rows = ResultRows(dialog);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_VERIFY_FIND_MOVED)));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_VERIFY_FIND_MOVED, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_VERIFY_FIND_MOVED)));
        summaryAfter = WindowText(GetDlgItem(dialog, IDC_VERIFY_SUMMARY));
        rowsAfter = ResultRows(dialog);
        // A double-click on a row opens its details.
        HWND list = GetDlgItem(dialog, IDC_VERIFY_LIST);
        ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
        NMITEMACTIVATE click{};
        click.hdr = {list, IDC_VERIFY_LIST, static_cast<UINT>(NM_DBLCLK)};
        click.iItem = 2;
        SendMessageW(dialog, WM_NOTIFY, IDC_VERIFY_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_VERIFY_FIND_MOVED)));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    // As the menu of further commands sends it.
    SendMessageW(Main(), WM_COMMAND, ID_VAULT_VERIFY, 0);
    Pump();
    CloseHandle(held);
    ASSERT_TRUE(result.Acted());

    EXPECT_EQ(summary, L"5 installers checked: 2 intact, 1 changed, 1 missing, 1 unreadable.");
    EXPECT_EQ(rows, std::vector<Row>({{L"Beta Paint(2.1)", L"Changed", changed},
                                      {L"Delta Net(0.9)", L"Missing", moved},
                                      {L"Gamma Zip(3.0)", L"Unreadable", locked},
                                      {L"Alpha Edit(1.0)", L"Intact", intact},
                                      {L"Zeta Sync(1.4)", L"Intact", old}}));
    EXPECT_EQ(summaryAfter, L"5 installers checked: 3 intact, 1 changed, 0 missing, 1 unreadable.");
    EXPECT_EQ(detailsOf.substr(0, 12), L"Unreadable, ");
    EXPECT_EQ(rowsAfter[1], (Row{L"Delta Net(0.9)", L"Intact", found}));
    EXPECT_EQ(Shell.FolderTitles, Texts({SearchFolderTitle}));
    EXPECT_EQ(Boxes.Texts(), Texts({L"Delta Net(0.9)'s installer was found at:\n" + found +
                                    L"\n\nWould you like to relink it ?"}));

    // Every result is stored; the relink changed the path and not the facts.
    CSoftware& delta = *Find(L"Delta Net");
    EXPECT_EQ(delta.InstallerInfo.InstallerPath, found);
    EXPECT_EQ(delta.ExtraInfo.InstallerSha256, ShaOf("delta bytes"));
    EXPECT_EQ(Stored(delta).InstallerCheck, L"Intact");
    EXPECT_EQ(Stored(*Find(L"Beta Paint")).InstallerCheck, L"Changed");
    EXPECT_EQ(Stored(*Find(L"Gamma Zip")).InstallerCheck, L"Unreadable");
    EXPECT_TRUE(LastCheckFailed(Find(L"Gamma Zip")->ExtraInfo));
    EXPECT_FALSE(LastCheckFailed(Find(L"Alpha Edit")->ExtraInfo));
    // The installer from before the vault has its facts now.
    EXPECT_EQ(Stored(zeta).InstallerSha256, ShaOf("zeta bytes"));
    EXPECT_EQ(Stored(zeta).InstallerAttached, L"");
    EXPECT_TRUE(IsTimestampText(Stored(zeta).InstallerChecked));
    EXPECT_TRUE(Find(L"Epsilon CAD")->ExtraInfo.IsEmpty());
}

TEST_F(VaultCommandTests, CancelledVerifyStoresNothingAndShowsNoResult)
{
    Open(SixRecords());
    // Large enough that the worker cannot finish before the cancel is taken.
    const std::wstring big = WriteSourceFile(L"big.exe", std::string(64u << 20, 'b'));
    Attach(L"Alpha Edit", big);
    ASSERT_TRUE(HasInstallerFacts(Find(L"Alpha Edit")->ExtraInfo));
    const std::string before = ReadFileBytes(MetaDataPath(*Find(L"Alpha Edit")));

    CDialogActor result(IDC_VERIFY_LIST, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    CStartHookScope hook([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    // Ctrl+Shift+V in the list.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(Window->ListPane().CurrentList()->GetSafeHwnd(), WM_KEYDOWN, 'V', 0);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    Pump();

    EXPECT_FALSE(result.Acted());
    EXPECT_EQ(Find(L"Alpha Edit")->ExtraInfo.InstallerCheck, L"");
    EXPECT_EQ(ReadFileBytes(MetaDataPath(*Find(L"Alpha Edit"))), before);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(VaultCommandTests, VerifyWithoutInstallersAndFindWithNoneMissingSaySo)
{
    Open(SixRecords());
    SendMessageW(Main(), WM_COMMAND, ID_VAULT_VERIFY, 0);
    SendMessageW(Main(), WM_COMMAND, ID_VAULT_FIND_MOVED, 0);
    Pump();
    EXPECT_EQ(Boxes.Texts(), Texts({NoInstallersToVerifyText, NoneMissingText}));
    EXPECT_TRUE(Shell.FolderTitles.empty());
}

TEST_F(VaultCommandTests, ACancelledSearchRelinksNothing)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"moving.exe", "moving bytes");
    Attach(L"Alpha Edit", setup);
    const std::wstring search = Root / L"Search\\";
    ASSERT_TRUE(CreateDirectoryW(search.c_str(), nullptr));
    ASSERT_TRUE(MoveFileW(setup.c_str(), (search + L"moving.exe").c_str()));
    Shell.FolderAnswer = search;
    std::wstring title;
    {
        CStartHookScope hook([&title](HWND dialog) {
            title = WindowText(dialog);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        SendMessageW(Main(), WM_COMMAND, ID_VAULT_FIND_MOVED, 0);
        Pump();
    }
    EXPECT_EQ(title, L"Find moved installers");
    EXPECT_EQ(Shell.FolderTitles, Texts({SearchFolderTitle}));
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_EQ(Find(L"Alpha Edit")->InstallerInfo.InstallerPath, setup);

    // Not cancelled, the same search finds it.
    Boxes.Answer(IDYES);
    SendMessageW(Main(), WM_COMMAND, ID_VAULT_FIND_MOVED, 0);
    Pump();
    EXPECT_EQ(Find(L"Alpha Edit")->InstallerInfo.InstallerPath, search + L"moving.exe");
}

TEST_F(VaultCommandTests, DetailsShowEveryFactAndVerifyNowRecordsTheCheck)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"setup.exe", "details bytes");
    Attach(L"Beta Paint", setup);
    CSoftware& record = *Find(L"Beta Paint");

    std::vector<std::wstring> values;
    std::wstring lastCheck;
    std::wstring selected;
    CDialogActor details(IDC_DETAILS_VERIFY, [&](HWND dialog) {
        for (int row = 0; row < CInstallerDetailsDlg::RowCount; ++row)
            values.push_back(WindowText(GetDlgItem(dialog, IDC_DETAILS_FIRST_VALUE + row)));
        // The hash is in an edit: it can be selected whole (and so copied).
        HWND hash = GetDlgItem(dialog, IDC_DETAILS_FIRST_VALUE + 4);
        SendMessageW(hash, EM_SETSEL, 0, -1);
        DWORD start = 0, end = 0;
        SendMessageW(hash, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        selected = WindowText(hash).substr(start, end - start);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DETAILS_VERIFY, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_DETAILS_VERIFY)));
        lastCheck = WindowText(GetDlgItem(dialog, IDC_DETAILS_FIRST_VALUE + 10));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    // From the list's context menu.
    SendMessageW(ListPaneWindow(), WM_COMMAND, ID_VAULT_DETAILS, 0);
    Pump();
    ASSERT_TRUE(details.Acted());

    ASSERT_EQ(values.size(), 11u);
    std::wstring attached = record.ExtraInfo.InstallerAttached;
    attached[10] = L' ';
    EXPECT_EQ(values, Texts({L"Beta Paint(2.1)", setup, L"Reference to the file where you keep it", L"13 bytes",
                             ShaOf("details bytes"), L"None", L"None", L"None", L"Unsigned", attached, L"Never"}));
    EXPECT_EQ(selected, ShaOf("details bytes"));
    EXPECT_EQ(lastCheck.substr(0, 8), L"Intact, ");
    EXPECT_EQ(Stored(record).InstallerCheck, L"Intact");
}

TEST_F(VaultCommandTests, DetailsActOnOneRecordWithAnInstaller)
{
    Open(SixRecords());
    Select({0, 1});
    PostFromListPane(CMD_INSTALLER_DETAILS);
    Select({0});
    PostFromListPane(CMD_INSTALLER_DETAILS);
    EXPECT_EQ(Boxes.Texts(), Texts({OneDetailsOnlyText, L"The selected software havn't attached an installer yet."}));
}

TEST_F(VaultCommandTests, TheDetailsPaneOpensTheDetailsOfTheRecordItShows)
{
    Open(SixRecords());
    const std::wstring setup = WriteSourceFile(L"setup.exe", "pane bytes");
    Attach(L"Delta Net", setup);
    HWND pane = Window->ItemInfoWindow();
    HWND button = GetDlgItem(pane, IDC_ITEM_INSTALLER);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(IsWindowVisible(button));
    EXPECT_TRUE(IsWindowEnabled(button));

    std::wstring shown;
    CDialogActor details(IDC_DETAILS_VERIFY, [&](HWND dialog) {
        shown = WindowText(GetDlgItem(dialog, IDC_DETAILS_FIRST_VALUE));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_INSTALLER, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    Pump();
    EXPECT_EQ(shown, L"Delta Net(0.9)");

    // Editing hides it, as it hides Modify.
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_MODIFY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(pane, IDC_ITEM_MODIFY)));
    EXPECT_FALSE(IsWindowVisible(button));
    SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_ITEM_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(pane, IDC_ITEM_CANCEL)));
    EXPECT_TRUE(IsWindowVisible(button));
}

// The pictures of the installer details window and the verify result for docs/:
// scripts/vault-shots.sh runs these with QV_SHOT_DIR set to the folder that receives the bitmaps.
namespace {
std::wstring ShotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_SHOT_DIR", folder, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return std::wstring();
    std::wstring path = folder;
    return path.back() == L'\\' ? path : path + L'\\';
}

class VaultShots : public VaultCommandTests {
protected:
    void SetUp() override
    {
        Folder = ShotFolder();
        if (Folder.empty())
            GTEST_SKIP() << "QV_SHOT_DIR is not set";
        VaultCommandTests::SetUp();
    }
    // A copy of this program: an installer with a version resource.
    std::wstring ProgramCopy(const std::wstring& name)
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::wstring path = Root / name;
        EXPECT_TRUE(CopyFileW(self, path.c_str(), FALSE));
        return path;
    }
    std::wstring Folder;
};
}  // namespace

TEST_F(VaultShots, DetailsAndVerifyResult)
{
    Open(SixRecords());
    ASSERT_TRUE(CreateDirectoryW((Root / L"Setups").c_str(), nullptr));
    Attach(L"Alpha Edit", ProgramCopy(L"Setups\\AlphaEdit-1.0-setup.exe"), 1);
    Attach(L"Beta Paint", WriteSourceFile(L"Setups\\BetaPaint_2.1.msi", std::string(734003, 'b')));
    Attach(L"Delta Net", WriteSourceFile(L"Setups\\deltanet-0.9.zip", std::string(220417, 'd')));
    Attach(L"Gamma Zip", WriteSourceFile(L"Setups\\GammaZip300.exe", std::string(1048576, 'g')));
    Attach(L"Zeta Sync", ProgramCopy(L"Setups\\ZetaSyncSetup.exe"));
    ASSERT_TRUE(WriteFileBytes(Root / L"Setups\\BetaPaint_2.1.msi", std::string(734003, 'B')));
    ASSERT_TRUE(DeleteFileW((Root / L"Setups\\deltanet-0.9.zip").c_str()));
    // Large enough to be caught at work.
    Attach(L"Epsilon CAD", WriteSourceFile(L"Setups\\EpsilonCAD-5.2-full.exe", std::string(192u << 20, 'e')));

    CDialogActor progress(IDC_VAULT_STATUS, [&](HWND dialog) {
        SetWindowPos(dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // Until the bar has moved a tenth of the way, for at most ten seconds.
        bool moved = false;
        for (const DWORD start = GetTickCount(); !moved && GetTickCount() - start < 10000;) {
            MSG message;
            while (PeekMessageW(&message, dialog, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            moved = SendDlgItemMessageW(dialog, IDC_VAULT_PROGRESS, PBM_GETPOS, 0, 0) > 100;
            if (!moved)
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        EXPECT_TRUE(moved);
        EXPECT_TRUE(SaveWindowBitmap(dialog, Folder + L"verify-progress.bmp"));
    });
    CDialogActor result(IDC_VERIFY_LIST, [&](HWND dialog) {
        SetWindowPos(dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_TRUE(SaveWindowBitmap(dialog, Folder + L"verify.bmp"));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(Main(), WM_COMMAND, ID_VAULT_VERIFY, 0);
    Pump();
    ASSERT_TRUE(result.Acted());
    EXPECT_TRUE(progress.Acted());

    SelectRecord(L"Alpha Edit");
    CDialogActor details(IDC_DETAILS_VERIFY, [&](HWND dialog) {
        SetWindowPos(dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetFocus(GetDlgItem(dialog, IDC_DETAILS_VERIFY));
        EXPECT_TRUE(SaveWindowBitmap(dialog, Folder + L"installer-details.bmp"));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    PostFromListPane(CMD_INSTALLER_DETAILS);
    ASSERT_TRUE(details.Acted());

    // The list with the marks of the failed checks.
    SelectRecord(L"Alpha Edit");
    EXPECT_TRUE(SaveWindowBitmap(ListPaneWindow(), Folder + L"verify-marks.bmp"));
}

TEST_F(VaultCommandTests, AnUnchangedResultIsNotRewrittenAndASearchMayFindNothing)
{
    Open(SixRecords());
    const std::wstring alphaFile = WriteSourceFile(L"a.exe", "aaa");
    const std::wstring betaFile = WriteSourceFile(L"b.exe", "bbb");
    Attach(L"Alpha Edit", alphaFile);
    Attach(L"Beta Paint", betaFile);
    CSoftware& alpha = *Find(L"Alpha Edit");
    CSoftware& beta = *Find(L"Beta Paint");
    auto close = [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); };
    {
        CDialogActor first(IDC_VERIFY_LIST, close);
        PostFromListPane(CMD_VERIFY_INSTALLERS);
        ASSERT_TRUE(first.Acted());
    }
    const std::string alphaStored = ReadFileBytes(MetaDataPath(alpha));
    ASSERT_EQ(Stored(alpha).InstallerCheck, L"Intact");

    ASSERT_TRUE(DeleteFileW(betaFile.c_str()));
    const std::wstring empty = Root / L"Empty\\";
    ASSERT_TRUE(CreateDirectoryW(empty.c_str(), nullptr));
    Shell.FolderAnswer = empty;
    CDialogActor second(IDC_VERIFY_LIST, [](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_VERIFY_FIND_MOVED, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_VERIFY_FIND_MOVED)));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    PostFromListPane(CMD_VERIFY_INSTALLERS);
    ASSERT_TRUE(second.Acted());

    EXPECT_EQ(ReadFileBytes(MetaDataPath(alpha)), alphaStored);
    EXPECT_EQ(Stored(beta).InstallerCheck, L"Missing");
    EXPECT_EQ(beta.InstallerInfo.InstallerPath, betaFile);
    EXPECT_EQ(Boxes.Texts(), Texts({NothingFoundText}));
}
