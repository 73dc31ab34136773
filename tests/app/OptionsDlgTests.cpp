#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/OptionsDlg.h"
#include "app/QVNApp.h"
#include "framework/ShellDialogs.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/FileAccess.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/CatalogueReload.h"
#include "storage/Settings.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/support/MessageBoxScript.h"

namespace {
constexpr UINT WarningOk = MB_OK | MB_ICONWARNING;
constexpr UINT WarningYesNo = MB_YESNO | MB_ICONWARNING;
const wchar_t SettingsOpenFailedText[] =
    L"Sorry! The configuration file is unable to be opened, please restart the computer and try again.";

// The dialog with its info tip in reach.
class CProbeOptionsDlg : public COptionsDlg {
public:
    CProbeOptionsDlg() : COptionsDlg(nullptr) {}
    CInfoTipDlg& Tip() { return m_infoTip; }
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Records what the folder picker was asked and gives the scripted answer.
class CPickerScript {
public:
    CPickerScript()
    {
        m_previous = SetFolderPicker([this](HWND owner, const std::wstring& title, std::wstring& path) {
            Owners.push_back(owner);
            Titles.push_back(title);
            if (Answers.empty())
                return false;
            std::wstring answer = Answers.front();
            Answers.erase(Answers.begin());
            if (answer.empty())
                return false;
            path = answer;
            return true;
        });
    }
    ~CPickerScript() { SetFolderPicker(m_previous); }

    std::vector<std::wstring> Answers;  // an empty answer is a cancelled picker
    std::vector<HWND> Owners;
    std::vector<std::wstring> Titles;

private:
    FolderPicker m_previous;
};

class OptionsDlgTests : public CDialogTest {
protected:
    INT_PTR Run(CModalScript& script) { return script.Run([this] { return Dialog.DoModal(); }); }
    CModalScript Script() { return CModalScript([this] { return Dialog.GetSafeHwnd(); }); }
    HWND Window() const { return Dialog.GetSafeHwnd(); }
    // A folder off the Windows drive: Wine's Z: drive is the system's root.
    std::wstring OtherDriveFolder(const std::wstring& name)
    {
        if (!PathExists(L"Z:\\tmp\\", true))
            return std::wstring();
        wchar_t unique[32] = {};
        wsprintfW(unique, L"qv-%lu-", GetCurrentProcessId());
        std::wstring folder = L"Z:\\tmp\\" + std::wstring(unique) + name;
        CreateDirectoryW(folder.c_str(), nullptr);
        m_otherDrive.push_back(folder);
        return PathExists(folder, true) ? folder : std::wstring();
    }
    void TearDown() override
    {
        for (const std::wstring& folder : m_otherDrive)
            DeleteFolderTree(folder + L"\\");
        CDialogTest::TearDown();
    }

    CMessageBoxScript Boxes;
    CProbeOptionsDlg Dialog;

private:
    std::vector<std::wstring> m_otherDrive;
};
}  // namespace

TEST_F(OptionsDlgTests, OpensWithItsListsLayoutAndTheSettingsInForce)
{
    Settings.AttachMode = 0;
    Settings.DefaultClassifyMode = 2;
    Settings.DefaultSortKey = 4;
    Settings.DataFolder = Root.Path();
    RECT window{}, box{}, ok{}, cancel{}, browse{}, info{}, clear{}, defaults{};
    std::wstring title, folder;
    std::vector<std::wstring> attach, classify, sort;
    int selections[3] = {};
    CModalScript script = Script();
    script.Do([&] {
        HWND dialog = Window();
        title = TextOf(dialog);
        window = WindowRectOf(dialog);
        box = ControlRect(dialog, IDC_OPTIONS_DATA_FOLDER);
        ok = ControlRect(dialog, IDOK);
        cancel = ControlRect(dialog, IDCANCEL);
        browse = ControlRect(dialog, IDC_OPTIONS_BROWSE);
        info = ControlRect(dialog, IDC_OPTIONS_INFORMATION);
        clear = ControlRect(dialog, IDC_OPTIONS_CLEAR_HISTORY);
        defaults = ControlRect(dialog, IDC_OPTIONS_DEFAULTS_GROUP);
        attach = ListEntries(dialog, IDC_OPTIONS_ATTACH_MODE);
        classify = ListEntries(dialog, IDC_OPTIONS_CLASSIFY_MODE);
        sort = ListEntries(dialog, IDC_OPTIONS_SORT_KEY);
        selections[0] = ListSelection(dialog, IDC_OPTIONS_ATTACH_MODE);
        selections[1] = ListSelection(dialog, IDC_OPTIONS_CLASSIFY_MODE);
        selections[2] = ListSelection(dialog, IDC_OPTIONS_SORT_KEY);
        folder = TextOf(dialog, IDC_OPTIONS_DATA_FOLDER);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);

    EXPECT_EQ(title, L"Options");
    EXPECT_EQ(window.right - window.left, 306);
    EXPECT_EQ(window.bottom - window.top, 310);
    // The content starts below the short title bar, inside the 3-pixel border: L 3, T 22, R 303.
    EXPECT_EQ(box, (RECT{23, 107, 233, 127}));
    EXPECT_EQ(browse, (RECT{238, 107, 283, 127}));
    EXPECT_EQ(info, (RECT{138, 87, 158, 107}));
    // The "Defaults" group holds the reminder row below Sort by; the buttons moved down with it.
    EXPECT_EQ(clear, (RECT{13, 277, 113, 297}));
    EXPECT_EQ(ok, (RECT{143, 277, 213, 297}));
    EXPECT_EQ(cancel, (RECT{223, 277, 293, 297}));
    EXPECT_EQ(defaults, (RECT{13, 147, 293, 267}));
    EXPECT_EQ(attach, (std::vector<std::wstring>{L"Reference", L"Import (Recommend)"}));
    EXPECT_EQ(classify, (std::vector<std::wstring>{L"Category", L"Company", L"Type"}));
    EXPECT_EQ(sort, (std::vector<std::wstring>{L"None", L"Name", L"Price", L"User-Name", L"User-Email", L"Expiry"}));
    EXPECT_EQ(selections[0], 0);
    EXPECT_EQ(selections[1], 2);
    EXPECT_EQ(selections[2], 4);
    EXPECT_EQ(folder, Root.Path());
    EXPECT_EQ(Dialog.Tip().TipWidth(), 250);
    EXPECT_EQ(Dialog.Tip().TipHeight(), 160);
    EXPECT_EQ(Dialog.Tip().Title(), L"Data Folder");
    EXPECT_EQ(Dialog.Tip().Body(),
              L"The data-folder is used to store all your softwares' informations, including the imported "
              L"installers. For security purposes, we strongly recommend you to create this folder in the "
              L"non-system partition. Therefore you can restore your data and informations easily after "
              L"reinstalling the operating-system.");
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_FALSE(PathExists(SettingsPath, false));
}

TEST_F(OptionsDlgTests, ValuesOutsideTheListsShowAndStoreTheDefaults)
{
    const std::wstring data = OtherDriveFolder(L"data");
    if (data.empty())
        GTEST_SKIP() << "no drive besides the Windows one";
    Settings.AttachMode = 7;
    Settings.DefaultClassifyMode = 9;
    Settings.DefaultSortKey = -3;
    Settings.ShowAttachModeSelectDlg = 0;
    Settings.DataFolder = data + L"\\";
    int selections[3] = {};
    CModalScript script = Script();
    script.Do([&] {
        selections[0] = ListSelection(Window(), IDC_OPTIONS_ATTACH_MODE);
        selections[1] = ListSelection(Window(), IDC_OPTIONS_CLASSIFY_MODE);
        selections[2] = ListSelection(Window(), IDC_OPTIONS_SORT_KEY);
        Click(Window(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(selections[0], 1);
    EXPECT_EQ(selections[1], 0);
    EXPECT_EQ(selections[2], 1);
    EXPECT_TRUE(Boxes.Shown().empty());
    // ShowAttachModeSelectDlg is not the dialog's to change.
    EXPECT_EQ(ReadFileBytes(SettingsPath), SettingsBytes(1, Narrow(data) + "\\", 0, 0, 1));
    EXPECT_FALSE(Dialog.DataFolderChanged());
}

TEST_F(OptionsDlgTests, TheReminderWindowIsChosenInDefaultsAndWrittenOnlyWhenNotTheDefault)
{
    const std::wstring data = OtherDriveFolder(L"remind");
    if (data.empty())
        GTEST_SKIP() << "no drive besides the Windows one";
    Settings.DataFolder = data + L"\\";
    Settings.ReminderDays = 45;  // none of the choices: shown among them in its place
    std::vector<std::wstring> entries;
    int selected = -1;
    std::wstring label;
    RECT row{};
    CModalScript script = Script();
    script.Do([&] {
        entries = ListEntries(Window(), IDC_OPTIONS_REMIND_DAYS);
        selected = ListSelection(Window(), IDC_OPTIONS_REMIND_DAYS);
        label = TextOf(GetDlgItem(Window(), IDC_OPTIONS_REMIND_LABEL));
        row = ControlRect(Window(), IDC_OPTIONS_REMIND_LABEL);
        SendMessageW(GetDlgItem(Window(), IDC_OPTIONS_REMIND_DAYS), CB_SETCURSEL, 2, 0);
        Click(Window(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"On the day", L"7 days before", L"14 days before",
                                                  L"30 days before", L"45 days before", L"60 days before",
                                                  L"90 days before"}));
    EXPECT_EQ(selected, 4);
    EXPECT_EQ(label, L"Remind");
    EXPECT_EQ(row, (RECT{23, 237, 103, 257}));
    EXPECT_EQ(Settings.ReminderDays, 14);
    std::string expected = SettingsBytes(1, Narrow(data) + "\\", 1, 0, 1);
    expected.insert(expected.find("</Configurations>"), "<ReminderDays>\n14</ReminderDays>\n");
    EXPECT_EQ(ReadFileBytes(SettingsPath), expected);

    // Back to the default: the file is the thirteen lines again.
    CProbeOptionsDlg second;
    CModalScript again([&] { return second.GetSafeHwnd(); });
    again.Do([&] {
        SendMessageW(GetDlgItem(second.GetSafeHwnd(), IDC_OPTIONS_REMIND_DAYS), CB_SETCURSEL, 3, 0);
        Click(second.GetSafeHwnd(), IDOK);
    });
    EXPECT_EQ(again.Run([&] { return second.DoModal(); }), IDOK);
    EXPECT_EQ(Settings.ReminderDays, 30);
    EXPECT_EQ(ReadFileBytes(SettingsPath), SettingsBytes(1, Narrow(data) + "\\", 1, 0, 1));
}

TEST_F(OptionsDlgTests, FirstStartRefusesAnEmptyFolderThenStoresThePickedOne)
{
    CPickerScript picker;
    const std::wstring data = Root / L"Catalogue";
    ASSERT_TRUE(CreateDirectoryW(data.c_str(), nullptr));
    ASSERT_TRUE(IsOnSystemPartition(data)) << "the temporary folder is on the Windows drive under Wine";
    picker.Answers = {data};
    Boxes.Answer(IDOK);
    Boxes.Answer(IDYES);  // change the folder? yes: back to the box
    Boxes.Answer(IDNO);   // asked again: no, keep it
    HWND dialog = nullptr;
    int focusAfterRefusal = 0, focusAfterYes = 0;
    std::wstring shown;
    CModalScript script = Script();
    script
        .Do([&] {
            dialog = Window();
            SelectEntry(Window(), IDC_OPTIONS_ATTACH_MODE, 0);
            SelectEntry(Window(), IDC_OPTIONS_CLASSIFY_MODE, 1);
            SelectEntry(Window(), IDC_OPTIONS_SORT_KEY, 3);
            Click(Window(), IDOK);
            focusAfterRefusal = GetDlgCtrlID(GetFocus());
        })
        .Do([&] {
            Click(Window(), IDC_OPTIONS_BROWSE);
            shown = TextOf(Window(), IDC_OPTIONS_DATA_FOLDER);
            SetFocus(GetDlgItem(Window(), IDOK));
            Click(Window(), IDOK);
            focusAfterYes = GetDlgCtrlID(GetFocus());
        })
        .Do([&] { Click(Window(), IDOK); });
    EXPECT_EQ(Run(script), IDOK);

    const std::wstring stored = data + L"\\";
    EXPECT_EQ(shown, stored);
    ASSERT_EQ(picker.Titles.size(), 1u);
    EXPECT_EQ(picker.Titles[0],
              L"Please select a folder where your data and informations will be saved in. And you must have the "
              L"right to write in that folder.");
    EXPECT_EQ(picker.Owners[0], dialog);
    const std::wstring question =
        L"You have selected a folder in system-partition as your data-folder.\nWe strongly recommend you to create "
        L"this folder in the non-system partition.\n\nDo you want to change the folder ?";
    ASSERT_EQ(Boxes.Texts(), (std::vector<std::wstring>{L"The specified data-folder is not accessable, please check it.",
                                                         question, question}));
    EXPECT_EQ(Boxes.Shown()[0].Type, WarningOk);
    EXPECT_EQ(Boxes.Shown()[1].Type, WarningYesNo);
    EXPECT_EQ(Boxes.Shown()[0].Caption, L"Quorvane");
    EXPECT_EQ(Boxes.Shown()[0].Owner, dialog);
    EXPECT_EQ(focusAfterRefusal, IDC_OPTIONS_DATA_FOLDER);
    EXPECT_EQ(focusAfterYes, IDC_OPTIONS_DATA_FOLDER);
    EXPECT_EQ(ReadFileBytes(SettingsPath), SettingsBytes(0, Narrow(stored), 1, 1, 3));
    EXPECT_EQ(Settings.DataFolder, stored);
    EXPECT_EQ(Settings.AttachMode, 0);
    EXPECT_EQ(Settings.DefaultClassifyMode, 1);
    EXPECT_EQ(Settings.DefaultSortKey, 3);
    // Changed, but silently: there was no catalogue in force to switch from.
    EXPECT_TRUE(Dialog.DataFolderChanged());
}

TEST_F(OptionsDlgTests, TheSystemPartitionIsRecognisedInEitherCaseAndNeverForANetworkPath)
{
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GE(GetSystemWindowsDirectoryW(windows, MAX_PATH), 3u);
    std::wstring lower = windows, upper = windows;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_TRUE(IsOnSystemPartition(lower + L"\\Data\\"));
    EXPECT_TRUE(IsOnSystemPartition(upper + L"\\Data\\"));
    EXPECT_FALSE(IsOnSystemPartition(L"\\\\server\\share\\Data\\"));
    EXPECT_FALSE(IsOnSystemPartition(L"\\\\?\\" + upper + L"\\Data\\"));
    const wchar_t other = windows[0] == L'Z' || windows[0] == L'z' ? L'Y' : L'Z';
    EXPECT_FALSE(IsOnSystemPartition(std::wstring(1, other) + L":\\Data\\"));

    // The dialog asks for a folder typed in the other case, and not for one on another drive.
    std::wstring typed = Root.Path();
    typed[0] = iswupper(typed[0]) ? static_cast<wchar_t>(towlower(typed[0])) : static_cast<wchar_t>(towupper(typed[0]));
    const std::wstring data = OtherDriveFolder(L"other");
    CModalScript script = Script();
    script.Do([&] {
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, typed);
        Click(Window(), IDOK);  // asked, and the scripted No goes on
    });
    EXPECT_EQ(Run(script), IDOK);
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Type, WarningYesNo);
    EXPECT_EQ(Settings.DataFolder, typed);
    if (data.empty())
        GTEST_SKIP() << "no drive besides the Windows one";

    CProbeOptionsDlg again;
    CModalScript second([&] { return again.GetSafeHwnd(); });
    second.Do([&] {
        SetText(again.GetSafeHwnd(), IDC_OPTIONS_DATA_FOLDER, data);
        Click(again.GetSafeHwnd(), IDOK);
    });
    EXPECT_EQ(second.Run([&] { return again.DoModal(); }), IDOK);
    // Only the note that the catalogue switches to the new folder.
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[1].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Settings.DataFolder, data + L"\\");
}

TEST_F(OptionsDlgTests, AFolderOnANetworkShareIsNotAskedAbout)
{
    // Wine serves \\server\share from its prefix's dosdevices\unc folder.
    wchar_t prefix[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH))
        GTEST_SKIP() << "not under Wine";
    wchar_t unique[32] = {};
    wsprintfW(unique, L"qvhost%lu", GetCurrentProcessId());
    std::wstring unc = L"Z:" + std::wstring(prefix) + L"/dosdevices/unc";
    for (wchar_t& c : unc)
        c = c == L'/' ? L'\\' : c;
    CreateDirectoryW(unc.c_str(), nullptr);
    const std::wstring host = unc + L"\\" + unique;
    CreateDirectoryW(host.c_str(), nullptr);
    CreateDirectoryW((host + L"\\share").c_str(), nullptr);
    const std::wstring share = L"\\\\" + std::wstring(unique) + L"\\share\\";
    const bool reachable = PathExists(share, true);
    if (!reachable) {
        DeleteFolderTree(host + L"\\");
        GTEST_SKIP() << "this Wine does not serve shares from dosdevices";
    }
    CModalScript script = Script();
    script.Do([&] {
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, share);
        Click(Window(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_TRUE(Boxes.Shown().empty());
    EXPECT_EQ(Settings.DataFolder, share);
    DeleteFolderTree(host + L"\\");
}

TEST_F(OptionsDlgTests, BrowsingKeepsOneBackslashAndIgnoresWhatIsNotAFolder)
{
    CPickerScript picker;
    const std::wstring root = std::wstring(Root.Path().substr(0, 3));  // "C:\"
    picker.Answers = {root, L"", Root / L"missing", Root / L"file.txt"};
    ASSERT_TRUE(WriteFileBytes(Root / L"file.txt", "x"));
    Settings.DataFolder = L"D:\\Before\\";
    std::vector<std::wstring> shown;
    CModalScript script = Script();
    script.Do([&] {
        for (int pick = 0; pick < 4; ++pick) {
            Click(Window(), IDC_OPTIONS_BROWSE);
            shown.push_back(TextOf(Window(), IDC_OPTIONS_DATA_FOLDER));
        }
        Click(Window(), IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(shown, (std::vector<std::wstring>{root, root, root, root}));
    EXPECT_EQ(root.size(), 3u);
    // Cancel stores nothing.
    EXPECT_EQ(Settings.DataFolder, L"D:\\Before\\");
    EXPECT_FALSE(PathExists(SettingsPath, false));
}

TEST_F(OptionsDlgTests, UnsoundFoldersAreRefused)
{
    // A relative folder would move with the current folder; a long one leaves no room for the
    // names of the files inside it.
    std::wstring longFolder = Root.Path();
    while (longFolder.size() < MaxDataFolderLength + 1)
        longFolder += L'x';
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(Root.Path().c_str());
    ASSERT_TRUE(CreateDirectoryW((Root / L"relative").c_str(), nullptr));
    CModalScript script = Script();
    script.Do([&] {
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, L"relative");
        Click(Window(), IDOK);
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, L"\\relative");
        Click(Window(), IDOK);
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, longFolder);
        Click(Window(), IDOK);
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, L"   ");
        Click(Window(), IDOK);
        Click(Window(), IDCANCEL);
    });
    EXPECT_EQ(Run(script), IDCANCEL);
    SetCurrentDirectoryW(current);
    const std::wstring refused = L"The specified data-folder is not accessable, please check it.";
    EXPECT_EQ(Boxes.Texts(),
              (std::vector<std::wstring>{
                  refused, refused,
                  L"The path of the specified data-folder is too long, please choose a folder with a shorter path.",
                  refused}));
    for (const ShownMessageBox& box : Boxes.Shown())
        EXPECT_EQ(box.Type, WarningOk);
    EXPECT_FALSE(PathExists(SettingsPath, false));
    RemoveDirectoryW(longFolder.c_str());
}

TEST_F(OptionsDlgTests, AFailedSaveKeepsTheChoicesButNotTheFolderNextStartWouldNotRead)
{
    const std::wstring before = Root / L"Before\\";
    const std::wstring after = Root / L"After\\";
    ASSERT_TRUE(CreateDirectoryW(before.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(after.c_str(), nullptr));
    Settings.DataFolder = before;
    ASSERT_TRUE(WriteSettings(Settings));
    const std::string stored = ReadFileBytes(SettingsPath);
    HANDLE holder = CreateFileW(SettingsPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    bool openAfterFailure = false;
    CModalScript script = Script();
    script.Do([&] {
        SelectEntry(Window(), IDC_OPTIONS_ATTACH_MODE, 0);
        SelectEntry(Window(), IDC_OPTIONS_CLASSIFY_MODE, 2);
        SelectEntry(Window(), IDC_OPTIONS_SORT_KEY, 2);
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, after);
        Click(Window(), IDOK);
        openAfterFailure = IsWindow(Window()) != FALSE;
        Click(Window(), IDCANCEL);
    });
    // Unscripted boxes are answered OK, and No for the system-partition question: go on.
    EXPECT_EQ(Run(script), IDCANCEL);
    CloseHandle(holder);

    EXPECT_TRUE(openAfterFailure);
    std::vector<std::wstring> texts = Boxes.Texts();
    if (!texts.empty() && texts[0] != SettingsOpenFailedText)
        texts.erase(texts.begin());  // the system-partition question, when the temp folder is on it
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         SettingsOpenFailedText,
                         L"Sorry! The configurations can't be saved, because the file is being using by anather "
                         L"application.\n\nPlease exit that application and try again."}));
    EXPECT_EQ(Boxes.Shown().back().Type, WarningOk);
    EXPECT_EQ(ReadFileBytes(SettingsPath), stored);
    EXPECT_EQ(Settings.AttachMode, 0);
    EXPECT_EQ(Settings.DefaultClassifyMode, 2);
    EXPECT_EQ(Settings.DefaultSortKey, 2);
    EXPECT_EQ(Settings.DataFolder, before);
    EXPECT_FALSE(Dialog.DataFolderChanged());

    // Opened again, the dialog shows the choices of that attempt.
    CProbeOptionsDlg again;
    int selections[3] = {};
    std::wstring folder;
    CModalScript second([&] { return again.GetSafeHwnd(); });
    second.Do([&] {
        selections[0] = ListSelection(again.GetSafeHwnd(), IDC_OPTIONS_ATTACH_MODE);
        selections[1] = ListSelection(again.GetSafeHwnd(), IDC_OPTIONS_CLASSIFY_MODE);
        selections[2] = ListSelection(again.GetSafeHwnd(), IDC_OPTIONS_SORT_KEY);
        folder = TextOf(again.GetSafeHwnd(), IDC_OPTIONS_DATA_FOLDER);
        Click(again.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(second.Run([&] { return again.DoModal(); }), IDCANCEL);
    EXPECT_EQ(selections[0], 0);
    EXPECT_EQ(selections[1], 2);
    EXPECT_EQ(selections[2], 2);
    EXPECT_EQ(folder, before);
}

TEST_F(OptionsDlgTests, ClearHistoryAsksThenEmptiesAllSixFilesForGood)
{
    HistoryLists.Company.Add(L"Acme");
    HistoryLists.Website.Add(L"www.acme.example");
    HistoryLists.UserName.Add(L"Ann");
    HistoryLists.UserCompany.Add(L"Ann's");
    HistoryLists.Email.Add(L"ann@acme.example");
    HistoryLists.CodeName.Add(L"Serial");
    HistoryLists.CodeName.Add(L"Key");
    SaveHistoryLists();
    const std::vector<std::wstring> files = {L"Company.his",     L"Website.his", L"UserName.his",
                                             L"UserCompany.his", L"Email.his",   L"CodeName.his"};
    ASSERT_EQ(ReadFileBytes(HistoryFolder + L"CodeName.his"), HistoryBytes({L"Serial", L"Key"}));
    std::string companyAfterNo;
    CModalScript script = Script();
    script.Do([&] {
        Click(Window(), IDC_OPTIONS_CLEAR_HISTORY);  // No
        companyAfterNo = ReadFileBytes(HistoryFolder + L"Company.his");
        Click(Window(), IDC_OPTIONS_CLEAR_HISTORY);  // Yes
        Click(Window(), IDCANCEL);
    });
    Boxes.Answer(IDNO);
    Boxes.Answer(IDYES);
    EXPECT_EQ(Run(script), IDCANCEL);

    EXPECT_EQ(companyAfterNo, HistoryBytes({L"Acme"}));
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    for (const ShownMessageBox& box : Boxes.Shown()) {
        EXPECT_EQ(box.Text, L"Do you want to clear all your history data ?");
        EXPECT_EQ(box.Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    }
    for (const std::wstring& file : files) {
        EXPECT_TRUE(PathExists(HistoryFolder + file, false)) << Narrow(file);
        EXPECT_EQ(ReadFileBytes(HistoryFolder + file), "") << Narrow(file);
    }
    EXPECT_TRUE(HistoryLists.Company.IsEmpty());
    EXPECT_TRUE(HistoryLists.CodeName.IsEmpty());
    // Cancelling the dialog afterwards brings nothing back.
    LoadHistoryLists();
    EXPECT_TRUE(HistoryLists.Website.IsEmpty());
    EXPECT_FALSE(PathExists(SettingsPath, false));
}

TEST_F(OptionsDlgTests, TheInformationButtonShowsTheTipAtThePointerThenFocusesTheFolder)
{
    ASSERT_TRUE(SetCursorPos(200, 150));
    RECT tip{}, text{};
    std::wstring body;
    bool captured = false, dialogDisabled = false;
    int focus = 0;
    CModalScript script = Script();
    script.Do([&] { Click(Window(), IDC_OPTIONS_INFORMATION); })
        .Then([&] {
            HWND window = Dialog.Tip().GetSafeHwnd();
            if (!window || !IsWindowVisible(window))
                return false;
            tip = WindowRectOf(window);
            text = ControlRect(window, IDC_INFOTIP_TEXT);
            body = TextOf(window, IDC_INFOTIP_TEXT);
            captured = GetCapture() == window;
            dialogDisabled = !IsWindowEnabled(Window());
            PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
            return true;
        })
        .Then([&] {
            if (Dialog.Tip().GetSafeHwnd())
                return false;
            focus = GetDlgCtrlID(GetFocus());
            Click(Window(), IDCANCEL);
            return true;
        });
    EXPECT_EQ(Run(script), IDCANCEL);
    EXPECT_EQ(tip, (RECT{200, 150, 450, 310}));
    EXPECT_EQ(text, (RECT{5, 30, 245, 155}));
    EXPECT_EQ(body, DataFolderTipText);
    EXPECT_TRUE(captured);
    EXPECT_TRUE(dialogDisabled);
    EXPECT_EQ(focus, IDC_OPTIONS_DATA_FOLDER);
}

TEST_F(OptionsDlgTests, AChangedDataFolderIsReportedOnceAndOnlyWhenItReallyChanged)
{
    const std::wstring before = Root / L"Before\\";
    const std::wstring after = Root / L"After\\";
    ASSERT_TRUE(CreateDirectoryW(before.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(after.c_str(), nullptr));
    Settings.DataFolder = before;
    CModalScript script = Script();
    script.Do([&] {
        SetText(Window(), IDC_OPTIONS_DATA_FOLDER, after);
        Click(Window(), IDOK);
    });
    EXPECT_EQ(Run(script), IDOK);
    EXPECT_TRUE(Dialog.DataFolderChanged());
    const std::wstring switched =
        L"The data-folder has been changed. The softwares stored in the new folder will be shown now.\n\n"
        L"The softwares of the old folder stay in that folder: choose it again to see them.";
    ASSERT_FALSE(Boxes.Shown().empty());
    EXPECT_EQ(Boxes.Shown().back().Text, switched);
    EXPECT_EQ(Boxes.Shown().back().Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Settings.DataFolder, after);

    // The same folder in other letter case is no change.
    std::wstring upper = after;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    const size_t shownBefore = Boxes.Shown().size();
    CProbeOptionsDlg again;
    CModalScript second([&] { return again.GetSafeHwnd(); });
    second.Do([&] {
        SetText(again.GetSafeHwnd(), IDC_OPTIONS_DATA_FOLDER, upper);
        Click(again.GetSafeHwnd(), IDOK);
    });
    EXPECT_EQ(second.Run([&] { return again.DoModal(); }), IDOK);
    EXPECT_FALSE(again.DataFolderChanged());
    for (size_t index = shownBefore; index < Boxes.Shown().size(); ++index)
        EXPECT_NE(Boxes.Shown()[index].Text, switched);
}

namespace {
// The application's first-start step alone, in the test's own per-user folder.
class CFirstStartApp : public CQVNApp {
public:
    using CQVNApp::RunOptionsDialog;
};
}  // namespace

TEST_F(OptionsDlgTests, AFirstStartChoosesItsFolderInTheRealDialog)
{
    const std::wstring data = Root / L"Catalogue\\";
    ASSERT_TRUE(CreateDirectoryW(data.c_str(), nullptr));
    CFirstStartApp app;
    HWND seen = nullptr;
    bool appWindow = false;
    CModalScript script([] { return FindWindowW(L"#32770", L"Options"); });
    script.Do([&] {
        seen = FindWindowW(L"#32770", L"Options");
        appWindow = (GetWindowLongPtrW(seen, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
        // A caller from outside has no seam: it sets the box with a window message.
        SendMessageW(GetDlgItem(seen, IDC_OPTIONS_DATA_FOLDER), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(data.c_str()));
        Click(seen, IDOK);
    });
    EXPECT_EQ(script.Run([&] { return app.RunOptionsDialog(); }), IDOK);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(GetWindow(seen, GW_OWNER), nullptr);
    EXPECT_TRUE(appWindow);
    EXPECT_EQ(ReadFileBytes(SettingsPath), SettingsBytes(1, Narrow(data), 1, 0, 1));
}

namespace {
std::vector<std::wstring> SortedNames(const CSoftwareArray& list)
{
    std::vector<std::wstring> names = Names(list);
    std::sort(names.begin(), names.end());
    return names;
}

class ReloadCatalogueTests : public CDialogTest {
protected:
    void SetUp() override
    {
        CDialogTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(Old.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(New.c_str(), nullptr));
        AddRecord(Old, L"00000000-0000-0000-0000-00000000000a", L"Zeta", L"Acme");
        AddRecord(New, L"00000000-0000-0000-0000-000000000001", L"delta", L"Beta");
        AddRecord(New, L"00000000-0000-0000-0000-000000000002", L"Alpha", L"Acme");
        AddRecord(New, L"00000000-0000-0000-0000-000000000003", L"Charlie", L"beta");
        // The catalogue of the old folder is on screen, grouped by company and sorted by name.
        Settings.DataFolder = Old;
        ASSERT_TRUE(WriteSettings(Settings));
        SoftwareList.IsOwner = 1;
        ASSERT_EQ(ScanDataFolder(SoftwareList, Old, true), 1);
        CurrentClassifyMode = 1;
        ClassifyCatalogue(SoftwareList, CurrentClassifyMode, GroupList, GroupNames);
        SoftwareList.SortKey = 1;
    }

    const std::wstring Old = Root / L"Old\\";
    const std::wstring New = Root / L"New\\";
    CMessageBoxScript Boxes;
};
}  // namespace

TEST_F(ReloadCatalogueTests, ShowsTheNewFoldersRecordsGroupedAndSorted)
{
    const std::string oldFile = ReadFileBytes(Old + L"00000000-0000-0000-0000-00000000000a");
    Settings.DataFolder = New;
    EXPECT_EQ(ReloadCatalogue(), 3);
    EXPECT_EQ(Names(SoftwareList), (std::vector<std::wstring>{L"Alpha", L"Charlie", L"delta"}));
    EXPECT_EQ(SoftwareList.IsOwner, 1);
    // Grouped as start-up groups a freshly loaded folder.
    CSoftwareArray fresh;
    fresh.IsOwner = 1;
    ScanDataFolder(fresh, New, true);
    CSoftwareArrayArray expectedGroups;
    CStringArray expectedNames;
    ASSERT_TRUE(ClassifyCatalogue(fresh, 1, expectedGroups, expectedNames));
    ASSERT_EQ(GroupList.GetSize(), 2);
    EXPECT_EQ(std::vector<std::wstring>(GroupNames.begin(), GroupNames.end()),
              std::vector<std::wstring>(expectedNames.begin(), expectedNames.end()));
    for (int group = 0; group < 2; ++group)
        EXPECT_EQ(Names(*GroupList[group]), Names(*expectedGroups[group])) << group;
    for (int group = 0; group < GroupList.GetSize(); ++group) {
        for (const CSoftware* record : *GroupList[group])
            EXPECT_GE(SoftwareList.Find(record), 0);
    }
    EXPECT_EQ(ReadFileBytes(Old + L"00000000-0000-0000-0000-00000000000a"), oldFile);
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(ReloadCatalogueTests, AFileThatFailsToLoadIsReportedAndTheRestShown)
{
    ASSERT_TRUE(WriteFileBytes(New + L"00000000-0000-0000-0000-000000000009", "not a record"));
    EXPECT_EQ(ReloadCatalogue(New), -3);
    EXPECT_EQ(SortedNames(SoftwareList), (std::vector<std::wstring>{L"Alpha", L"Charlie", L"delta"}));
    EXPECT_EQ(GroupList.GetSize(), 2);
}

TEST_F(ReloadCatalogueTests, AfterOkWithANewFolderEveryRecordLandsWhereTheNextStartLooks)
{
    CProbeOptionsDlg dialog;
    CModalScript script([&] { return dialog.GetSafeHwnd(); });
    script.Do([&] {
        SetText(dialog.GetSafeHwnd(), IDC_OPTIONS_DATA_FOLDER, New);
        Click(dialog.GetSafeHwnd(), IDOK);
    });
    ASSERT_EQ(script.Run([&] { return dialog.DoModal(); }), IDOK);
    ASSERT_TRUE(dialog.DataFolderChanged());
    // What the main window does with that result.
    ReloadCatalogue(Settings.DataFolder);
    ASSERT_EQ(SoftwareList.GetSize(), 3);
    SoftwareList[0]->BasicInfo.Version = L"2.0";
    ASSERT_TRUE(SaveSoftwareFile(*SoftwareList[0]));
    CSoftware added;
    ASSERT_TRUE(ParseSoftwareId(L"00000000-0000-0000-0000-000000000004", added));
    added.BasicInfo.Name = L"Bravo";
    ASSERT_TRUE(SaveSoftwareFile(added));

    // The next start reads the folder from the file and finds all of it, changed as it was left.
    CConfigurations next;
    ASSERT_TRUE(ReadSettings(next));
    EXPECT_EQ(next.DataFolder, New);
    CSoftwareArray found;
    found.IsOwner = 1;
    EXPECT_EQ(ScanDataFolder(found, next.DataFolder, true), 4);
    EXPECT_EQ(SortedNames(found), (std::vector<std::wstring>{L"Alpha", L"Bravo", L"Charlie", L"delta"}));
    for (const CSoftware* record : found) {
        EXPECT_EQ(record->BasicInfo.Version == L"2.0", record->BasicInfo.Name == L"Alpha");
    }
    // The old folder keeps its own record, for when it is chosen again.
    CSoftwareArray old;
    old.IsOwner = 1;
    EXPECT_EQ(ScanDataFolder(old, Old, true), 1);
}

TEST_F(ReloadCatalogueTests, TheOptionsCommandShowsTheNewCatalogueOnlyWhenTheFolderChanged)
{
    const auto optionsWindow = [] { return FindWindowW(L"#32770", L"Options"); };
    CModalScript cancelled(optionsWindow);
    cancelled.Do([&] {
        SetText(optionsWindow(), IDC_OPTIONS_DATA_FOLDER, New);
        Click(optionsWindow(), IDCANCEL);
    });
    EXPECT_EQ(cancelled.Run([] { return RunOptionsCommand(nullptr) ? IDOK : IDCANCEL; }), IDCANCEL);
    EXPECT_EQ(Names(SoftwareList), std::vector<std::wstring>{L"Zeta"});

    CModalScript same(optionsWindow);
    same.Do([&] { Click(optionsWindow(), IDOK); });
    EXPECT_EQ(same.Run([] { return RunOptionsCommand(nullptr) ? IDOK : IDCANCEL; }), IDCANCEL);
    EXPECT_EQ(Names(SoftwareList), std::vector<std::wstring>{L"Zeta"});

    CModalScript changed(optionsWindow);
    changed.Do([&] {
        SetText(optionsWindow(), IDC_OPTIONS_DATA_FOLDER, New);
        Click(optionsWindow(), IDOK);
    });
    EXPECT_EQ(changed.Run([] { return RunOptionsCommand(nullptr) ? IDOK : IDCANCEL; }), IDOK);
    EXPECT_EQ(Names(SoftwareList), (std::vector<std::wstring>{L"Alpha", L"Charlie", L"delta"}));
    EXPECT_EQ(GroupList.GetSize(), 2);
}
