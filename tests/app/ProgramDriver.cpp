#include "tests/app/ProgramDriver.h"

CProgram::CProgram(const std::wstring& path)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    m_started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &m_process) != FALSE;
}

CProgram::~CProgram()
{
    if (!m_started)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.hProcess, 99);
    WaitForSingleObject(m_process.hProcess, ProgramWaitLimitMs);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool CProgram::WaitForExit(DWORD limitMs) const
{
    return m_started && WaitForSingleObject(m_process.hProcess, limitMs) == WAIT_OBJECT_0;
}

DWORD CProgram::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_started)
        GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

HWND CProgram::WaitForDialog(const std::function<bool(HWND)>& matches) const
{
    if (!m_started)
        return nullptr;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ProgramWaitLimitMs) {
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

HWND CProgram::WaitForWindow(const std::wstring& title) const
{
    return WaitForDialog([&title](HWND window) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        return title == text && GetDlgItem(window, 0xFFFF) == nullptr;
    });
}

std::wstring CProgram::WaitForMessageBox(HWND& box, HWND answered) const
{
    box = WaitForDialog(
        [answered](HWND window) { return window != answered && GetDlgItem(window, 0xFFFF) != nullptr; });
    if (!box)
        return L"(no message box)";
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

std::wstring BuiltProgramPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\..\\..\\app\\Quorvane.exe";
}

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

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

bool Click(HWND top, int id)
{
    HWND control = FindControl(top, id);
    if (!control)
        return false;
    return PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(control)) != FALSE;
}

bool Type(HWND top, int id, const std::wstring& text)
{
    HWND control = FindControl(top, id);
    DWORD_PTR result = 0;
    return control && SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                          SMTO_ABORTIFHUNG, ProgramWaitLimitMs, &result) != 0;
}

std::wstring TextOf(HWND top, int id)
{
    HWND control = FindControl(top, id);
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    if (control)
        SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            ProgramWaitLimitMs, &copied);
    return text;
}

bool WaitUntil(const CProgram& program, const std::function<bool()>& condition)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= ProgramWaitLimitMs || program.WaitForExit(20))
            return false;
    }
    return true;
}

bool Usable(HWND top, int id)
{
    HWND control = FindControl(top, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}
