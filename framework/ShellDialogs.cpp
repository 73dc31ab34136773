#include "framework/ShellDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/App.h"

namespace {
FolderPicker& CurrentFolderPicker()
{
    static FolderPicker picker;
    return picker;
}

OpenFilePicker& CurrentOpenFilePicker()
{
    static OpenFilePicker picker;
    return picker;
}

SaveFilePicker& CurrentSaveFilePicker()
{
    static SaveFilePicker picker;
    return picker;
}

// The dialog wants NUL-separated pairs ending in two NULs where the filter has bars.
std::vector<wchar_t> FilterPairs(const std::wstring& filter)
{
    std::vector<wchar_t> pairs(filter.begin(), filter.end());
    for (wchar_t& c : pairs) {
        if (c == L'|')
            c = L'\0';
    }
    pairs.push_back(L'\0');
    pairs.push_back(L'\0');
    return pairs;
}

// Frees an item list from the shell with the shell's own allocator.
void FreeItemList(LPITEMIDLIST items)
{
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
}

bool ShowFolderPicker(HWND owner, const std::wstring& title, std::wstring& path)
{
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST items = SHBrowseForFolderW(&info);
    if (!items)
        return false;
    wchar_t chosen[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(items, chosen) != FALSE;
    FreeItemList(items);
    if (ok)
        path = chosen;
    return ok;
}

bool ShowOpenFilePicker(HWND owner, const std::wstring& filter, std::wstring& path)
{
    std::vector<wchar_t> pairs = FilterPairs(filter);
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = pairs.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return false;
    path = file;
    return true;
}

bool ShowSaveFilePicker(HWND owner, const std::wstring& filter, const std::wstring& extension, std::wstring& path)
{
    std::vector<wchar_t> pairs = FilterPairs(filter);
    std::vector<wchar_t> file(32768, L'\0');
    path.copy(file.data(), std::min(path.size(), file.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = pairs.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog))
        return false;
    path = file.data();
    return true;
}
}  // namespace

FolderPicker SetFolderPicker(FolderPicker picker)
{
    return std::exchange(CurrentFolderPicker(), std::move(picker));
}

bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& path)
{
    if (!owner)
        owner = CWinApp::MainWindowHandle();
    if (CurrentFolderPicker())
        return CurrentFolderPicker()(owner, title, path);
    return ShowFolderPicker(owner, title, path);
}

OpenFilePicker SetOpenFilePicker(OpenFilePicker picker)
{
    return std::exchange(CurrentOpenFilePicker(), std::move(picker));
}

bool BrowseForOpenFile(HWND owner, const std::wstring& filter, std::wstring& path)
{
    if (!owner)
        owner = CWinApp::MainWindowHandle();
    if (CurrentOpenFilePicker())
        return CurrentOpenFilePicker()(owner, filter, path);
    return ShowOpenFilePicker(owner, filter, path);
}

SaveFilePicker SetSaveFilePicker(SaveFilePicker picker)
{
    return std::exchange(CurrentSaveFilePicker(), std::move(picker));
}

bool BrowseForSaveFile(HWND owner, const std::wstring& filter, const std::wstring& extension, std::wstring& path)
{
    if (!owner)
        owner = CWinApp::MainWindowHandle();
    if (CurrentSaveFilePicker())
        return CurrentSaveFilePicker()(owner, filter, extension, path);
    return ShowSaveFilePicker(owner, filter, extension, path);
}
