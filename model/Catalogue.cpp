#include "model/Catalogue.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

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

// Case classes and exact spellings of a list of texts, as ranks.
struct CTextRanks {
    std::vector<int> ClassOf;  // ascending by TextGreater
    std::vector<int> TextOf;   // one per distinct spelling; spellings of one class are adjacent
    int Classes = 0;
    int Texts = 0;
};

// From the ascending order of the texts and the case class of each.
CTextRanks RankTexts(const std::vector<const std::wstring*>& texts, std::vector<int> byText, std::vector<int> classOf)
{
    CTextRanks ranks;
    const int count = static_cast<int>(texts.size());
    ranks.ClassOf = std::move(classOf);
    ranks.TextOf.resize(At(count));
    for (int runStart = 0; runStart < count;) {
        const int caseClass = ranks.ClassOf[At(byText[At(runStart)])];
        int runEnd = runStart + 1;
        while (runEnd < count && ranks.ClassOf[At(byText[At(runEnd)])] == caseClass)
            ++runEnd;
        // A class of one record has one spelling, and the order of a pair is one comparison.
        if (runEnd - runStart == 2) {
            const int a = byText[At(runStart)];
            const int b = byText[At(runStart + 1)];
            if (CompareCodeUnits(*texts[At(b)], *texts[At(a)]) < 0)
                std::swap(byText[At(runStart)], byText[At(runStart + 1)]);
        } else if (runEnd - runStart > 2) {
            std::sort(byText.begin() + runStart, byText.begin() + runEnd, [&texts](int a, int b) {
                const int exact = CompareCodeUnits(*texts[At(a)], *texts[At(b)]);
                return exact != 0 ? exact < 0 : a < b;
            });
        }
        for (int k = runStart; k < runEnd; ++k) {
            if (k == runStart || *texts[At(byText[At(k)])] != *texts[At(byText[At(k - 1)])])
                ++ranks.Texts;
            ranks.TextOf[At(byText[At(k)])] = ranks.Texts - 1;
        }
        ranks.Classes = caseClass + 1;
        runStart = runEnd;
    }
    return ranks;
}

// Positions grouped by a rank, each group in list order: group r is members[start[r]..start[r+1]).
struct CBuckets {
    std::vector<int> Start;
    std::vector<int> Members;
};

CBuckets Bucket(const std::vector<int>& rankOf, int ranks)
{
    CBuckets buckets;
    buckets.Start.assign(At(ranks) + 1, 0);
    for (int rank : rankOf)
        ++buckets.Start[At(rank) + 1];
    std::partial_sum(buckets.Start.begin(), buckets.Start.end(), buckets.Start.begin());
    std::vector<int> fill(buckets.Start.begin(), buckets.Start.end() - 1);
    buckets.Members.resize(rankOf.size());
    for (size_t i = 0; i < rankOf.size(); ++i)
        buckets.Members[At(fill[At(rankOf[i])]++)] = static_cast<int>(i);
    return buckets;
}

// The spellings of one class after the passes, given for each of its records in list order the
// spelling and the pass from which it takes part in the class's rotating stretch. The result goes
// to the end of spellings' own buffer, which the caller reuses from class to class.
void RotateSpellings(std::vector<int>& spelling, const std::vector<long long>& joins, long long passes)
{
    // The stretch is always a prefix of the class: it grows by the next member and rotates in place.
    size_t stretch = 0;
    long long pass = 1;
    while (pass <= passes) {
        while (stretch < spelling.size() && joins[stretch] <= pass)
            ++stretch;
        const long long grows = stretch < spelling.size() ? std::min(joins[stretch], passes + 1) : passes + 1;
        if (stretch > 1) {
            const long long steps = (grows - pass) % static_cast<long long>(stretch);
            std::rotate(spelling.begin(), spelling.begin() + static_cast<std::ptrdiff_t>(steps),
                        spelling.begin() + static_cast<std::ptrdiff_t>(stretch));
        }
        pass = grows;
    }
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
std::vector<int> DescendingTextOrder(const std::vector<const std::wstring*>& texts)
{
    std::vector<int> classes;
    std::vector<int> ascending = StableTextOrder(texts, true, &classes);
    bool oneSpellingEach = true;
    for (size_t k = 1; k < ascending.size() && oneSpellingEach; ++k) {
        const size_t before = At(ascending[k - 1]);
        const size_t at = At(ascending[k]);
        oneSpellingEach = classes[before] != classes[at] || *texts[before] == *texts[at];
    }
    if (oneSpellingEach) {
        // No pair of one class is then ever swapped: the passes make a stable sort, greatest
        // first, which is the ascending order with its runs of one class taken from the back.
        std::vector<int> descending;
        descending.reserve(ascending.size());
        for (size_t runEnd = ascending.size(); runEnd > 0;) {
            size_t runStart = runEnd - 1;
            while (runStart > 0 && classes[At(ascending[runStart - 1])] == classes[At(ascending[runEnd - 1])])
                --runStart;
            descending.insert(descending.end(), ascending.begin() + static_cast<std::ptrdiff_t>(runStart),
                              ascending.begin() + static_cast<std::ptrdiff_t>(runEnd));
            runEnd = runStart;
        }
        return descending;
    }

    const CTextRanks ranks = RankTexts(texts, std::move(ascending), std::move(classes));
    const CBuckets byClass = Bucket(ranks.ClassOf, ranks.Classes);
    const CBuckets bySpelling = Bucket(ranks.TextOf, ranks.Texts);
    std::vector<long long> joins(texts.size());
    CRankCounter counter(ranks.Classes);
    for (size_t i = 0; i < texts.size(); ++i) {
        joins[i] = counter.CountBelow(ranks.ClassOf[i]) + 1;
        counter.Add(ranks.ClassOf[i]);
    }

    const long long passes = static_cast<long long>(texts.size()) - 1;
    std::vector<int> order;
    order.reserve(texts.size());
    std::vector<int> nextOfSpelling(bySpelling.Start.begin(), bySpelling.Start.end() - 1);
    std::vector<int> spelling;
    std::vector<long long> classJoins;
    for (int c = ranks.Classes - 1; c >= 0; --c) {
        const auto first = byClass.Members.begin() + byClass.Start[At(c)];
        const auto end = byClass.Members.begin() + byClass.Start[At(c) + 1];
        const int firstSpelling = ranks.TextOf[At(*first)];
        if (bySpelling.Start[At(firstSpelling) + 1] - bySpelling.Start[At(firstSpelling)] == end - first) {
            order.insert(order.end(), first, end);  // one spelling: nothing moves within the class
            continue;
        }
        spelling.clear();
        classJoins.clear();
        for (auto member = first; member != end; ++member) {
            spelling.push_back(ranks.TextOf[At(*member)]);
            classJoins.push_back(joins[At(*member)]);
        }
        RotateSpellings(spelling, classJoins, passes);
        for (int text : spelling)
            order.push_back(bySpelling.Members[At(nextOfSpelling[At(text)]++)]);
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
