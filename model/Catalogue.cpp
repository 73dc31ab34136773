#include "model/Catalogue.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/LicenceDates.h"
#include "model/TextRules.h"
#include "model/Vocabulary.h"

CSoftwareArray SoftwareList;
CSoftwareArrayArray GroupList;
CStringArray GroupNames;
int CurrentClassifyMode = ClassifyByCategory;
int SortDescending = 0;

namespace {
size_t At(int index)
{
    return static_cast<size_t>(index);
}

std::wstring GroupingName(const CSoftware& record, int mode)
{
    switch (mode) {
    case ClassifyByCategory:
        return CategoryName(record.BasicInfo.Category);
    case ClassifyByCompany:
        return record.BasicInfo.Company;
    default:
        return TypeName(record.BasicInfo.Type);
    }
}

const std::wstring& SortText(const CSoftware& record, int key)
{
    switch (key) {
    case SortByName:
        return record.BasicInfo.Name;
    case SortByUserName:
        return record.RegInfo.UserName;
    default:
        return record.RegInfo.UserEmail;
    }
}

// Puts the list's records in the given order of their current positions.
void Reorder(CSoftwareArray& list, const std::vector<int>& order)
{
    std::vector<CSoftware*> sorted;
    sorted.reserve(order.size());
    for (int position : order)
        sorted.push_back(list[position]);
    list.Items() = std::move(sorted);
}

// Counts, for each position in turn, the earlier positions with a smaller rank.
class CRankCounter {
public:
    explicit CRankCounter(int ranks) : m_tree(At(ranks) + 1, 0) {}
    int CountBelow(int rank) const
    {
        int count = 0;
        for (int i = rank; i > 0; i -= i & -i)
            count += m_tree[At(i)];
        return count;
    }
    void Add(int rank)
    {
        for (int i = rank + 1; i < static_cast<int>(m_tree.size()); i += i & -i)
            ++m_tree[At(i)];
    }

private:
    std::vector<int> m_tree;
};

// The spellings of one class after the passes, given for each of its records in list order the
// spelling and the pass from which it takes part in the class's rotating stretch.
void RotateSpellings(std::vector<int>& spelling, const std::vector<long long>& joins, long long passes,
                     std::vector<size_t>& next)
{
    // The stretch is always a prefix of the class that rotates by one place a pass and grows at its
    // back. Held as a cycle with a front, a rotation only moves the front and a newcomer goes in
    // just before it, so a class costs no more than its members and the places its front moves.
    const size_t members = spelling.size();
    next.resize(members);
    size_t stretch = 0, front = 0, back = 0;
    long long pass = 1;
    while (pass <= passes) {
        for (; stretch < members && joins[stretch] <= pass; ++stretch) {
            next[back] = stretch;
            next[stretch] = stretch == 0 ? 0 : front;
            back = stretch;
        }
        const long long grows = stretch < members ? std::min(joins[stretch], passes + 1) : passes + 1;
        if (stretch > 1) {
            for (long long steps = (grows - pass) % static_cast<long long>(stretch); steps > 0; --steps) {
                back = front;
                front = next[front];
            }
        }
        pass = grows;
    }
    std::vector<int> rotated;
    rotated.reserve(members);
    for (size_t k = 0, at = front; k < stretch; ++k, at = next[at])
        rotated.push_back(spelling[at]);
    rotated.insert(rotated.end(), spelling.begin() + static_cast<std::ptrdiff_t>(stretch), spelling.end());
    spelling = std::move(rotated);
}

// For each text, one more than the number of texts of smaller case classes in front of it.
std::vector<long long> JoiningPasses(const CCaseClassOrder& sorted)
{
    std::vector<int> classOf(sorted.Order.size());
    int classes = 0;
    for (size_t k = 0; k < sorted.Order.size(); ++k) {
        classes += sorted.ClassStarts[k];
        classOf[At(sorted.Order[k])] = classes - 1;
    }
    std::vector<long long> joins(classOf.size());
    CRankCounter counter(classes);
    for (size_t i = 0; i < classOf.size(); ++i) {
        joins[i] = counter.CountBelow(classOf[i]) + 1;
        counter.Add(classOf[i]);
    }
    return joins;
}

// The descending rule swaps a pair when its left key is not greater and the keys are not
// identical, so keys equal but for case (one "class") trade places each time they meet, and the
// outcome depends on the n - 1 passes themselves. What the passes do, reproduced without them:
// - The sequence of classes evolves exactly as in a plain bubble sort of the classes, so it ends
//   sorted, greatest first.
// - Records with identical text never cross, so it is enough to know, per class, the sequence of
//   spellings; the records of each spelling then fill its places in their original order.
// - In a pass the carried record is of the smallest class met so far. It carries a class along
//   only from that class's first record, and only while no smaller class stands before it; over
//   that stretch the class's spellings rotate left by one. Each pass moves every record that has
//   a smaller class in front of it one place forward, past exactly one of those, so with g the
//   number of smaller-class records originally in front of a record, that record belongs to the
//   stretch from pass g + 1 on. The stretch of a class is therefore a prefix of its spellings
//   growing at those passes, and the n - 1 passes reduce to a few rotations of a queue.
// A class of one spelling never changes inside, so without case variants this is the stable
// descending sort.
std::vector<int> DescendingTextOrder(const std::vector<const std::wstring*>& texts)
{
    const CCaseClassOrder sorted = CaseClassOrder(texts);
    const bool variants = std::any_of(sorted.Spellings.begin(), sorted.Spellings.end(), [](int s) { return s != 0; });
    const std::vector<long long> joins = variants ? JoiningPasses(sorted) : std::vector<long long>();
    const long long passes = static_cast<long long>(texts.size()) - 1;

    std::vector<int> order;
    order.reserve(texts.size());
    std::vector<int> spelling, records, spellingStart, nextOfSpelling;
    std::vector<long long> classJoins;
    std::vector<size_t> cycle;
    for (size_t runEnd = sorted.Order.size(); runEnd > 0;) {
        size_t runStart = runEnd - 1;
        while (!sorted.ClassStarts[runStart])
            --runStart;
        const auto first = sorted.Order.begin() + static_cast<std::ptrdiff_t>(runStart);
        const auto end = sorted.Order.begin() + static_cast<std::ptrdiff_t>(runEnd);
        const auto spellings = sorted.Spellings.begin() + static_cast<std::ptrdiff_t>(runStart);
        const int spellingCount = *std::max_element(spellings, spellings + (end - first)) + 1;
        if (spellingCount == 1) {
            order.insert(order.end(), first, end);
        } else {
            spelling.assign(spellings, spellings + (end - first));
            classJoins.clear();
            for (auto member = first; member != end; ++member)
                classJoins.push_back(joins[At(*member)]);
            RotateSpellings(spelling, classJoins, passes, cycle);
            // The records of each spelling, in list order, side by side.
            spellingStart.assign(At(spellingCount) + 1, 0);
            for (auto s = spellings; s != spellings + (end - first); ++s)
                ++spellingStart[At(*s) + 1];
            std::partial_sum(spellingStart.begin(), spellingStart.end(), spellingStart.begin());
            nextOfSpelling = spellingStart;
            records.resize(At(static_cast<int>(end - first)));
            for (auto member = first; member != end; ++member)
                records[At(nextOfSpelling[At(spellings[member - first])]++)] = *member;
            nextOfSpelling = spellingStart;
            for (int text : spelling)
                order.push_back(records[At(nextOfSpelling[At(text)]++)]);
        }
        runEnd = runStart;
    }
    return order;
}

void SortByTexts(CSoftwareArray& list, int key, bool ascending)
{
    std::vector<const std::wstring*> texts;
    texts.reserve(At(list.GetSize()));
    for (const CSoftware* record : list)
        texts.push_back(&SortText(*record, key));
    Reorder(list, ascending ? StableTextOrder(texts, true) : DescendingTextOrder(texts));
}

// The two price rules order prices properly only while no Value is NaN or negative: a negative
// amount is neither free nor priced and compares with the free ones by currency, which closes
// cycles such as 5 AUD > 0 USD > -1 USD > 5 AUD. Large and infinite amounts are harmless.
bool PricesOrdered(const std::vector<std::pair<SoftwarePrice, int>>& prices)
{
    return std::all_of(prices.begin(), prices.end(),
                       [](const std::pair<SoftwarePrice, int>& price) { return price.first.Value >= 0.0f; });
}

bool PriceSwap(const SoftwarePrice& left, const SoftwarePrice& right, bool ascending)
{
    return ascending ? PriceGreater(left, right) : PriceLess(left, right) && PriceDiffers(left, right);
}

void SortByPrices(CSoftwareArray& list, bool ascending)
{
    std::vector<std::pair<SoftwarePrice, int>> prices;
    prices.reserve(At(list.GetSize()));
    for (int i = 0; i < list.GetSize(); ++i)
        prices.emplace_back(list[i]->BasicInfo.Price, i);

    if (PricesOrdered(prices)) {
        // PriceLess(a, b) then implies PriceDiffers(a, b), and both rules are stable sorts.
        std::stable_sort(prices.begin(), prices.end(),
                         [ascending](const std::pair<SoftwarePrice, int>& a, const std::pair<SoftwarePrice, int>& b) {
                             return ascending ? PriceGreater(b.first, a.first) : PriceGreater(a.first, b.first);
                         });
    } else {
        // Values the program never stores: the passes themselves, which never misbehave. A pass
        // without a swap leaves the list as it is, and so would every later one.
        const size_t count = prices.size();
        for (size_t pass = 1; pass < count; ++pass) {
            bool swapped = false;
            for (size_t i = 0; i + 1 < count; ++i) {
                if (PriceSwap(prices[i].first, prices[i + 1].first, ascending)) {
                    std::swap(prices[i], prices[i + 1]);
                    swapped = true;
                }
            }
            if (!swapped)
                break;
        }
    }
    std::vector<int> order;
    order.reserve(prices.size());
    for (const auto& price : prices)
        order.push_back(price.second);
    Reorder(list, order);
}

// ISO dates order as texts do; a record without a valid date has no place in time and goes last
// in both directions, in the list's order.
void SortByExpiryDates(CSoftwareArray& list, bool ascending)
{
    std::vector<std::pair<const std::wstring*, int>> dates;
    dates.reserve(At(list.GetSize()));
    for (int i = 0; i < list.GetSize(); ++i) {
        const std::wstring& expiry = list[i]->ExtraInfo.ExpiryDate;
        dates.emplace_back(IsIsoDate(expiry) ? &expiry : nullptr, i);
    }
    std::stable_sort(dates.begin(), dates.end(), [ascending](const auto& a, const auto& b) {
        if (!a.first || !b.first)
            return a.first && !b.first;
        return ascending ? *a.first < *b.first : *b.first < *a.first;
    });
    std::vector<int> order;
    order.reserve(dates.size());
    for (const auto& date : dates)
        order.push_back(date.second);
    Reorder(list, order);
}
}  // namespace

// Every FindText look-up of the grouping ignores case, so it matches exactly the names equal to
// the record's once a-z become A-Z; the collected names are distinct under that key, which turns
// each linear search into one hash look-up.
bool ClassifyCatalogue(const CSoftwareArray& catalogue, int mode, CSoftwareArrayArray& groups,
                       CStringArray& names)
{
    if (mode < ClassifyByCategory || mode > ClassifyByType)
        return false;
    groups.RemoveAll();
    names.RemoveAll();
    if (catalogue.IsEmpty())
        return true;

    // Category and type values are collected by name, so values outside their tables (which the
    // program never produces) share the empty name instead of forming groups no look-up finds.
    std::unordered_map<std::wstring, int> firstMet;
    std::vector<int> groupOf;
    groupOf.reserve(At(catalogue.GetSize()));
    std::vector<int> groupOfValue(mode == ClassifyByCategory ? CategoryCount : TypeCount, -1);
    for (const CSoftware* record : catalogue) {
        const int value = mode == ClassifyByCategory ? record->BasicInfo.Category : record->BasicInfo.Type;
        const bool tabled = mode != ClassifyByCompany && value >= 0 && value < static_cast<int>(groupOfValue.size());
        if (tabled && groupOfValue[At(value)] >= 0) {
            groupOf.push_back(groupOfValue[At(value)]);
            continue;
        }
        std::wstring name = GroupingName(*record, mode);
        auto found = firstMet.emplace(AsciiUpper(name), names.GetSize());
        if (found.second)
            names.Add(std::move(name));
        groupOf.push_back(found.first->second);
        if (tabled)
            groupOfValue[At(value)] = found.first->second;
    }

    SortTextList(names, true);
    std::vector<int> sortedPosition(At(names.GetSize()));
    std::vector<int> sizes(At(names.GetSize()), 0);
    for (int position = 0; position < names.GetSize(); ++position)
        sortedPosition[At(firstMet.at(AsciiUpper(names[position])))] = position;
    for (int& group : groupOf) {
        group = sortedPosition[At(group)];
        ++sizes[At(group)];
    }

    for (int position = 0; position < names.GetSize(); ++position) {
        CSoftwareArray* group = new CSoftwareArray;
        group->Items().reserve(At(sizes[At(position)]));
        groups.Add(group);
    }
    for (int i = 0; i < catalogue.GetSize(); ++i)
        groups[groupOf[At(i)]]->Add(catalogue[i]);
    return true;
}

void SortSoftwareList(CSoftwareArray& list, bool ascending)
{
    if (list.GetSize() < 2)
        return;
    switch (list.SortKey) {
    case SortByName:
    case SortByUserName:
    case SortByUserEmail:
        SortByTexts(list, list.SortKey, ascending);
        break;
    case SortByPrice:
        SortByPrices(list, ascending);
        break;
    case SortByExpiry:
        SortByExpiryDates(list, ascending);
        break;
    default:
        break;  // no key: no rule ever swaps
    }
}

namespace {
bool IsFree(const SoftwarePrice& price)
{
    return price.Value == 0.0f;
}

bool IsPriced(const SoftwarePrice& price)
{
    return price.Value > 0.0f;
}
}  // namespace

bool PriceGreater(const SoftwarePrice& a, const SoftwarePrice& b)
{
    if (IsPriced(a) && IsFree(b))
        return true;
    if (IsFree(a) && IsPriced(b))
        return false;
    return a.Currency > b.Currency || (a.Currency == b.Currency && a.Value > b.Value);
}

bool PriceLess(const SoftwarePrice& a, const SoftwarePrice& b)
{
    if (IsFree(a) && IsPriced(b))
        return true;
    if (IsPriced(a) && IsFree(b))
        return false;
    return a.Currency < b.Currency || (a.Currency == b.Currency && a.Value < b.Value);
}

bool PriceDiffers(const SoftwarePrice& a, const SoftwarePrice& b)
{
    return a.Currency != b.Currency || a.Value != b.Value;
}

int InsertSoftware(CSoftware* record)
{
    if (!record || SoftwareList.Find(record) >= 0)
        return 0;
    SoftwareList.Add(record);
    ClassifyCatalogue(SoftwareList, CurrentClassifyMode, GroupList, GroupNames);
    return SoftwareList.GetSize();
}

bool RemoveSoftware(const int* positions, int count)
{
    // Positions outside the list, and repeated ones, are ignored: removing one at a time with
    // adjusted positions would otherwise take a neighbouring record instead.
    std::vector<CSoftware*>& items = SoftwareList.Items();
    std::vector<bool> leaving(items.size(), false);
    for (int k = 0; positions && k < count; ++k) {
        if (positions[k] >= 0 && positions[k] < SoftwareList.GetSize())
            leaving[At(positions[k])] = true;
    }
    std::vector<CSoftware*> removed;
    size_t kept = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (leaving[i])
            removed.push_back(items[i]);
        else
            items[kept++] = items[i];
    }
    items.resize(kept);

    const bool grouped = ClassifyCatalogue(SoftwareList, CurrentClassifyMode, GroupList, GroupNames);
    if (!grouped) {
        // The old groups stay; they must not keep the records about to be deleted.
        const std::unordered_set<const CSoftware*> gone(removed.begin(), removed.end());
        for (CSoftwareArray* group : GroupList) {
            std::vector<CSoftware*>& members = group->Items();
            members.erase(std::remove_if(members.begin(), members.end(),
                                         [&gone](const CSoftware* record) { return gone.count(record) != 0; }),
                          members.end());
        }
    }
    if (SoftwareList.IsOwner) {
        for (CSoftware* record : removed)
            delete record;
    }
    return grouped;
}
