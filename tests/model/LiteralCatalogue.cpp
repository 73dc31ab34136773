#include "tests/model/LiteralCatalogue.h"

#include "model/LicenceDates.h"
#include "model/Vocabulary.h"

void LiteralSortTextList(CStringArray& list, bool ascending)
{
    const int n = list.GetSize();
    for (int pass = 0; pass < n - 1; ++pass) {
        for (int i = 0; i < n - 1; ++i) {
            const bool swap = ascending ? TextGreater(list[i], list[i + 1]) : TextGreater(list[i + 1], list[i]);
            if (swap)
                std::swap(list[i], list[i + 1]);
        }
    }
}

namespace {
const std::wstring& KeyText(const CSoftware& record, int key)
{
    if (key == SortByName)
        return record.BasicInfo.Name;
    if (key == SortByUserName)
        return record.RegInfo.UserName;
    return record.RegInfo.UserEmail;
}

bool SwapPair(const CSoftware& left, const CSoftware& right, int key, bool ascending)
{
    if (key == SortByName || key == SortByUserName || key == SortByUserEmail) {
        const std::wstring& a = KeyText(left, key);
        const std::wstring& b = KeyText(right, key);
        return ascending ? TextGreater(a, b) : !TextGreater(a, b) && a != b;
    }
    if (key == SortByPrice) {
        const SoftwarePrice& a = left.BasicInfo.Price;
        const SoftwarePrice& b = right.BasicInfo.Price;
        return ascending ? PriceGreater(a, b) : PriceLess(a, b) && PriceDiffers(a, b);
    }
    if (key == SortByExpiry) {
        // No valid expiry sorts after every date, in both directions.
        const bool a = IsIsoDate(left.ExtraInfo.ExpiryDate);
        const bool b = IsIsoDate(right.ExtraInfo.ExpiryDate);
        if (a != b)
            return b;
        if (!a)
            return false;
        const std::wstring& x = left.ExtraInfo.ExpiryDate;
        const std::wstring& y = right.ExtraInfo.ExpiryDate;
        return ascending ? x > y : x < y;
    }
    return false;
}

std::wstring LiteralGroupingName(const CSoftware& record, int mode)
{
    if (mode == ClassifyByCategory)
        return CategoryNames[record.BasicInfo.Category];
    if (mode == ClassifyByCompany)
        return record.BasicInfo.Company;
    return TypeNames[record.BasicInfo.Type];
}
}  // namespace

void LiteralSortSoftwareList(CSoftwareArray& list, bool ascending)
{
    if (list.SortKey == 0 || list.GetSize() < 2)
        return;
    const int n = list.GetSize();
    for (int pass = 0; pass < n - 1; ++pass) {
        for (int i = 0; i < n - 1; ++i) {
            if (SwapPair(*list[i], *list[i + 1], list.SortKey, ascending))
                list.Swap(i, i + 1);
        }
    }
}

// Only for records whose category and type lie inside their tables.
bool LiteralClassifyCatalogue(const CSoftwareArray& catalogue, int mode, CSoftwareArrayArray& groups,
                              CStringArray& names)
{
    if (mode < 0 || mode > 2)
        return false;
    groups.RemoveAll();
    names.RemoveAll();
    if (catalogue.GetSize() == 0)
        return true;
    bool categoryMet[CategoryCount] = {};
    bool typeMet[TypeCount] = {};
    for (const CSoftware* record : catalogue) {
        if (mode == ClassifyByCategory) {
            if (!categoryMet[record->BasicInfo.Category]) {
                names.Add(CategoryNames[record->BasicInfo.Category]);
                categoryMet[record->BasicInfo.Category] = true;
            }
        } else if (mode == ClassifyByCompany) {
            if (FindText(names, record->BasicInfo.Company, true) < 0)
                names.Add(record->BasicInfo.Company);
        } else if (!typeMet[record->BasicInfo.Type]) {
            names.Add(TypeNames[record->BasicInfo.Type]);
            typeMet[record->BasicInfo.Type] = true;
        }
    }
    LiteralSortTextList(names, true);
    for (int k = 0; k < names.GetSize(); ++k)
        groups.Add(new CSoftwareArray);
    for (CSoftware* record : catalogue)
        groups[FindText(names, LiteralGroupingName(*record, mode), true)]->Add(record);
    return true;
}
