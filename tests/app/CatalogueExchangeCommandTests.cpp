#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/CatalogueExchangeCommands.h"
#include "app/ExportCatalogueDlg.h"
#include "framework/Dpi.h"
#include "framework/ShellDialogs.h"
#include "model/Catalogue.h"
#include "res/resource.h"
#include "storage/Configurations.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/app/MainWindowTestSupport.h"

namespace {
using Names = std::vector<std::wstring>;

// The export choice and the save-file dialog, answered by the test.
struct ExportRequests {
    struct Choice {
        int All, Selected;
        bool Selection, Json;
    };
    std::vector<Choice> Choices;
    bool Cancel = false;
    ExportChoice Answer;
    struct Save {
        std::wstring Filter, Extension, Proposed;
    };
    std::vector<Save> Saves;
    std::wstring SaveAnswer;  // empty: cancelled
};

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::wstring> MenuTexts(HMENU menu)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128]{};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        texts.push_back(std::wstring(text) + L"=" + std::to_wstring(GetMenuItemID(menu, i)));
    }
    return texts;
}

class CatalogueExchangeCommandTests : public CMainWindowTest {
protected:
    void SetUp() override
    {
        CMainWindowTest::SetUp();
        SetSaveFilePicker([this](HWND, const std::wstring& filter, const std::wstring& extension, std::wstring& path) {
            Export.Saves.push_back({filter, extension, path});
            path = Export.SaveAnswer;
            return !path.empty();
        });
    }
    void TearDown() override
    {
        SetSaveFilePicker(nullptr);
        CMainWindowTest::TearDown();
    }

    void OpenWithChooser(const std::vector<SampleRecord>& records)
    {
        Open(records);
        Window->SetExportChooser([this](HWND, int all, int selected, ExportChoice& choice) {
            Export.Choices.push_back({all, selected, choice.Selection, choice.Json});
            choice = Export.Answer;
            return !Export.Cancel;
        });
    }

    // A key pressed with Control down, handed to the message filter as the dialog manager's loop
    // of the modal main window does before it dispatches.
    bool PressControlKey(HWND target, UINT key, bool shift = false)
    {
        BYTE state[256]{};
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
        const bool taken = CallMsgFilterW(&message, MSGF_DIALOGBOX) != FALSE;
        state[VK_CONTROL] = 0;
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
        Pump();
        return taken;
    }

    std::vector<const CSoftware*> Catalogue() const
    {
        std::vector<const CSoftware*> records;
        for (int i = 0; i < SoftwareList.GetSize(); ++i)
            records.push_back(SoftwareList[i]);
        return records;
    }

    ExportRequests Export;
};
}  // namespace

TEST_F(CatalogueExchangeCommandTests, MenuEntriesSitInTheMoreMenuAndTheListMenu)
{
    HMENU more = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MORE_MENU));
    ASSERT_NE(more, nullptr);
    const std::vector<std::wstring> texts = MenuTexts(GetSubMenu(more, 0));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Export catalogue...\tCtrl+E=32820"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Import catalogue...\tCtrl+I=32821"), texts.end());
    DestroyMenu(more);
    HMENU list = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_CONTEXT));
    ASSERT_NE(list, nullptr);
    const std::vector<std::wstring> entries = MenuTexts(GetSubMenu(list, 0));
    EXPECT_EQ(entries.back(), L"Export Selected...\t&S=32822");
    DestroyMenu(list);
}

TEST_F(CatalogueExchangeCommandTests, MoreMenuExportWritesTheWholeCatalogueAsCsv)
{
    OpenWithChooser(SixRecords());
    Export.SaveAnswer = Root / L"catalogue.csv";
    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(ID_MORE_EXPORT_CATALOGUE, 0), 0);
    Pump();
    ASSERT_EQ(Export.Choices.size(), 1u);
    EXPECT_EQ(Export.Choices[0].All, 6);
    EXPECT_EQ(Export.Choices[0].Selected, 1);
    EXPECT_FALSE(Export.Choices[0].Selection);
    ASSERT_EQ(Export.Saves.size(), 1u);
    EXPECT_EQ(Export.Saves[0].Filter, L"CSV File(*.csv)|*.csv|All Files(*.*)|*.*||");
    EXPECT_EQ(Export.Saves[0].Extension, L"csv");
    EXPECT_EQ(Export.Saves[0].Proposed, L"Quorvane catalogue.csv");
    EXPECT_EQ(ReadFileBytes(Export.SaveAnswer), FormatCatalogueCsv(Catalogue()));
    EXPECT_FALSE(FileExistsAt(Export.SaveAnswer + L".tmp"));
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(CatalogueExchangeCommandTests, ContextMenuExportsTheSelectionAsJsonOverAnOldFile)
{
    OpenWithChooser(SixRecords());
    Select({1, 3});
    Export.Answer = ExportChoice{true, true};
    Export.SaveAnswer = WriteSourceFile(L"old.json", "old text");
    SendMessageW(ListPaneWindow(), WM_COMMAND, MAKEWPARAM(ID_LIST_EXPORT_SELECTED, 0), 0);
    Pump();
    ASSERT_EQ(Export.Choices.size(), 1u);
    EXPECT_EQ(Export.Choices[0].Selected, 2);
    EXPECT_TRUE(Export.Choices[0].Selection);  // preselected from this menu
    ASSERT_EQ(Export.Saves.size(), 1u);
    EXPECT_EQ(Export.Saves[0].Extension, L"json");
    EXPECT_EQ(ReadFileBytes(Export.SaveAnswer), FormatCatalogueJson({SoftwareList[1], SoftwareList[3]}));

    // The format chosen last is offered again.
    SendMessageW(Main(), MSG_COMMAND, CMD_EXPORT_CATALOGUE, 0);
    Pump();
    ASSERT_EQ(Export.Choices.size(), 2u);
    EXPECT_TRUE(Export.Choices[1].Json);
    EXPECT_FALSE(Export.Choices[1].Selection);
}

TEST_F(CatalogueExchangeCommandTests, ExportThatCannotBeWrittenSaysSoAndLeavesNoFile)
{
    OpenWithChooser(SixRecords());
    Export.SaveAnswer = Root / L"missing\\catalogue.csv";
    SendMessageW(Main(), MSG_COMMAND, CMD_EXPORT_CATALOGUE, 0);
    Pump();
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Text,
              L"The catalogue couldn't be written to the file, please check the folder and your right to write in it.");
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(FileExistsAt(Export.SaveAnswer));

    // Cancelling the choice asks for no file at all.
    Export.Cancel = true;
    SendMessageW(Main(), MSG_COMMAND, CMD_EXPORT_CATALOGUE, 0);
    Pump();
    EXPECT_EQ(Export.Saves.size(), 1u);
}

TEST_F(CatalogueExchangeCommandTests, ControlKeysRunExportAndImportFromAnyWindowOfTheMainWindow)
{
    OpenWithChooser(SixRecords());
    Export.Cancel = true;
    HWND list = Window->ListPane().CurrentList()->GetSafeHwnd();
    EXPECT_TRUE(PressControlKey(list, 'E'));
    EXPECT_EQ(Export.Choices.size(), 1u);
    EXPECT_TRUE(PressControlKey(Window->ItemInfoWindow(), 'I'));
    ASSERT_EQ(Shell.OpenFilters.size(), 1u);
    EXPECT_EQ(Shell.OpenFilters[0], ImportFileFilter);
    // Other keys, Ctrl+Shift+I (the installer details' key) among them, and keys of other windows
    // pass on untouched.
    EXPECT_FALSE(PressControlKey(list, 'Q'));
    EXPECT_FALSE(PressControlKey(list, 'I', true));
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(PressControlKey(other, 'E'));
    DestroyWindow(other);
    EXPECT_EQ(Export.Choices.size(), 1u);
}

// Known Ids update their records after a question that counts them, the rest is added, and the
// refused rows are listed with their lines; the catalogue regroups as after Add.
TEST_F(CatalogueExchangeCommandTests, ImportUpdatesAddsAndListsRefusedRows)
{
    OpenWithChooser(SixRecords());
    const std::wstring betaPath = MetaDataPath(*Find(L"Beta Paint"));
    Shell.OpenAnswer = WriteSourceFile(
        L"import.csv",
        "Id,Name,Category,Codes,InstallerPath,AttachMode\r\n"
        "51000002-1234-0000-0000-000000000000,Beta Paint Pro,Multimedia,Serial: B-1,C:\\beta.exe,Import\r\n"
        "AB000000-0000-0000-0000-000000000001,New With Id,Science / CAD,,,\r\n"
        "Bad,,Antivirus,,,\r\n"
        ",\"Multi\r\nline\",Nowhere,,,\r\n"
        ",New Without Id,Security,,,\r\n");
    Boxes.Answer(IDYES);
    SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(ID_MORE_IMPORT_CATALOGUE, 0), 0);
    Pump();

    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[0].Text,
              L"This file updates 1 existing software(s) and adds 2 new software(s).\n\nWould you like to continue ?");
    EXPECT_EQ(Boxes.Shown()[0].Type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Boxes.Shown()[1].Text,
              L"3 software(s) imported: 1 updated, 2 added.\n\n2 row(s) couldn't be imported, and nothing of them "
              L"was stored:\n\nLine 4: the Id \"Bad\" is not GUID text.\n"
              L"Line 5: the category \"Nowhere\" is not one of the program's values.");
    ASSERT_EQ(SoftwareList.GetSize(), 8);

    CSoftware* beta = Find(L"Beta Paint Pro");
    ASSERT_NE(beta, nullptr);
    EXPECT_EQ(MetaDataPath(*beta), betaPath);  // the same record, rewritten
    EXPECT_EQ(beta->InstallerInfo.InstallerPath, L"C:\\beta.exe");
    EXPECT_EQ(beta->InstallerInfo.AttachMode, 0);  // referenced, never copied
    ASSERT_EQ(beta->RegInfo.Code.GetSize(), 1);
    CSoftware loaded;
    ASSERT_TRUE(LoadSoftwareFile(loaded, betaPath));
    EXPECT_EQ(FormatSoftwareText(loaded), FormatSoftwareText(*beta));
    CSoftware* withId = Find(L"New With Id");
    ASSERT_NE(withId, nullptr);
    EXPECT_EQ(FormatSoftwareId(*withId), L"AB000000-0000-0000-0000-000000000001");
    CSoftware* withoutId = Find(L"New Without Id");
    ASSERT_NE(withoutId, nullptr);
    EXPECT_FALSE(withoutId->Id.IsNull());
    EXPECT_TRUE(FileExistsAt(MetaDataPath(*withoutId)));
    EXPECT_EQ(FilesIn(Data).size(), 8u);

    // Regrouped, and the first stored record shown alone selected on "All".
    const Names tabs = TabNames();
    EXPECT_NE(std::find(tabs.begin(), tabs.end(), L"Science / CAD"), tabs.end());
    EXPECT_NE(std::find(tabs.begin(), tabs.end(), L"Security"), tabs.end());
    EXPECT_EQ(Window->ListPane().ActiveTab(), 0);
    EXPECT_EQ(Selected(), std::vector<int>{SoftwareList.Find(beta)});
    EXPECT_EQ(Window->ItemInfo().Record(), beta);
}

TEST_F(CatalogueExchangeCommandTests, DecliningTheQuestionChangesNothing)
{
    OpenWithChooser(SixRecords());
    const std::wstring betaPath = MetaDataPath(*Find(L"Beta Paint"));
    const std::string before = ReadFileBytes(betaPath);
    Shell.OpenAnswer = WriteSourceFile(L"import.csv", "Id,Name\r\n51000002-1234-0000-0000-000000000000,Renamed\r\n");
    Boxes.Answer(IDNO);
    SendMessageW(Main(), MSG_COMMAND, CMD_IMPORT_CATALOGUE, 0);
    Pump();
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_EQ(Boxes.Shown()[0].Text,
              L"This file updates 1 existing software(s) and adds 0 new software(s).\n\nWould you like to continue ?");
    EXPECT_EQ(ReadFileBytes(betaPath), before);
    EXPECT_NE(Find(L"Beta Paint"), nullptr);
    EXPECT_EQ(SoftwareList.GetSize(), 6);
}

TEST_F(CatalogueExchangeCommandTests, ImportRefusesUnreadableFilesAndWaitsForEdits)
{
    OpenWithChooser(SixRecords());
    Shell.OpenAnswer = WriteSourceFile(L"list.csv", "Title,Author\r\nA,B\r\n");
    SendMessageW(Main(), MSG_COMMAND, CMD_IMPORT_CATALOGUE, 0);
    Pump();
    Shell.OpenAnswer = Root / L"missing.json";
    SendMessageW(Main(), MSG_COMMAND, CMD_IMPORT_CATALOGUE, 0);
    Pump();
    Shell.OpenAnswer = WriteSourceFile(L"empty.json", "{\"Records\": []}");
    SendMessageW(Main(), MSG_COMMAND, CMD_IMPORT_CATALOGUE, 0);
    Pump();
    Window->ItemInfo().SetMode(ItemInfoEdit);
    SendMessageW(Main(), MSG_COMMAND, CMD_IMPORT_CATALOGUE, 0);
    Pump();
    Window->ItemInfo().SetMode(ItemInfoView);
    EXPECT_EQ(Boxes.Texts(),
              (Names{L"The file can't be imported. The first line is not the header of a catalogue (it names no "
                     L"\"Name\" column).",
                     L"The file is unable to be opened, please check it and try again.",
                     L"The file holds no software to import.",
                     L"Please save or cancel the modifications of the shown software before importing a catalogue."}));
    EXPECT_EQ(Shell.OpenFilters.size(), 3u);  // not asked while editing
    EXPECT_EQ(SoftwareList.GetSize(), 6);
}

// Real files: a JSON export imported into an empty data folder gives every meta-data file back
// byte for byte; an installer the program had imported is referenced there, never copied.
TEST_F(CatalogueExchangeCommandTests, JsonRoundTripIntoAnEmptyDataFolderGivesIdenticalFiles)
{
    OpenWithChooser(SixRecords());
    CSoftware* gamma = Find(L"Gamma Zip");
    gamma->RegInfo.Comment = L"Bought, \"boxed\"\r\nsecond line – naïve 日本";
    gamma->RegInfo.CodeName.Add(L"=Serial: 1");
    gamma->RegInfo.Code.Add(L"AB\\CD\r\nEF");
    gamma->ExtraInfo.ExpiryDate = L"2027-03-01";
    ASSERT_TRUE(SaveSoftwareFile(*gamma));
    CSoftware* delta = Find(L"Delta Net");
    const std::wstring copy = ImportedPath(*delta);
    ASSERT_TRUE(WriteFileBytes(copy, "installer bytes"));
    delta->InstallerInfo.InstallerPath = copy;
    delta->InstallerInfo.OriginalPath = L"C:\\setup.exe";
    delta->InstallerInfo.AttachMode = 1;
    ASSERT_TRUE(SaveSoftwareFile(*delta));

    Export.Answer = ExportChoice{false, true};
    Export.SaveAnswer = Root / L"catalogue.json";
    SendMessageW(Main(), MSG_COMMAND, CMD_EXPORT_CATALOGUE, 0);
    Pump();
    ASSERT_TRUE(FileExistsAt(Export.SaveAnswer));

    const std::wstring fresh = Root / L"Fresh\\";
    ASSERT_TRUE(CreateDirectoryW(fresh.c_str(), nullptr));
    Settings.DataFolder = fresh;
    CSoftwareArray imported;
    imported.IsOwner = 1;
    Shell.OpenAnswer = Export.SaveAnswer;
    const std::vector<CSoftware*> stored = RunCatalogueImport(Main(), imported);
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(Boxes.Texts().back(), L"6 software(s) imported: 0 updated, 6 added.");

    std::vector<std::wstring> names = FilesIn(Data);
    names.erase(std::remove(names.begin(), names.end(), FormatSoftwareId(*delta) + L"_INSTALL"), names.end());
    EXPECT_EQ(FilesIn(fresh).size(), names.size());  // no installer copy in the new folder
    for (const std::wstring& name : names) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        std::string expected = ReadFileBytes(Data + name);
        if (name == FormatSoftwareId(*delta)) {
            const std::string importMode = "<AttachMode>\n1</AttachMode>";
            expected.replace(expected.find(importMode), importMode.size(), "<AttachMode>\n0</AttachMode>");
        }
        EXPECT_EQ(ReadFileBytes(fresh + name), expected);
    }
}

TEST_F(CatalogueExchangeCommandTests, ExportChoiceDialogOffersTheSelectionOnlyWhenThereIsOne)
{
    ExportChoice choice{true, true};
    CExportCatalogueDlg dialog(6, 0, choice, nullptr);
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND window = dialog.GetSafeHwnd();
    wchar_t text[128]{};
    GetDlgItemTextW(window, IDC_EXPORT_ALL, text, 128);
    EXPECT_STREQ(text, L"All software of the catalogue (6)");
    GetDlgItemTextW(window, IDC_EXPORT_SELECTED, text, 128);
    EXPECT_STREQ(text, L"The selected software (0)");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_EXPORT_SELECTED)));
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_EXPORT_ALL), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_EXPORT_JSON), BST_CHECKED);
    GetWindowTextW(window, text, 128);
    EXPECT_STREQ(text, L"Export catalogue");
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, dialog.ScaledWindowSize(CExportCatalogueDlg::Width, CExportCatalogueDlg::Height).cx);
    // Every control lies inside the content area.
    const RECT content = dialog.GetContentRect();
    for (int id : {IDC_EXPORT_WHICH_LABEL, IDC_EXPORT_ALL, IDC_EXPORT_SELECTED, IDC_EXPORT_FORMAT_LABEL, IDC_EXPORT_CSV,
                   IDC_EXPORT_CSV_NOTE, IDC_EXPORT_JSON, IDC_EXPORT_JSON_NOTE, IDOK, IDCANCEL}) {
        RECT rect{};
        GetWindowRect(GetDlgItem(window, id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= content.left && rect.right <= content.right && rect.top >= content.top &&
                    rect.bottom <= content.bottom)
            << id;
    }
    // The headless display takes no clicks: the choice is made as the radio group itself does.
    CheckRadioButton(window, IDC_EXPORT_CSV, IDC_EXPORT_JSON, IDC_EXPORT_CSV);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    EXPECT_FALSE(choice.Json);
    EXPECT_FALSE(choice.Selection);
}
