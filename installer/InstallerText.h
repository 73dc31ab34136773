#pragma once
// The text rules of the installer layer: names of imported copies and exported files, file-type
// extensions and registry icon locations. Free of Win32.

#include <cstdint>
#include <string>

#include "model/Software.h"

// dataFolder + the record's GUID text + "_INSTALL": the imported copy of its installer.
std::wstring ImportedInstallerPath(const std::wstring& dataFolder, const CSoftware& record);

// The file-name part of a path: the text after its last backslash or slash, or the whole text.
std::wstring FileNamePart(const std::wstring& path);

// Splits path before the last dot of its file name (the extension keeps its dot); without a dot
// there the extension is empty. A dot in a folder name never splits.
void SplitExtension(const std::wstring& path, std::wstring& stem, std::wstring& extension);
// stem + "(k)" + extension: the k-th free name for an export onto a taken name.
std::wstring NumberedPath(const std::wstring& stem, int k, const std::wstring& extension);

// The upper-cased extension of the path's file name with its dot, or empty without one.
std::wstring UpperExtension(const std::wstring& path);
// True when the path ends in a dot and exactly three characters that read EXE or ICO in any case:
// a file that carries its own icon.
bool CarriesOwnIcon(const std::wstring& path);

// A registry icon text "file,index": false without a comma after the first character. The index
// follows the C runtime's decimal conversion and may be negative (a resource id).
bool ParseIconLocation(const std::wstring& text, std::wstring& file, int32_t& index);

// The whole-number percentage of copied out of length, truncated; 0 for an empty length.
int CopyPercentage(uint64_t copied, uint64_t length);
