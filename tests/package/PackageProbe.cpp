// The package test's hands and eyes inside Wine (tests/package/package_tests.sh runs it):
//   package_probe first-start EXE [DATAFOLDER]  starts EXE, answers the settings warning and the greeting;
//                                               then cancels Options (the program ends) or gives it
//                                               DATAFOLDER, keeps it, and closes the main window
//   package_probe start EXE                     starts EXE, which must open its main window with no
//                                               message first, and closes it
//   package_probe version EXE                   prints the file version in EXE's version resource
//   package_probe shortcut LNK                  prints the target, working folder and icon of a shortcut
// Each step waits up to a limit; a failure prints what was found instead and exits with 1.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/FirstStartTexts.h"
#include "tests/app/ProgramDriver.h"

namespace {
void Print(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    bytes += '\n';
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

// Message texts on one line, so a failure reads clearly.
std::wstring OneLine(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c == L'\n')
            c = L'|';
    }
    return text;
}

int Fail(const std::wstring& what)
{
    Print(L"FAILED: " + what);
    return 1;
}

// The program uses the real per-user folder; only the test script's marked prefix may be used so.
bool InPrivatePrefix()
{
    wchar_t marker[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"QV_PRIVATE_PREFIX_MARKER", marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD attributes = GetFileAttributesW(marker);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsMessageBox(HWND window)
{
    return GetDlgItem(window, 0xFFFF) != nullptr;
}

std::wstring TitleOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Expects a message box with exactly this text, after the one answered before, and presses OK.
bool AnswerMessage(const CProgram& program, const wchar_t* expected, HWND& box, HWND answered, const wchar_t* what)
{
    std::wstring text = program.WaitForMessageBox(box, answered);
    if (text != expected) {
        Fail(std::wstring(L"expected the ") + what + L" \"" + OneLine(expected) + L"\", found \"" + OneLine(text) +
             L"\"");
        return false;
    }
    Print(std::wstring(L"answered the ") + what);
    Press(box, IDOK);
    return true;
}

// Closes the main window as its close button would and waits for the program to end with 0.
int CloseMainWindow(const CProgram& program, HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!program.WaitForExit())
        return Fail(L"the program did not end after its main window was closed");
    if (program.ExitCode() != 0)
        return Fail(L"the program ended with exit code " + std::to_wstring(program.ExitCode()));
    Print(L"closed the main window; the program ended");
    return 0;
}

int FirstStart(const std::wstring& exe, const std::wstring& dataFolder)
{
    CProgram program(exe);
    if (!program.Started())
        return Fail(L"could not start " + exe + L" (error " + std::to_wstring(GetLastError()) + L")");
    Print(L"started " + exe);
    HWND warning = nullptr, greeting = nullptr;
    if (!AnswerMessage(program, SettingsResetText, warning, nullptr, L"settings warning") ||
        !AnswerMessage(program, GreetingText, greeting, warning, L"greeting"))
        return 1;
    HWND options = program.WaitForWindow(L"Options");
    if (!options)
        return Fail(L"no Options dialog after the greeting");
    if (dataFolder.empty()) {
        Press(options, IDCANCEL);  // declining the data folder ends the program
        if (!program.WaitForExit())
            return Fail(L"the program did not end when Options was cancelled");
        Print(L"cancelled Options; the program ended");
        return 0;
    }
    if (!Type(options, IDC_OPTIONS_DATA_FOLDER, dataFolder) || !Click(options, IDOK))
        return Fail(L"could not set the data folder in Options");
    HWND question = nullptr;
    std::wstring text = program.WaitForMessageBox(question, greeting);
    if (text != SystemPartitionQuestionText)
        return Fail(L"expected the question about the system drive, found \"" + OneLine(text) + L"\"");
    Press(question, IDNO);  // keep the folder
    Print(L"set the data folder " + dataFolder);
    HWND window = program.WaitForWindow(L"Quorvane");
    if (!window)
        return Fail(L"no main window after Options");
    return CloseMainWindow(program, window);
}

int Start(const std::wstring& exe)
{
    CProgram program(exe);
    if (!program.Started())
        return Fail(L"could not start " + exe + L" (error " + std::to_wstring(GetLastError()) + L")");
    Print(L"started " + exe);
    HWND first = program.WaitForDialog(
        [](HWND window) { return IsMessageBox(window) || TitleOf(window) == L"Quorvane"; });
    if (!first)
        return Fail(L"no main window");
    if (IsMessageBox(first)) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(first, 0xFFFF, text, 1024);
        return Fail(L"a message came before the main window: \"" + OneLine(text) + L"\"");
    }
    Print(L"the main window opened with no message");
    return CloseMainWindow(program, first);
}

int Version(const std::wstring& exe)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size == 0)
        return Fail(L"no version resource in " + exe);
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || length < sizeof *info)
        return Fail(L"unreadable version resource in " + exe);
    Print(std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
          L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
          std::to_wstring(LOWORD(info->dwFileVersionLS)));
    return 0;
}

int Shortcut(const std::wstring& path)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return Fail(L"COM did not start");
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int iconIndex = 0;
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)) &&
                SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &iconIndex));
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    if (!read)
        return Fail(L"could not read the shortcut " + path);
    Print(L"target=" + std::wstring(target));
    Print(L"folder=" + std::wstring(folder));
    Print(L"icon=" + std::wstring(icon) + L"," + std::to_wstring(iconIndex));
    return 0;
}

int Usage()
{
    Print(L"usage: package_probe first-start EXE [DATAFOLDER] | start EXE | version EXE | shortcut LNK");
    return 2;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Usage();
    const std::wstring command = argv[1], path = argv[2];
    if (command == L"version" && argc == 3)
        return Version(path);
    if (command == L"shortcut" && argc == 3)
        return Shortcut(path);
    if (command != L"first-start" && command != L"start")
        return Usage();
    if (!InPrivatePrefix())
        return Fail(L"not inside the private Wine prefix of scripts/test.sh: the program would use this user's own "
                    L"per-user folder");
    if (command == L"start" && argc == 3)
        return Start(path);
    if (command == L"first-start" && (argc == 3 || argc == 4))
        return FirstStart(path, argc == 4 ? argv[3] : L"");
    return Usage();
}
