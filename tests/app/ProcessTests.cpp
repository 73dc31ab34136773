#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "storage/Paths.h"
#include "tests/app/AppTestSupport.h"

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
    bool WaitForExit() const { return WaitForSingleObject(m_process.hProcess, WaitLimitMs) == WAIT_OBJECT_0; }

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
    HWND picker = first.WaitForDialog(
        [greeting](HWND window) { return window != greeting && GetDlgItem(window, 0xFFFF) == nullptr; });
    ASSERT_NE(picker, nullptr);
    Press(picker, IDCANCEL);
    ASSERT_TRUE(first.WaitForExit());

    EXPECT_EQ(ReadFileBytes(SettingsPath), DefaultSettingsBytes);
    EXPECT_FALSE(PathExists(TempFolder + L"in-use.exe", false));
    EXPECT_TRUE(PathExists(TempFolder, true));
}
