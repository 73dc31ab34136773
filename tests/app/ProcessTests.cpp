#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "res/resource.h"
#include "storage/Paths.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {
constexpr DWORD WaitLimitMs = 30000;

// One started copy of the program, ended by force if a test leaves it running.
class CProgram {
public:
    CProgram()
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path(self);
        path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\..\\app\\Quorvane.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + path + L"\"";
        m_started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_process) != FALSE;
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram()
    {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, WaitLimitMs);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.dwProcessId; }
    // True when the program ended within the limit.
    bool WaitForExit(DWORD limitMs = WaitLimitMs) const
    {
        return WaitForSingleObject(m_process.hProcess, limitMs) == WAIT_OBJECT_0;
    }

    // The first top-level dialog of this program that matches, waiting for it up to the limit.
    HWND WaitForDialog(const std::function<bool(HWND)>& matches) const
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < WaitLimitMs) {
            HWND found = nullptr;
            for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window && !found;
                 window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == Id() && IsWindowVisible(window) && matches(window))
                    found = window;
            }
            if (found)
                return found;
            if (WaitForSingleObject(m_process.hProcess, 20) == WAIT_OBJECT_0)
                return nullptr;  // ended without showing it
        }
        return nullptr;
    }

    // The window of this program titled so that is not a message box (they share the main
    // window's title).
    HWND WaitForWindow(const std::wstring& title) const
    {
        return WaitForDialog([&title](HWND window) {
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            return title == text && GetDlgItem(window, 0xFFFF) == nullptr;
        });
    }

    // Waits for a message box of this program other than the one already answered, and returns
    // its text.
    std::wstring WaitForMessageBox(HWND& box, HWND answered = nullptr) const
    {
        box = WaitForDialog(
            [answered](HWND window) { return window != answered && GetDlgItem(window, 0xFFFF) != nullptr; });
        return box ? DialogText(box) : L"(no message box)";
    }

private:
    static std::wstring DialogText(HWND box)
    {
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        return text;
    }

    PROCESS_INFORMATION m_process{};
    bool m_started = false;
};

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// The first window below top with this control identifier (controls sit in child dialogs).
HWND FindControl(HWND top, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Clicks a control of whatever child dialog holds it, as its own button would.
void Click(HWND top, int id)
{
    HWND control = FindControl(top, id);
    ASSERT_NE(control, nullptr) << "no control " << id;
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// WM_SETTEXT is carried across processes; bounded, so a hung program fails the test.
void Type(HWND top, int id, const std::wstring& text)
{
    HWND control = FindControl(top, id);
    ASSERT_NE(control, nullptr) << "no control " << id;
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                  WaitLimitMs, &result),
              0);
}

std::wstring TextOf(HWND top, int id)
{
    HWND control = FindControl(top, id);
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    if (control)
        SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, WaitLimitMs,
                            &copied);
    return text;
}

// Up to the limit, while the program runs.
bool WaitUntil(const CProgram& program, const std::function<bool()>& condition)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= WaitLimitMs || program.WaitForExit(20))
            return false;
    }
    return true;
}

// Shown and enabled: a person could click it.
bool Usable(HWND top, int id)
{
    HWND control = FindControl(top, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

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

    CProgram first;
    ASSERT_TRUE(first.Started());
    HWND warning = nullptr;
    ASSERT_EQ(first.WaitForMessageBox(warning), SettingsResetText);
    EXPECT_FALSE(PathExists(TempFolder + L"earlier-run.exe", false));
    ASSERT_TRUE(WriteFileBytes(TempFolder + L"in-use.exe", "running"));

    {
        CProgram second;
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
        CProgram program;
        ASSERT_TRUE(program.Started());
        HWND warning = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(warning), SettingsResetText);
        Press(warning, IDOK);
        HWND greeting = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(greeting, warning), GreetingText);
        Press(greeting, IDOK);

        HWND options = program.WaitForWindow(L"Options");
        ASSERT_NE(options, nullptr);
        Type(options, IDC_OPTIONS_DATA_FOLDER, dataFolder.Path());
        Click(options, IDOK);
        HWND question = nullptr;
        ASSERT_EQ(program.WaitForMessageBox(question, greeting),
                  L"You have selected a folder in system-partition as your data-folder.\nWe strongly recommend you "
                  L"to create this folder in the non-system partition.\n\nDo you want to change the folder ?");
        Press(question, IDNO);  // keep it

        HWND window = program.WaitForWindow(L"Quorvane");
        ASSERT_NE(window, nullptr);
        PostMessageW(window, MSG_COMMAND, CMD_ADD, 0);  // as the toolbar sends it
        HWND add = program.WaitForWindow(L"Add Software");
        ASSERT_NE(add, nullptr);
        Type(add, IDC_ITEM_NAME, L"Tapedeck");
        Type(add, IDC_ITEM_VERSION, L"2.0");
        Click(add, IDOK);
        ASSERT_TRUE(WaitUntil(program, [add] { return !IsWindow(add); }));

        // The new record is selected and shown in the window's own pane.
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        Click(window, IDC_ITEM_MODIFY);
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_APPLY); }));
        EXPECT_EQ(TextOf(window, IDC_ITEM_NAME), L"Tapedeck");
        Type(window, IDC_ITEM_VERSION, L"2.1");
        Type(window, IDC_ITEM_COMPANY, L"Reel Audio");
        Click(window, IDC_ITEM_APPLY);
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
        CProgram program;
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForWindow(L"Quorvane");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        Click(window, IDC_ITEM_MODIFY);
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_APPLY); }));
        EXPECT_EQ(TextOf(window, IDC_ITEM_NAME), L"Tapedeck");
        EXPECT_EQ(TextOf(window, IDC_ITEM_VERSION), L"2.1");
        EXPECT_EQ(TextOf(window, IDC_ITEM_COMPANY), L"Reel Audio");
        Click(window, IDC_ITEM_CANCEL);
        ASSERT_TRUE(WaitUntil(program, [window] { return Usable(window, IDC_ITEM_MODIFY); }));
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(MetaDataFiles(dataFolder.Path()), std::vector<std::wstring>{fileName});
    EXPECT_EQ(ReadFileBytes(dataFolder / fileName), expectedRecord);
    EXPECT_EQ(ReadFileBytes(SettingsPath), expectedSettings);
}
