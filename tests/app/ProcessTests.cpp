#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Commands.h"
#include "res/resource.h"
#include "storage/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ProgramDriver.h"
#include "tests/support/TempFolder.h"

namespace {
// The names of the files in the folder.
std::vector<std::wstring> MetaDataFiles(const std::wstring& folder)
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

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class ProcessTests : public CPrivatePrefixTest {};
}  // namespace

TEST_F(ProcessTests, FirstStartSecondStartAndExitAsSeparateProcesses)
{
    CreateBaseFolder();
    CleanFolder(TempFolder);
    ASSERT_TRUE(WriteFileBytes(TempFolder + L"earlier-run.exe", "stale"));

    CProgram first(BuiltProgramPath());
    ASSERT_TRUE(first.Started());
    HWND warning = nullptr;
    ASSERT_EQ(first.WaitForMessageBox(warning), SettingsResetText);
    EXPECT_FALSE(PathExists(TempFolder + L"earlier-run.exe", false));
    ASSERT_TRUE(WriteFileBytes(TempFolder + L"in-use.exe", "running"));

    {
        CProgram second(BuiltProgramPath());
        ASSERT_TRUE(second.Started());
        HWND refusal = nullptr;
        EXPECT_EQ(second.WaitForMessageBox(refusal), AnotherInstanceText);
        ASSERT_NE(refusal, nullptr);
        Press(refusal, IDOK);
        ASSERT_TRUE(second.WaitForExit());
    }
    EXPECT_TRUE(PathExists(TempFolder + L"in-use.exe", false));

    Press(warning, IDOK);
    HWND greeting = nullptr;
    ASSERT_EQ(first.WaitForMessageBox(greeting, warning), GreetingText);
    Press(greeting, IDOK);
    // The data-folder step: declining it ends the program.
    HWND options = first.WaitForWindow(L"Options");
    ASSERT_NE(options, nullptr);
    Press(options, IDCANCEL);
    ASSERT_TRUE(first.WaitForExit());

    EXPECT_EQ(ReadFileBytes(SettingsPath), DefaultSettingsBytes);
    EXPECT_FALSE(PathExists(TempFolder + L"in-use.exe", false));
    EXPECT_TRUE(PathExists(TempFolder, true));
}

// A new user's first session and the next start, driven from outside as a person would.
TEST_F(ProcessTests, FirstStartAddsAndModifiesARecordThatTheNextStartFindsAsLeft)
{
    CTempFolder dataFolder;  // on the Windows drive, so the system-partition question comes
    std::wstring fileName;
    {
        CProgram program(BuiltProgramPath());
        ASSERT_TRUE(program.Started());
        HWND warning = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(warning), SettingsResetText);
        Press(warning, IDOK);
        HWND greeting = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(greeting, warning), GreetingText);
        Press(greeting, IDOK);

        HWND options = program.WaitForWindow(L"Options");
        ASSERT_NE(options, nullptr);
        ASSERT_TRUE(Type(options, IDC_OPTIONS_DATA_FOLDER, dataFolder.Path()));
        ASSERT_TRUE(Click(options, IDOK));
        HWND question = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(question, greeting), SystemPartitionQuestionText);
        Press(question, IDNO);  // keep it

        HWND window = program.WaitForWindow(L"Quorvane");
        ASSERT_NE(window, nullptr);
        PostMessageW(window, MSG_COMMAND, CMD_ADD, 0);  // as the toolbar sends it
        HWND add = program.WaitForWindow(L"Add Software");
        ASSERT_NE(add, nullptr);
        ASSERT_TRUE(Type(add, IDC_ITEM_NAME, L"Tapedeck"));
        ASSERT_TRUE(Type(add, IDC_ITEM_VERSION, L"2.0"));
        ASSERT_TRUE(Click(add, IDOK));
        ASSERT_TRUE(WaitUntil(program, [add] { return !IsWindow(add); }));

        // The new record is selected and shown in the window's own pane.
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        ASSERT_TRUE(Click(window, IDC_ITEM_MODIFY));
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_APPLY); }));
        EXPECT_EQ(TextOf(window, IDC_ITEM_NAME), L"Tapedeck");
        ASSERT_TRUE(Type(window, IDC_ITEM_VERSION, L"2.1"));
        ASSERT_TRUE(Type(window, IDC_ITEM_COMPANY, L"Reel Audio"));
        ASSERT_TRUE(Click(window, IDC_ITEM_APPLY));
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));

        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program.WaitForExit());

        std::vector<std::wstring> files = MetaDataFiles(dataFolder.Path());
        ASSERT_EQ(files.size(), 1u);
        fileName = files[0];
    }
    ASSERT_EQ(fileName.size(), 36u);
    const std::string expectedRecord =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Software>\n<BasicInfo>\n"
        "<Name>\nTapedeck</Name>\n<Version>\n2.1</Version>\n<Company>\nReel Audio</Company>\n"
        "<Website>\n</Website>\n<Price>\n 0.00</Price>\n<Currency>\n0</Currency>\n"
        "<Category>\n0</Category>\n<Type>\n0</Type>\n</BasicInfo>\n<RegInfo>\n"
        "<UserName>\n</UserName>\n<UserCompany>\n</UserCompany>\n<UserEmail>\n</UserEmail>\n"
        "<Comment>\n</Comment>\n</RegInfo>\n<InstallerInfo>\n<InstallerPath>\n</InstallerPath>\n"
        "<OriginalPath>\n</OriginalPath>\n<AttachMode>\n0</AttachMode>\n</InstallerInfo>\n</Software>\n";
    EXPECT_EQ(ReadFileBytes(dataFolder / fileName), expectedRecord);
    const std::string expectedSettings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
        "<AttachMode>\n1</AttachMode>\n<DataFolder>\n" + Narrow(dataFolder.Path()) + "</DataFolder>\n"
        "<ShowAttachModeSelectDlg>\n1</ShowAttachModeSelectDlg>\n"
        "<DefaultClassifyMode>\n0</DefaultClassifyMode>\n<DefaultSortKey>\n1</DefaultSortKey>\n"
        "</Configurations>\n";
    EXPECT_EQ(ReadFileBytes(SettingsPath), expectedSettings);
    EXPECT_EQ(ReadFileBytes(HistoryFolder + L"Company.his"), Utf16Bytes(L"Reel Audio\n"));

    // The next start asks nothing and shows the record as it was left.
    {
        CProgram program(BuiltProgramPath());
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForWindow(L"Quorvane");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        ASSERT_TRUE(Click(window, IDC_ITEM_MODIFY));
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_APPLY); }));
        EXPECT_EQ(TextOf(window, IDC_ITEM_NAME), L"Tapedeck");
        EXPECT_EQ(TextOf(window, IDC_ITEM_VERSION), L"2.1");
        EXPECT_EQ(TextOf(window, IDC_ITEM_COMPANY), L"Reel Audio");
        ASSERT_TRUE(Click(window, IDC_ITEM_CANCEL));
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(MetaDataFiles(dataFolder.Path()), std::vector<std::wstring>{fileName});
    EXPECT_EQ(ReadFileBytes(dataFolder / fileName), expectedRecord);
    EXPECT_EQ(ReadFileBytes(SettingsPath), expectedSettings);
}
