#pragma once
// The display icon of a record: a shared icon, or one extracted from the installer file or from
// the icon the system registers for its file type. Extracted icons live in the icon cache
// (installer/IconCache.h), which extracts them when a card first needs one.

#include <windows.h>

#include <cstdint>
#include <string>

#include "model/Software.h"

// Releases the record's icon and makes the cache forget its installer's. Afterwards the record
// holds NoInstallerIcon or ImportedIcon, or none for a referenced installer, whose icon
// CIconCache::IconFor gives.
void UpdateIcon(CSoftware& record);

// The icon file and index registered for an extension (with its dot, for example ".EXE") under
// the classes root; false when there is no class, no DefaultIcon entry, or no "file,index" form.
bool LookupDefaultIcon(const std::wstring& extension, std::wstring& iconFile, int32_t& iconIndex);

// Makes loading a record from its meta-data file refresh the record's icon, which extracts
// nothing. Start-up calls it once the shared icons are loaded.
void InstallIconRefresh();

// Icon index of the file at 48 x 48, else 32 x 32, else 16 x 16; null when none can be extracted.
HICON ExtractIconAtSizes(const std::wstring& file, int32_t index);

// The thin registry layer of the lookup.
enum RegistryRoot {
    RegistryClassesRoot = 0,
    RegistryCurrentConfig = 1,
    RegistryCurrentUser = 2,
    RegistryLocalMachine = 3,
    RegistryUsers = 4,
};
enum class RegistryValueClass { Missing, Text, Number, Other };

// Opens the sub-key of a root for reading; null for an empty sub-key, an unknown root or a failure.
HKEY OpenRegistryKey(int root, const std::wstring& subKey);
// The value's type class and size in bytes; Missing when it cannot be queried.
RegistryValueClass QueryRegistryValue(HKEY key, const wchar_t* name, DWORD& size);
// Reads a text value whose class and size still match the first query; false otherwise.
bool ReadRegistryText(HKEY key, const wchar_t* name, std::wstring& text);
bool CloseRegistryKey(HKEY key);
