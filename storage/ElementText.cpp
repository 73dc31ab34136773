#include "storage/ElementText.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {
std::wstring OpeningMarker(const std::wstring& name)
{
    return L"<" + name + L">\n";
}

std::wstring ClosingMarker(const std::wstring& name)
{
    return L"</" + name + L">\n";
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}
}  // namespace

void AppendElement(std::wstring& text, const std::wstring& name, const std::wstring& value)
{
    text += OpeningMarker(name);
    text += value;
    text += ClosingMarker(name);
}

bool ExtractElement(const std::wstring& text, std::wstring& value, const std::wstring& name)
{
    if (name.empty())
        return false;
    const std::wstring opening = OpeningMarker(name);
    size_t openAt = text.find(opening);
    if (openAt == std::wstring::npos)
        return false;
    size_t valueAt = openAt + opening.size();
    // The closing marker is searched from the very start, so a stray one in front of the opening
    // marker empties the value.
    size_t closeAt = text.find(ClosingMarker(name));
    if (closeAt == std::wstring::npos || closeAt <= valueAt) {
        value.clear();
        return closeAt != std::wstring::npos;
    }
    value = TrimTextRange(text, valueAt, closeAt);
    return true;
}

int ExtractElementList(const std::wstring& text, CStringArray& list, const std::wstring& name)
{
    if (name.empty())
        return -1;
    list.RemoveAll();
    const std::wstring opening = OpeningMarker(name);
    const std::wstring closing = ClosingMarker(name);
    // Positions into text stand for the shrinking remainder; every round moves past a closing
    // marker, so the scan always ends.
    size_t from = 0;
    for (;;) {
        size_t openAt = text.find(opening, from);
        if (openAt == std::wstring::npos)
            break;
        size_t closeAt = text.find(closing, from);
        if (closeAt == std::wstring::npos)
            break;
        size_t valueAt = openAt + opening.size();
        if (closeAt >= valueAt)
            list.Add(TrimTextRange(text, valueAt, closeAt));  // an empty element gives an empty entry
        // A stray closing marker in front of the element is stepped over without an entry.
        from = closeAt + closing.size();
    }
    return list.GetSize();
}

int32_t ParseDecimalInt(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && IsTrimSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    int64_t magnitude = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit)
            magnitude = limit;  // saturate, and keep consuming digits
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

float ParseDecimalFloat(const std::wstring& text)
{
    // Only plain decimal notation: no hexadecimal, infinity or NaN spellings sneak in from a file.
    size_t i = 0;
    while (i < text.size() && IsTrimSpace(text[i]))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        number.push_back(static_cast<char>(text[i++]));
    size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        number.push_back(static_cast<char>(text[i]));
    if (i < text.size() && text[i] == L'.') {
        number.push_back('.');
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
            number.push_back(static_cast<char>(text[i]));
    }
    if (digits == 0)
        return 0.0f;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-'))
            exponent.push_back(static_cast<char>(text[j++]));
        size_t exponentDigits = 0;
        for (; j < text.size() && IsDigit(text[j]) && exponentDigits < 6; ++j, ++exponentDigits)
            exponent.push_back(static_cast<char>(text[j]));
        if (exponentDigits > 0)
            number += exponent;
    }
    // strtod, not the locale-free-looking wide variant: the program never changes the C locale,
    // and the text here holds only ASCII digits, a sign, a point and an exponent.
    return static_cast<float>(std::strtod(number.c_str(), nullptr));
}
