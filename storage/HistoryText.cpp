#include "storage/HistoryText.h"

#include <cstdint>

namespace {
void AppendUnit(std::string& bytes, uint32_t unit)
{
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// History files hold UTF-16 code units whatever the width of wchar_t.
void AppendUtf16(std::string& bytes, wchar_t c)
{
    uint32_t code = static_cast<uint32_t>(c);
    if (sizeof(wchar_t) > 2 && code > 0xFFFF && code <= 0x10FFFF) {
        code -= 0x10000;
        AppendUnit(bytes, 0xD800 | (code >> 10));
        AppendUnit(bytes, 0xDC00 | (code & 0x3FF));
    } else {
        AppendUnit(bytes, code & 0xFFFF);
    }
}

std::wstring FromUtf16(const std::vector<uint16_t>& units)
{
    std::wstring text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t unit = units[i];
        if (sizeof(wchar_t) > 2 && unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() &&
            units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            uint32_t low = units[++i];
            text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
        } else {
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    return text;
}
}  // namespace

void ParseHistoryBytes(const std::string& bytes, CStringArray& list)
{
    std::vector<uint16_t> entry;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint16_t unit = static_cast<uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0x000A) {
            list.Add(FromUtf16(entry));
            entry.clear();
        } else {
            entry.push_back(unit);
        }
    }
}

std::string FormatHistoryBytes(const CStringArray& list)
{
    std::string bytes;
    for (const std::wstring& entry : list) {
        for (wchar_t c : entry)
            AppendUtf16(bytes, c);
        AppendUnit(bytes, 0x000A);
    }
    return bytes;
}
