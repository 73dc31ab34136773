#include "storage/Paths.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

std::wstring BaseFolder;
std::wstring SettingsPath;
std::wstring TempFolder;
std::wstring HistoryFolder;

namespace {
const wchar_t CompanyFolderName[] = L"Orrinwell";
const wchar_t ProgramFolderName[] = L"Quorvane";

struct CTokenHandle {
    HANDLE Handle = nullptr;
    ~CTokenHandle()
    {
        if (Handle)
            CloseHandle(Handle);
    }
};
}  // namespace

void SetPathsFrom(const std::wstring& appDataFolder)
{
    std::wstring root = appDataFolder;
    if (!root.empty() && root.back() == L'\\')
        root.pop_back();
    BaseFolder = root + L"\\" + CompanyFolderName + L"\\" + ProgramFolderName + L"\\";
    SettingsPath = BaseFolder + L"settings.xml";
    TempFolder = BaseFolder + L"Temp\\";
    HistoryFolder = BaseFolder + L"History\\";
}

bool QueryAppDataFolder(std::wstring& folder)
{
    CTokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_READ | TOKEN_QUERY, &token.Handle))
        token.Handle = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, token.Handle, SHGFP_TYPE_CURRENT, path)) || !path[0])
        return false;
    folder = path;
    return true;
}

bool ComputePaths()
{
    std::wstring folder;
    if (!QueryAppDataFolder(folder))
        return false;
    SetPathsFrom(folder);
    return true;
}

void CreateBaseFolder()
{
    if (BaseFolder.empty())
        return;
    // BaseFolder ends "\Orrinwell\Quorvane\": create the company level, then the program level.
    std::wstring program = BaseFolder.substr(0, BaseFolder.size() - 1);
    std::wstring company = program.substr(0, program.find_last_of(L'\\'));
    CreateDirectoryW(company.c_str(), nullptr);
    CreateDirectoryW(program.c_str(), nullptr);
}

bool PathExists(const std::wstring& path, bool directoryWanted)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return !directoryWanted || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderExists(const std::wstring& path, bool directoryWanted)
{
    return !path.empty() && PathExists(path, directoryWanted);
}

void CleanFolder(const std::wstring& folder)
{
    if (folder.empty())
        return;
    // The shell wants the folder without its backslash, ended by two NULs.
    std::vector<wchar_t> source(folder.begin(), folder.end());
    if (source.back() == L'\\')
        source.pop_back();
    source.push_back(L'\0');
    source.push_back(L'\0');
    if (FolderExists(folder, true)) {
        SHFILEOPSTRUCTW operation{};
        operation.hwnd = GetDesktopWindow();
        operation.wFunc = FO_DELETE;
        operation.pFrom = source.data();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        SHFileOperationW(&operation);
    }
    CreateDirectoryW(source.data(), nullptr);
}
