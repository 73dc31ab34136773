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

namespace {
// Code units of upper-cased forms with one added, so that a missing unit (0) sorts before every
// real one, the NUL included; 21 bits hold every unit plus one.
uint64_t PackedUnits(const uint32_t* units, size_t length, size_t from)
{
    uint64_t packed = 0;
    for (size_t i = from; i < from + 3; ++i)
        packed = (packed << 21) | (i < length ? std::min<uint32_t>(units[i], 0x1FFFFE) + 1 : 0);
    return packed;
}

constexpr size_t PackedLength = 6;

// One text of a sort: its first six upper-cased units packed, and its position. Most comparisons
// end on the packed units, read from the entry itself; the entry stays small to move cheaply.
struct CSortEntry {
    uint64_t High;
    uint64_t Low;
    int Index;
};

// The upper-cased forms of all texts side by side in one block: no allocation per text.
class CUpperKeys {
public:
    explicit CUpperKeys(const std::vector<const std::wstring*>& texts) : m_start(texts.size() + 1, 0)
    {
        // The texts lie wherever their records were allocated: ask for each well ahead of its turn,
        // the text's own fields first and its characters later, so the walks wait less on memory.
        for (size_t i = 0; i < texts.size(); ++i) {
            Prefetch(i + 16 < texts.size() ? texts[i + 16] : nullptr);
            m_start[i + 1] = m_start[i] + texts[i]->size();
            Prefetch(i + 8 < texts.size() ? texts[i + 8]->data() : nullptr);
        }
        m_units.resize(m_start.back());
        m_entries.resize(texts.size());
        uint32_t highest = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            Prefetch(i + 8 < texts.size() ? texts[i + 8]->data() : nullptr);
            uint32_t* units = m_units.data() + m_start[i];
            const std::wstring& text = *texts[i];
            for (size_t k = 0; k < text.size(); ++k) {
                units[k] = UpperUnit(text[k]);
                highest = std::max(highest, units[k]);
            }
            m_entries[i] = {PackedUnits(units, text.size(), 0), PackedUnits(units, text.size(), 3), static_cast<int>(i)};
        }
        m_exactPacking = highest <= 0x1FFFFE;
    }
    std::vector<CSortEntry>& Entries() { return m_entries; }
    // Negative, zero or positive as a's upper-cased form sorts before, with or after b's.
    int Compare(const CSortEntry& a, const CSortEntry& b) const
    {
        if (a.High != b.High)
            return a.High < b.High ? -1 : 1;
        if (a.Low != b.Low)
            return a.Low < b.Low ? -1 : 1;
        const size_t aLength = Length(a);
        const size_t bLength = Length(b);
        // The first six units are equal, and a text shorter than that has no more; only units
        // beyond what 21 bits hold (never text, but wchar_t allows them here) are compared again.
        const size_t from = m_exactPacking ? PackedLength : 0;
        if (m_exactPacking && (aLength <= PackedLength || bLength <= PackedLength))
            return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
        const uint32_t* left = m_units.data() + m_start[At(a.Index)];
        const uint32_t* right = m_units.data() + m_start[At(b.Index)];
        const size_t n = std::min(aLength, bLength);
        for (size_t i = from; i < n; ++i) {
            if (left[i] != right[i])
                return left[i] < right[i] ? -1 : 1;
        }
        return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
    }

private:
    static size_t At(int index) { return static_cast<size_t>(index); }
    static void Prefetch(const void* address)
    {
#if defined(__GNUC__)
        if (address)
            __builtin_prefetch(address);
#else
        (void)address;
#endif
    }
    size_t Length(const CSortEntry& entry) const { return m_start[At(entry.Index) + 1] - m_start[At(entry.Index)]; }

    static uint32_t UpperUnit(wchar_t c)
    {
#ifdef _WIN32
        return Unit(PlatformUpperChar(c));
#else
        if (Unit(c) < 0x80)
            return c >= L'a' && c <= L'z' ? Unit(c) - 0x20 : Unit(c);
        // The portable rule is a chain of ranges; one table look-up serves the whole BMP, whose
        // letters all upper-case within it.
        static const std::vector<uint16_t> table = [] {
            std::vector<uint16_t> upper(0x10000);
            for (uint32_t u = 0; u < 0x10000; ++u)
                upper[u] = static_cast<uint16_t>(Unit(PortableUpperChar(static_cast<wchar_t>(u))));
            return upper;
        }();
        return Unit(c) < 0x10000 ? table[Unit(c)] : Unit(PortableUpperChar(c));
#endif
    }

    std::vector<size_t> m_start;  // text i's units are m_units[m_start[i]..m_start[i + 1])
    std::vector<uint32_t> m_units;
    std::vector<CSortEntry> m_entries;
    bool m_exactPacking = true;
};
}  // namespace

// A bubble sort that swaps on TextGreater keeps equal texts in place, so a sort on the upper-cased
// forms that breaks ties by position gives the same order; with that tie-break every pair of
// entries is ordered, so the faster unstable sort is exact.
std::vector<int> StableTextOrder(const std::vector<const std::wstring*>& texts, bool ascending,
                                 std::vector<int>* caseClasses)
{
    CUpperKeys keys(texts);
    std::vector<CSortEntry>& entries = keys.Entries();
    std::sort(entries.begin(), entries.end(), [&keys, ascending](const CSortEntry& a, const CSortEntry& b) {
        const int order = keys.Compare(a, b);
        if (order != 0)
            return ascending ? order < 0 : order > 0;
        return a.Index < b.Index;
    });

    std::vector<int> order;
    order.reserve(entries.size());
    for (const CSortEntry& entry : entries)
        order.push_back(entry.Index);
    if (caseClasses) {
        caseClasses->assign(texts.size(), 0);
        int rank = -1;
        for (size_t k = 0; k < entries.size(); ++k) {
            if (k == 0 || keys.Compare(entries[k - 1], entries[k]) != 0)
                ++rank;
            (*caseClasses)[static_cast<size_t>(entries[k].Index)] = rank;
        }
        if (!ascending) {
            for (int& caseClass : *caseClasses)
                caseClass = rank - caseClass;
        }
    }
    return order;
}

std::vector<int> StableTextOrder(const std::vector<std::wstring>& texts, bool ascending, std::vector<int>* caseClasses)
{
    std::vector<const std::wstring*> addresses;
    addresses.reserve(texts.size());
    for (const std::wstring& text : texts)
        addresses.push_back(&text);
    return StableTextOrder(addresses, ascending, caseClasses);
}

void SortTextList(CStringArray& list, bool ascending)
{
    if (list.GetSize() < 2)
        return;
    const std::vector<int> order = StableTextOrder(list.Items(), ascending);
    std::vector<std::wstring> sorted;
    sorted.reserve(order.size());
    for (int position : order)
        sorted.push_back(std::move(list[position]));
    list.Items() = std::move(sorted);
}
