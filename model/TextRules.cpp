#include "model/TextRules.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <utility>
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
// One text of a sort: one level of its key, its position and its length. Level L of a key holds
// the upper-cased units from L times the units per key on, the first in the highest bits; a unit
// past the end counts 0, like a NUL, which leaves the length to tell such texts apart at the end.
struct CSortEntry {
    uint64_t Key;
    uint32_t Index;
    uint32_t Length;
};

// A run of entries whose keys are equal up to the level before this one.
struct CTiedRun {
    size_t Begin;
    size_t End;
    uint32_t Level;
};

uint32_t DigitOf(const CSortEntry& entry, int digit)
{
    return static_cast<uint32_t>(entry.Key >> (8 * digit)) & 0xFF;
}

// Stable, so equal keys stay in the order of positions. A byte that is the same in every key (the
// high byte of every Latin unit) costs no pass.
void RadixSort(CSortEntry* first, CSortEntry* last, CSortEntry* scratch)
{
    const size_t count = static_cast<size_t>(last - first);
    std::array<std::array<uint32_t, 256>, 8> places{};
    for (const CSortEntry* entry = first; entry != last; ++entry) {
        for (int digit = 0; digit < 8; ++digit)
            ++places[static_cast<size_t>(digit)][DigitOf(*entry, digit)];
    }
    CSortEntry* from = first;
    CSortEntry* to = scratch;
    for (int digit = 0; digit < 8; ++digit) {
        std::array<uint32_t, 256>& place = places[static_cast<size_t>(digit)];
        if (place[DigitOf(*from, digit)] == count)
            continue;
        uint32_t next = 0;
        for (uint32_t& slot : place)
            next += std::exchange(slot, next);
        for (const CSortEntry* entry = from; entry != from + count; ++entry)
            to[place[DigitOf(*entry, digit)]++] = *entry;
        std::swap(from, to);
    }
    if (from != first)
        std::copy(from, from + count, first);
}

// Stable too; the short runs that ties leave are cheaper this way than by counting.
void InsertionSort(CSortEntry* first, CSortEntry* last)
{
    for (CSortEntry* next = first + 1; next < last; ++next) {
        const CSortEntry moving = *next;
        CSortEntry* hole = next;
        for (; hole > first && (hole - 1)->Key > moving.Key; --hole)
            *hole = *(hole - 1);
        *hole = moving;
    }
}

// All texts copied side by side once, each read from its record a single time, then sorted level by
// level: every entry by its first level, each long run still tied by the next, and so on, while a
// few tied texts are compared to their ends. Most of the work is on keys held in the entries, none
// on the texts where their records keep them.
class CTextSort {
public:
    explicit CTextSort(const std::vector<const std::wstring*>& texts)
    {
        Copy(texts);
        Sort();
    }
    const std::vector<CSortEntry>& Entries() const { return m_entries; }
    // For each place of the ascending order, whether a case class begins there.
    const std::vector<unsigned char>& ClassStarts() const { return m_classStarts; }
    // Negative, zero or positive as text a's code units sort before, with or after text b's, for
    // two texts of one length.
    int CompareSpellings(uint32_t a, uint32_t b, uint32_t length) const
    {
        const wchar_t* left = Units(a);
        const wchar_t* right = Units(b);
        for (uint32_t i = 0; i < length; ++i) {
            if (left[i] != right[i])
                return Unit(left[i]) < Unit(right[i]) ? -1 : 1;
        }
        return 0;
    }

private:
    static void Prefetch(const void* address)
    {
#if defined(__GNUC__)
        __builtin_prefetch(address);
#else
        (void)address;
#endif
    }

    void Copy(const std::vector<const std::wstring*>& texts)
    {
        const size_t count = texts.size();
        m_start.resize(count + 1);
        m_units.reserve(count * 16);
        // The texts lie wherever their records were allocated: ask for each well ahead of its turn,
        // the text's own fields first and its characters later, so the walk waits less on memory.
        for (size_t i = 0; i < count; ++i) {
            if (i + 16 < count)
                Prefetch(texts[i + 16]);
            if (i + 8 < count)
                Prefetch(texts[i + 8]->data());
            const std::wstring& text = *texts[i];
            m_start[i] = m_units.size();
            m_units.insert(m_units.end(), text.begin(), text.end());
        }
        m_start[count] = m_units.size();
        // Four units of 16 bits per key hold every upper-cased form, unless (where wchar_t is
        // wider) a unit lies beyond them, whose upper-cased form is then itself.
        uint32_t all = 0;
        if (sizeof(wchar_t) > 2) {
            for (wchar_t c : m_units)
                all |= Unit(c);
        }
        if (all > 0xFFFF) {
            m_unitBits = 32;
            m_unitsPerKey = 2;
        }
    }

    void Sort()
    {
        const size_t count = m_start.size() - 1;
        m_entries.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const uint32_t index = static_cast<uint32_t>(i);
            m_entries[i] = {KeyAt(index, 0), index, static_cast<uint32_t>(m_start[i + 1] - m_start[i])};
        }
        m_scratch.resize(count);
        SortRun(0, count);
        m_classStarts.assign(count, 0);
        MarkClassStarts(0, count);
        SettleTies(0, count, 0);
        while (!m_pending.empty()) {
            const CTiedRun run = m_pending.back();
            m_pending.pop_back();
            // The copied texts are read here in no particular order: ask for them ahead.
            const size_t from = static_cast<size_t>(run.Level) * m_unitsPerKey;
            for (size_t k = run.Begin; k < run.End; ++k) {
                if (k + 8 < run.End)
                    Prefetch(Units(m_entries[k + 8].Index) + from);
                m_entries[k].Key = KeyAt(m_entries[k].Index, run.Level);
            }
            SortRun(run.Begin, run.End);
            MarkClassStarts(run.Begin, run.End);
            SettleTies(run.Begin, run.End, run.Level);
        }
        m_scratch.clear();
        m_scratch.shrink_to_fit();
    }

    uint64_t KeyAt(uint32_t index, uint32_t level) const
    {
        const wchar_t* units = Units(index);
        const size_t length = m_start[index + 1] - m_start[index];
        const size_t from = static_cast<size_t>(level) * m_unitsPerKey;
        uint64_t key = 0;
        for (size_t i = from; i < from + m_unitsPerKey; ++i)
            key = (key << m_unitBits) | (i < length ? UpperUnit(units[i]) : 0);
        return key;
    }

    void SortRun(size_t begin, size_t end)
    {
        if (end - begin <= 32)
            InsertionSort(m_entries.data() + begin, m_entries.data() + end);
        else
            RadixSort(m_entries.data() + begin, m_entries.data() + end, m_scratch.data());
    }

    // Inside a run that was tied, a class begins wherever the key changes.
    void MarkClassStarts(size_t begin, size_t end)
    {
        if (begin < end && begin == 0)
            m_classStarts[0] = 1;
        for (size_t k = begin + 1; k < end; ++k)
            m_classStarts[k] = m_entries[k].Key != m_entries[k - 1].Key;
    }

    // Each run of equal keys at this level goes on to the next level while one of its texts goes
    // on; otherwise its texts differ at most in trailing NULs, and the shorter sorts first.
    void SettleTies(size_t begin, size_t end, uint32_t level)
    {
        const size_t levelEnd = static_cast<size_t>(level + 1) * m_unitsPerKey;
        for (size_t runStart = begin; runStart < end;) {
            size_t runEnd = runStart + 1;
            uint32_t shortest = m_entries[runStart].Length;
            uint32_t longest = shortest;
            while (runEnd < end && m_entries[runEnd].Key == m_entries[runStart].Key) {
                shortest = std::min(shortest, m_entries[runEnd].Length);
                longest = std::max(longest, m_entries[runEnd].Length);
                ++runEnd;
            }
            if (longest > levelEnd && runEnd - runStart <= 8) {
                SettleByComparing(runStart, runEnd, levelEnd);
            } else if (longest > levelEnd) {
                m_pending.push_back({runStart, runEnd, level + 1});
            } else if (shortest != longest) {
                const auto first = m_entries.begin() + static_cast<std::ptrdiff_t>(runStart);
                const auto last = m_entries.begin() + static_cast<std::ptrdiff_t>(runEnd);
                std::stable_sort(first, last, [](const CSortEntry& a, const CSortEntry& b) { return a.Length < b.Length; });
                for (size_t k = runStart + 1; k < runEnd; ++k)
                    m_classStarts[k] = m_entries[k].Length != m_entries[k - 1].Length;
            }
            runStart = runEnd;
        }
    }

    // A few texts, such as the spellings of one class, are compared to their ends at once: each is
    // then read from memory once instead of once a level.
    void SettleByComparing(size_t begin, size_t end, size_t from)
    {
        CSortEntry* first = m_entries.data() + begin;
        CSortEntry* last = m_entries.data() + end;
        for (CSortEntry* next = first + 1; next < last; ++next) {
            const CSortEntry moving = *next;
            CSortEntry* hole = next;
            for (; hole > first && CompareFrom(*(hole - 1), moving, from) > 0; --hole)
                *hole = *(hole - 1);
            *hole = moving;
        }
        for (size_t k = begin + 1; k < end; ++k)
            m_classStarts[k] = CompareFrom(m_entries[k - 1], m_entries[k], from) != 0;
    }

    // The order of two texts whose keys were equal before unit from.
    int CompareFrom(const CSortEntry& a, const CSortEntry& b, size_t from) const
    {
        const wchar_t* left = Units(a.Index);
        const wchar_t* right = Units(b.Index);
        const size_t n = std::min(a.Length, b.Length);
        for (size_t i = from; i < n; ++i) {
            const uint32_t l = UpperUnit(left[i]);
            const uint32_t r = UpperUnit(right[i]);
            if (l != r)
                return l < r ? -1 : 1;
        }
        return a.Length < b.Length ? -1 : (a.Length > b.Length ? 1 : 0);
    }

    const wchar_t* Units(uint32_t index) const { return m_units.data() + m_start[index]; }

    static uint32_t UpperUnit(wchar_t c)
    {
#ifdef _WIN32
        // The same table as every other comparison of the program, so the order cannot differ.
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

    std::vector<size_t> m_start;  // text i is m_units[m_start[i]..m_start[i + 1])
    std::vector<wchar_t> m_units;
    std::vector<CSortEntry> m_entries;
    std::vector<CSortEntry> m_scratch;
    std::vector<unsigned char> m_classStarts;
    std::vector<CTiedRun> m_pending;
    int m_unitBits = 16;
    uint32_t m_unitsPerKey = 4;
};

// The places of the ascending order taken class by class from the back, each class's own order
// kept: the stable descending order.
std::vector<int> ClassesReversed(const std::vector<CSortEntry>& entries, const std::vector<unsigned char>& classStarts)
{
    std::vector<int> order;
    order.reserve(entries.size());
    for (size_t runEnd = entries.size(); runEnd > 0;) {
        size_t runStart = runEnd - 1;
        while (!classStarts[runStart])
            --runStart;
        for (size_t k = runStart; k < runEnd; ++k)
            order.push_back(static_cast<int>(entries[k].Index));
        runEnd = runStart;
    }
    return order;
}
}  // namespace

// A bubble sort that swaps on TextGreater keeps equal texts in place, so a stable sort on the
// upper-cased forms gives the same order.
std::vector<int> StableTextOrder(const std::vector<const std::wstring*>& texts, bool ascending)
{
    const CTextSort sort(texts);
    if (!ascending)
        return ClassesReversed(sort.Entries(), sort.ClassStarts());
    std::vector<int> order;
    order.reserve(texts.size());
    for (const CSortEntry& entry : sort.Entries())
        order.push_back(static_cast<int>(entry.Index));
    return order;
}

std::vector<int> StableTextOrder(const std::vector<std::wstring>& texts, bool ascending)
{
    std::vector<const std::wstring*> addresses;
    addresses.reserve(texts.size());
    for (const std::wstring& text : texts)
        addresses.push_back(&text);
    return StableTextOrder(addresses, ascending);
}

CCaseClassOrder CaseClassOrder(const std::vector<const std::wstring*>& texts)
{
    const CTextSort sort(texts);
    const std::vector<CSortEntry>& entries = sort.Entries();
    CCaseClassOrder sorted;
    sorted.ClassStarts = sort.ClassStarts();
    sorted.Order.reserve(entries.size());
    for (const CSortEntry& entry : entries)
        sorted.Order.push_back(static_cast<int>(entry.Index));
    sorted.Spellings.assign(entries.size(), 0);
    // The texts of one class have one length and differ at most in case; only classes of three or
    // more need their spellings put in order to be told apart.
    std::vector<size_t> places;
    for (size_t runStart = 0; runStart < entries.size();) {
        size_t runEnd = runStart + 1;
        while (runEnd < entries.size() && !sorted.ClassStarts[runEnd])
            ++runEnd;
        const uint32_t length = entries[runStart].Length;
        if (runEnd - runStart == 2) {
            sorted.Spellings[runStart + 1] = sort.CompareSpellings(entries[runStart].Index, entries[runStart + 1].Index, length) != 0;
        } else if (runEnd - runStart > 2) {
            places.resize(runEnd - runStart);
            std::iota(places.begin(), places.end(), runStart);
            std::sort(places.begin(), places.end(), [&](size_t a, size_t b) {
                return sort.CompareSpellings(entries[a].Index, entries[b].Index, length) < 0;
            });
            int spelling = 0;
            for (size_t k = 1; k < places.size(); ++k) {
                if (sort.CompareSpellings(entries[places[k - 1]].Index, entries[places[k]].Index, length) != 0)
                    ++spelling;
                sorted.Spellings[places[k]] = spelling;
            }
        }
        runStart = runEnd;
    }
    return sorted;
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

bool IsTrimSpace(wchar_t c)
{
    switch (c) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
    case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

std::wstring TrimTextRange(const std::wstring& text, size_t begin, size_t end)
{
    end = std::min(end, text.size());
    while (begin < end && IsTrimSpace(text[begin]))
        ++begin;
    while (end > begin && IsTrimSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring TrimText(const std::wstring& text)
{
    return TrimTextRange(text, 0, text.size());
}

size_t ShownLineLength(const std::wstring& text)
{
    if (text.size() <= LongestShownLine)
        return text.size();
    size_t length = LongestShownLine;
    const wchar_t last = text[length - 1];
    if (last >= 0xD800 && last <= 0xDBFF)
        --length;  // a high surrogate whose partner lies past the cut
    return length;
}
