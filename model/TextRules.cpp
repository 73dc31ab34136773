#include "model/TextRules.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
// wchar_t is unsigned 16-bit on Windows but signed 32-bit on Linux; the order is the unsigned one.
uint32_t Unit(wchar_t c)
{
    return static_cast<uint32_t>(c);
}

wchar_t Shifted(wchar_t c, int delta)
{
    return static_cast<wchar_t>(static_cast<int32_t>(Unit(c)) + delta);
}

#ifdef _WIN32
// CharUpperBuffW on each code unit once, so sorting a large catalogue costs no call per character.
class CUpperTable {
public:
    CUpperTable() : m_upper(0x10000)
    {
        for (uint32_t u = 0; u < 0x10000; ++u) {
            WCHAR c = static_cast<WCHAR>(u);
            CharUpperBuffW(&c, 1);
            m_upper[u] = c;
        }
    }
    wchar_t operator[](wchar_t c) const { return m_upper[Unit(c)]; }

private:
    std::vector<wchar_t> m_upper;
};
#endif
}  // namespace

wchar_t PortableUpperChar(wchar_t c)
{
    const uint32_t u = Unit(c);
    if (u >= L'a' && u <= L'z')
        return Shifted(c, -0x20);
    if (u < 0xE0)
        return c;
    if (u <= 0xFE)
        return u == 0xF7 ? c : Shifted(c, -0x20);  // not the division sign
    if (u == 0xFF)
        return static_cast<wchar_t>(0x178);
    // Latin Extended-A pairs capital then small, except around the dotless i and the long s.
    if (u <= 0x137)
        return (u & 1) && u != 0x131 ? Shifted(c, -1) : c;
    if (u <= 0x148)
        return (u & 1) || u == 0x138 ? c : Shifted(c, -1);
    if (u <= 0x149)
        return c;
    if (u <= 0x177)
        return (u & 1) ? Shifted(c, -1) : c;
    if (u == 0x17A || u == 0x17C || u == 0x17E)
        return Shifted(c, -1);
    if (u < 0x386)
        return c;
    // Greek base letters; the final sigma stays.
    if (u == 0x3AC)
        return static_cast<wchar_t>(0x386);
    if (u >= 0x3AD && u <= 0x3AF)
        return Shifted(c, -0x25);
    if (u >= 0x3B1 && u <= 0x3CB)
        return u == 0x3C2 ? c : Shifted(c, -0x20);
    if (u == 0x3CC)
        return static_cast<wchar_t>(0x38C);
    if (u == 0x3CD || u == 0x3CE)
        return Shifted(c, -0x3F);
    // Cyrillic base letters.
    if (u >= 0x430 && u <= 0x44F)
        return Shifted(c, -0x20);
    if (u >= 0x450 && u <= 0x45F)
        return Shifted(c, -0x50);
    if (u >= 0xFF41 && u <= 0xFF5A)
        return Shifted(c, -0x20);
    return c;
}

wchar_t PlatformUpperChar(wchar_t c)
{
#ifdef _WIN32
    static const CUpperTable table;
    return table[c];
#else
    return PortableUpperChar(c);
#endif
}

std::wstring PlatformUpper(const std::wstring& text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = PlatformUpperChar(c);
    return upper;
}

int CompareCodeUnits(const std::wstring& a, const std::wstring& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return Unit(a[i]) < Unit(b[i]) ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool TextGreater(const std::wstring& a, const std::wstring& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const uint32_t left = Unit(PlatformUpperChar(a[i]));
        const uint32_t right = Unit(PlatformUpperChar(b[i]));
        if (left != right)
            return left > right;
    }
    return a.size() > b.size();
}

std::wstring AsciiUpper(const std::wstring& text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
    }
    return upper;
}

bool SameTextOtherCase(const std::wstring& a, const std::wstring& b)
{
    if (a == b || a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t left = a[i], right = b[i];
        if (left >= L'a' && left <= L'z')
            left = static_cast<wchar_t>(left - (L'a' - L'A'));
        if (right >= L'a' && right <= L'z')
            right = static_cast<wchar_t>(right - (L'a' - L'A'));
        if (left != right)
            return false;
    }
    return true;
}

int FindText(const CStringArray& list, const std::wstring& text, bool ignoreCase)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (list[i] == text || (ignoreCase && SameTextOtherCase(list[i], text)))
            return i;
    }
    return -1;
}

// A bubble sort that swaps on TextGreater keeps equal texts in place, so a stable sort on the
// upper-cased forms gives the same order.
void SortTextList(CStringArray& list, bool ascending)
{
    const int count = list.GetSize();
    if (count < 2)
        return;
    std::vector<std::wstring> upper;
    upper.reserve(static_cast<size_t>(count));
    for (const std::wstring& text : list)
        upper.push_back(PlatformUpper(text));
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&upper, ascending](int a, int b) {
        const int compared = CompareCodeUnits(upper[static_cast<size_t>(a)], upper[static_cast<size_t>(b)]);
        return ascending ? compared < 0 : compared > 0;
    });
    std::vector<std::wstring> sorted;
    sorted.reserve(static_cast<size_t>(count));
    for (int position : order)
        sorted.push_back(std::move(list[position]));
    list.Items() = std::move(sorted);
}
