#include "model/Catalogue.h"

#include <algorithm>
#include <cstdint>
#include <deque>
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

void RotateLeft(std::deque<int>& queue, long long steps)
{
    const long long size = static_cast<long long>(queue.size());
    if (size < 2)
        return;
    steps %= size;
    if (steps <= size / 2) {
        for (long long i = 0; i < steps; ++i) {
            queue.push_back(queue.front());
            queue.pop_front();
        }
    } else {
        for (long long i = steps; i < size; ++i) {
            queue.push_front(queue.back());
            queue.pop_back();
        }
    }
}

// The descending rule swaps a pair when its left key is not greater and the keys are not
// identical, so keys equal but for case (a "class") trade places each time they meet, and the
// outcome depends on the n - 1 passes themselves. What the passes do, reproduced here without them:
// - The sequence of classes evolves exactly as in a plain bubble sort of the classes, so it ends
//   sorted, greatest first.
// - Records with identical text never cross, so it is enough to know, per class, the sequence of
//   texts; the records of each text then fill its places in their original order.
// - In a pass the carried record is of the smallest class met so far. It carries a class along
//   only from that class's first record, and only while no smaller class stands before it; over
//   that stretch the class's texts rotate left by one. Each pass moves every record that has a
//   smaller class in front of it one place forward, past exactly one of those, so with g the number
//   of smaller-class records originally in front of a record, that record belongs to the stretch
//   from pass g + 1 on. The stretch of a class is therefore a prefix of its texts growing at those
//   passes, and the n - 1 passes reduce to a few rotations of a queue.
std::vector<int> DescendingTextOrder(const std::vector<std::wstring>& texts)
{
    const int count = static_cast<int>(texts.size());
    std::vector<std::wstring> upper;
    upper.reserve(texts.size());
    for (const std::wstring& text : texts)
        upper.push_back(PlatformUpper(text));

    // Rank the classes by TextGreater and the exact texts within them.
    std::vector<int> byText(At(count));
    std::iota(byText.begin(), byText.end(), 0);
    std::sort(byText.begin(), byText.end(), [&](int a, int b) {
        const int compared = CompareCodeUnits(upper[At(a)], upper[At(b)]);
        if (compared != 0)
            return compared < 0;
        const int exact = CompareCodeUnits(texts[At(a)], texts[At(b)]);
        return exact != 0 ? exact < 0 : a < b;
    });
    std::vector<int> classOf(At(count)), textOf(At(count));
    int classes = 0, distinctTexts = 0;
    for (int k = 0; k < count; ++k) {
        const int i = byText[At(k)];
        if (k == 0 || upper[At(i)] != upper[At(byText[At(k - 1)])])
            ++classes;
        if (k == 0 || texts[At(i)] != texts[At(byText[At(k - 1)])])
            ++distinctTexts;
        classOf[At(i)] = classes - 1;
        textOf[At(i)] = distinctTexts - 1;
    }

    // The records of each class and of each text, in list order (counting sorts), and g.
    std::vector<int> classStart(At(classes) + 1, 0), textStart(At(distinctTexts) + 1, 0);
    for (int i = 0; i < count; ++i) {
        ++classStart[At(classOf[At(i)]) + 1];
        ++textStart[At(textOf[At(i)]) + 1];
    }
    std::partial_sum(classStart.begin(), classStart.end(), classStart.begin());
    std::partial_sum(textStart.begin(), textStart.end(), textStart.begin());
    std::vector<int> classMembers(At(count)), textMembers(At(count));
    std::vector<int> smallerInFront(At(count));
    {
        std::vector<int> classFill(classStart.begin(), classStart.end() - 1);
        std::vector<int> textFill(textStart.begin(), textStart.end() - 1);
        CRankCounter counter(classes);
        for (int i = 0; i < count; ++i) {
            classMembers[At(classFill[At(classOf[At(i)])]++)] = i;
            textMembers[At(textFill[At(textOf[At(i)])]++)] = i;
            smallerInFront[At(i)] = counter.CountBelow(classOf[At(i)]);
            counter.Add(classOf[At(i)]);
        }
    }

    const long long passes = count - 1;
    std::vector<int> order;
    order.reserve(At(count));
    std::vector<int> textCursor(textStart.begin(), textStart.end() - 1);
    std::vector<int> sequence;
    for (int c = classes - 1; c >= 0; --c) {
        const int first = classStart[At(c)], end = classStart[At(c) + 1];
        const int firstText = textOf[At(classMembers[At(first)])];
        if (textStart[At(firstText) + 1] - textStart[At(firstText)] == end - first) {
            order.insert(order.end(), classMembers.begin() + first, classMembers.begin() + end);
            continue;
        }
        std::deque<int> stretch;
        int next = first;
        long long pass = 1;
        while (pass <= passes) {
            while (next < end && smallerInFront[At(classMembers[At(next)])] <= pass - 1) {
                stretch.push_back(textOf[At(classMembers[At(next)])]);
                ++next;
            }
            long long grows = next < end ? smallerInFront[At(classMembers[At(next)])] + 1 : passes + 1;
            grows = std::min(grows, passes + 1);
            RotateLeft(stretch, grows - pass);
            pass = grows;
        }
        sequence.assign(stretch.begin(), stretch.end());
        for (int k = next; k < end; ++k)
            sequence.push_back(textOf[At(classMembers[At(k)])]);
        for (int text : sequence)
            order.push_back(textMembers[At(textCursor[At(text)]++)]);
    }
    return order;
}

std::vector<int> AscendingTextOrder(const std::vector<std::wstring>& texts)
{
    std::vector<std::wstring> upper;
    upper.reserve(texts.size());
    for (const std::wstring& text : texts)
        upper.push_back(PlatformUpper(text));
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&upper](int a, int b) {
        return CompareCodeUnits(upper[At(a)], upper[At(b)]) < 0;
    });
    return order;
}

void SortByTexts(CSoftwareArray& list, int key, bool ascending)
{
    std::vector<std::wstring> texts;
    texts.reserve(At(list.GetSize()));
    for (const CSoftware* record : list)
        texts.push_back(SortText(*record, key));
    Reorder(list, ascending ? AscendingTextOrder(texts) : DescendingTextOrder(texts));
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
    for (const CSoftware* record : catalogue) {
        std::wstring name = GroupingName(*record, mode);
        auto found = firstMet.emplace(AsciiUpper(name), names.GetSize());
        if (found.second)
            names.Add(std::move(name));
        groupOf.push_back(found.first->second);
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
