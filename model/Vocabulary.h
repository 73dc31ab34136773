#pragma once
// The fixed name tables behind the numbers stored in the files.

constexpr int CategoryCount = 19;
constexpr int TypeCount = 3;
constexpr int CurrencyCount = 19;
constexpr int AttachModeCount = 2;
constexpr int ClassifyModeCount = 3;
constexpr int SortKeyCount = 6;

extern const wchar_t* const CategoryNames[CategoryCount];
extern const wchar_t* const TypeNames[TypeCount];
extern const wchar_t* const CurrencyNames[CurrencyCount];
extern const wchar_t* const AttachModeNames[AttachModeCount];
// Classify modes then sort keys: "Category", "Company", "Type", "None", "Name", "Price", ...
extern const wchar_t* const ViewNames[ClassifyModeCount + SortKeyCount];

enum ClassifyModeValue { ClassifyByCategory = 0, ClassifyByCompany = 1, ClassifyByType = 2 };
enum AttachModeValue { AttachByReference = 0, AttachByImport = 1 };

// Each returns the empty text for a value outside its table.
const wchar_t* CategoryName(int value);
const wchar_t* TypeName(int value);
const wchar_t* CurrencyName(int value);
const wchar_t* AttachModeName(int value);
const wchar_t* ClassifyModeName(int value);
const wchar_t* SortKeyName(int value);

inline bool IsCategory(int value) { return value >= 0 && value < CategoryCount; }
inline bool IsType(int value) { return value >= 0 && value < TypeCount; }
inline bool IsCurrency(int value) { return value >= 0 && value < CurrencyCount; }
inline bool IsAttachMode(int value) { return value >= 0 && value < AttachModeCount; }

// Prices are written with "%5.2f" into nine characters, so amounts stay below one million.
constexpr float PriceLimit = 1000000.0f;
// True for an amount the program may hold and store: not negative, finite, below the limit.
bool IsStorablePrice(float value);
