#pragma once
// The shell's folder picker and open-file dialog. Each goes through one replaceable function, so
// tests can answer them and see what was asked.

#include <windows.h>

#include <functional>
#include <string>

// Shows the folder picker (file-system folders only, not below the domain, new dialog style).
// True with the chosen folder's path (at most MAX_PATH characters) when the user picked one.
using FolderPicker = std::function<bool(HWND owner, const std::wstring& title, std::wstring& path)>;
FolderPicker SetFolderPicker(FolderPicker picker);
bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& path);

// Shows the open-file dialog for existing files. The filter is in the "Text|*.ext|...||" form,
// its first entry preselected. True with the chosen file's full path.
using OpenFilePicker = std::function<bool(HWND owner, const std::wstring& filter, std::wstring& path)>;
OpenFilePicker SetOpenFilePicker(OpenFilePicker picker);
bool BrowseForOpenFile(HWND owner, const std::wstring& filter, std::wstring& path);

// Shows the save-file dialog, which asks before replacing a file. The filter is in the same form;
// path holds the proposed name on entry and the chosen full path on return; the extension is
// added to a name typed without one. True when the user chose a file.
using SaveFilePicker = std::function<bool(HWND owner, const std::wstring& filter, const std::wstring& extension,
                                          std::wstring& path)>;
SaveFilePicker SetSaveFilePicker(SaveFilePicker picker);
bool BrowseForSaveFile(HWND owner, const std::wstring& filter, const std::wstring& extension, std::wstring& path);
