#include "installer/InstallerText.h"

#include <cwctype>

#include "storage/ElementText.h"
#include "storage/SoftwareText.h"

namespace {
size_t FileNameStart(const std::wstring& path)
{
    size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// The position of the dot that starts the file name's extension, or npos.
size_t ExtensionDot(const std::wstring& path)
{
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < FileNameStart(path))
        return std::wstring::npos;
    return dot;
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return text;
}
}  // namespace

std::wstring ImportedInstallerPath(const std::wstring& dataFolder, const CSoftware& record)
{
    return dataFolder + FormatSoftwareId(record) + L"_INSTALL";
}

std::wstring FileNamePart(const std::wstring& path)
{
    return path.substr(FileNameStart(path));
}

void SplitExtension(const std::wstring& path, std::wstring& stem, std::wstring& extension)
{
    size_t dot = ExtensionDot(path);
    if (dot == std::wstring::npos) {
        stem = path;
        extension.clear();
        return;
    }
    stem = path.substr(0, dot);
    extension = path.substr(dot);
}

std::wstring NumberedPath(const std::wstring& stem, int k, const std::wstring& extension)
{
    return stem + L"(" + std::to_wstring(k) + L")" + extension;
}

std::wstring UpperExtension(const std::wstring& path)
{
    size_t dot = ExtensionDot(path);
    return dot == std::wstring::npos ? std::wstring() : Upper(path.substr(dot));
}

bool CarriesOwnIcon(const std::wstring& path)
{
    size_t n = path.size();
    if (n <= 4 || path.rfind(L'.') != n - 4)
        return false;
    std::wstring type = Upper(path.substr(n - 3));
    return type == L"EXE" || type == L"ICO";
}

bool ParseIconLocation(const std::wstring& text, std::wstring& file, int32_t& index)
{
    size_t comma = text.rfind(L',');
    if (comma == std::wstring::npos || comma == 0)
        return false;
    file = text.substr(0, comma);
    index = ParseDecimalInt(text.substr(comma + 1));
    return true;
}

int CopyPercentage(uint64_t copied, uint64_t length)
{
    if (length == 0)
        return 0;
    // Whole numbers give the exact truncated percentage; floating point only where they would overflow.
    if (copied <= UINT64_MAX / 100)
        return static_cast<int>(copied * 100 / length);
    return static_cast<int>(static_cast<double>(copied) / static_cast<double>(length) * 100.0);
}
