#include "model/Vocabulary.h"

#include <cmath>

const wchar_t* const CategoryNames[CategoryCount] = {
    L"Antivirus",         L"Authoring Tools",  L"CD/DVD Tools",  L"Compression Tools", L"Desktop Enhancement",
    L"File Management",   L"Info Management",  L"Internet",      L"Mobile Phone Tools", L"Mobile Softwares",
    L"Multimedia",        L"Network Tools",    L"Office Tools",  L"Programming",       L"Science / CAD",
    L"Security",          L"System",           L"Text Edit",     L"Other",
};

const wchar_t* const TypeNames[TypeCount] = {L"Free-ware", L"Share-ware", L"Commercial-ware"};

const wchar_t* const CurrencyNames[CurrencyCount] = {
    L"AUD", L"BEF", L"CAD", L"CHF", L"CNY", L"DEM", L"EUR", L"FRF", L"GBP", L"HKD",
    L"INR", L"ITL", L"JPY", L"MXP", L"NLG", L"RUR", L"SEK", L"SGD", L"USD",
};

const wchar_t* const AttachModeNames[AttachModeCount] = {L"Reference", L"Import (Recommend)"};

const wchar_t* const ViewNames[ClassifyModeCount + SortKeyCount] = {
    L"Category", L"Company", L"Type", L"None", L"Name", L"Price", L"User-Name", L"User-Email", L"Expiry",
};

namespace {
const wchar_t* NameAt(const wchar_t* const* table, int count, int value)
{
    return value >= 0 && value < count ? table[value] : L"";
}
}  // namespace

const wchar_t* CategoryName(int value) { return NameAt(CategoryNames, CategoryCount, value); }
const wchar_t* TypeName(int value) { return NameAt(TypeNames, TypeCount, value); }
const wchar_t* CurrencyName(int value) { return NameAt(CurrencyNames, CurrencyCount, value); }
const wchar_t* AttachModeName(int value) { return NameAt(AttachModeNames, AttachModeCount, value); }
const wchar_t* ClassifyModeName(int value) { return NameAt(ViewNames, ClassifyModeCount, value); }
const wchar_t* SortKeyName(int value) { return NameAt(ViewNames + ClassifyModeCount, SortKeyCount, value); }

bool IsStorablePrice(float value)
{
    return std::isfinite(value) && value >= 0.0f && value < PriceLimit;
}
