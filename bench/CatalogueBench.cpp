// Times grouping and sorting of large catalogues, and compares them with the literal passes
// where those finish in reasonable time, and each text sort with the price sort of the same
// records. Prints times and ratios measured in this one run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/Catalogue.h"
#include "model/TextRules.h"
#include "model/Vocabulary.h"
#include "tests/model/LiteralCatalogue.h"

namespace {
using Clock = std::chrono::steady_clock;

const wchar_t* const Syllables[] = {L"ar", L"bel", L"cor", L"dan", L"el", L"fin", L"gra", L"hol", L"is",
                                    L"jo",  L"ka",  L"lum", L"mor", L"nex", L"o", L"pix", L"qua", L"ro",
                                    L"sol", L"tek", L"u",   L"vor", L"wen", L"xi", L"yel", L"zed"};

std::wstring Word(std::mt19937& random, int syllables)
{
    std::uniform_int_distribution<size_t> pick(0, std::size(Syllables) - 1);
    std::wstring word;
    for (int i = 0; i < syllables; ++i)
        word += Syllables[pick(random)];
    word[0] = static_cast<wchar_t>(word[0] - (L'a' - L'A'));
    return word;
}

// The same text with its letters' case changed at random (a-z and e-acute).
std::wstring Recased(std::mt19937& random, std::wstring text)
{
    for (wchar_t& c : text) {
        if (random() % 2 == 0)
            continue;
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        else if (c == L'\u00E9')
            c = L'\u00C9';
    }
    return text;
}

struct CCatalogue {
    std::vector<std::unique_ptr<CSoftware>> Records;
    std::vector<CSoftware*> Pointers;
};

// Names, users and e-mails are distinct per case class unless caseVariants is set, in which case
// about one record in three spells a name already used with other letter case.
CCatalogue MakeCatalogue(int count, bool caseVariants, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::wstring> companies;
    for (int i = 0; i < 1500; ++i)
        companies.push_back(Word(random, 2) + (i % 7 == 0 ? L" \u00E9ditions" : L" Soft"));
    static const int currencies[] = {0, 2, 6, 8, 12, 18, 18, 18};
    CCatalogue catalogue;
    std::vector<std::wstring> names, users, emails;
    for (int i = 0; i < count; ++i) {
        auto record = std::make_unique<CSoftware>();
        const bool variant = caseVariants && !names.empty() && random() % 3 == 0;
        const size_t earlier = names.empty() ? 0 : random() % names.size();
        std::wstring name = variant ? Recased(random, names[earlier])
                                    : Word(random, 3) + L" " + std::to_wstring(i);
        std::wstring user = variant ? Recased(random, users[earlier]) : Word(random, 2) + L" " + Word(random, 3);
        std::wstring email = variant ? Recased(random, emails[earlier])
                                     : Word(random, 2) + std::to_wstring(i) + L"@mail.example";
        names.push_back(name);
        users.push_back(user);
        emails.push_back(email);
        record->BasicInfo.Name = name;
        record->RegInfo.UserName = user;
        record->RegInfo.UserEmail = email;
        const std::wstring& company = companies[random() % companies.size()];
        record->BasicInfo.Company = random() % 4 == 0 ? Recased(random, company) : company;
        record->BasicInfo.Category = static_cast<int>(random() % CategoryCount);
        record->BasicInfo.Type = static_cast<int>(random() % TypeCount);
        record->BasicInfo.Price.Currency = currencies[random() % std::size(currencies)];
        record->BasicInfo.Price.Value = random() % 3 == 0 ? 0.0f : static_cast<float>(random() % 50000) / 100.0f;
        catalogue.Pointers.push_back(record.get());
        catalogue.Records.push_back(std::move(record));
    }
    return catalogue;
}

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Best of a few runs for the fast code; one run of the literal passes, which take long enough.
double Time(const std::function<void()>& prepare, const std::function<void()>& run, int repeats)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < repeats; ++i) {
        prepare();
        const Clock::time_point start = Clock::now();
        run();
        best = std::min(best, Milliseconds(Clock::now() - start));
    }
    return best;
}

// perPrice: the price sort of the same records in the same direction, or negative when that
// comparison means nothing for the row.
void Row(const char* operation, int records, double fast, double literal, double perPrice = -1)
{
    char literalText[32] = "-", ratioText[32] = "-", priceText[32] = "-";
    if (literal >= 0) {
        std::snprintf(literalText, sizeof literalText, "%.1f", literal);
        std::snprintf(ratioText, sizeof ratioText, "%.0fx", literal / std::max(fast, 1e-3));
    }
    if (perPrice > 0)
        std::snprintf(priceText, sizeof priceText, "%.2fx", fast / perPrice);
    std::printf("%-48s %8d %11.2f %13s %12s %10s\n", operation, records, fast, literalText, ratioText, priceText);
}

const int Sizes[] = {2000, 10000, 100000};
constexpr int LiteralLimit = 10000;

void BenchClassify()
{
    for (int count : Sizes) {
        const CCatalogue source = MakeCatalogue(count, false, 1);
        CSoftwareArray catalogue;
        catalogue.Items() = source.Pointers;
        for (int mode = 0; mode < ClassifyModeCount; ++mode) {
            CSoftwareArrayArray groups;
            CStringArray names;
            const double fast = Time([] {}, [&] { ClassifyCatalogue(catalogue, mode, groups, names); }, 5);
            double literal = -1;
            if (count <= LiteralLimit)
                literal = Time([] {}, [&] { LiteralClassifyCatalogue(catalogue, mode, groups, names); }, 1);
            const std::string label = std::string("ClassifyCatalogue ") + (mode == 0 ? "Category" : mode == 1 ? "Company" : "Type");
            Row(label.c_str(), count, fast, literal);
        }
    }
}

const char* KeyLabel(int key)
{
    switch (key) {
    case SortByName:
        return "Name";
    case SortByPrice:
        return "Price";
    case SortByUserName:
        return "User-Name";
    default:
        return "User-Email";
    }
}

// The price sort of these records, best of a few runs, as the yardstick of the text sorts.
double PriceSort(const CCatalogue& source, bool ascending)
{
    CSoftwareArray list;
    list.SortKey = SortByPrice;
    return Time([&] { list.Items() = source.Pointers; }, [&] { SortSoftwareList(list, ascending); }, 5);
}

void BenchSorts(bool caseVariants)
{
    for (int count : Sizes) {
        const CCatalogue source = MakeCatalogue(count, caseVariants, 2);
        const double price[2] = {PriceSort(source, false), PriceSort(source, true)};
        CSoftwareArray list;
        for (int key = SortByName; key <= SortByUserEmail; ++key) {
            for (bool ascending : {true, false}) {
                list.SortKey = key;
                auto reset = [&] { list.Items() = source.Pointers; };
                const double fast = Time(reset, [&] { SortSoftwareList(list, ascending); }, 3);
                double literal = -1;
                if (count <= LiteralLimit)
                    literal = Time(reset, [&] { LiteralSortSoftwareList(list, ascending); }, 1);
                const std::string label = std::string("SortSoftwareList ") + KeyLabel(key) +
                                          (ascending ? " asc" : " desc") + (caseVariants ? " (case variants)" : "");
                Row(label.c_str(), count, fast, literal, key == SortByPrice ? -1 : price[ascending]);
            }
        }
    }
}

void BenchTextList()
{
    for (int count : Sizes) {
        const CCatalogue source = MakeCatalogue(count, true, 3);
        const double price[2] = {PriceSort(source, false), PriceSort(source, true)};
        CStringArray names, input;
        for (const CSoftware* record : source.Pointers)
            input.Add(record->BasicInfo.Name);
        for (bool ascending : {true, false}) {
            auto reset = [&] { names = input; };
            const double fast = Time(reset, [&] { SortTextList(names, ascending); }, 3);
            double literal = -1;
            if (count <= LiteralLimit)
                literal = Time(reset, [&] { LiteralSortTextList(names, ascending); }, 1);
            Row(ascending ? "SortTextList asc" : "SortTextList desc", count, fast, literal, price[ascending]);
        }
    }
}

// A list holding an amount the loader refuses falls back to the passes (early exit included).
void BenchPriceFallback()
{
    for (int count : {2000, 10000}) {
        const CCatalogue source = MakeCatalogue(count, false, 4);
        source.Pointers[static_cast<size_t>(count / 2)]->BasicInfo.Price.Value = -1.0f;
        CSoftwareArray list;
        list.SortKey = SortByPrice;
        auto reset = [&] { list.Items() = source.Pointers; };
        const double fallback = Time(reset, [&] { SortSoftwareList(list, true); }, 1);
        const double literal = Time(reset, [&] { LiteralSortSoftwareList(list, true); }, 1);
        Row("SortSoftwareList Price asc (one -1)", count, fallback, literal);
    }
}
}  // namespace

int main()
{
    std::printf("%-48s %8s %11s %13s %12s %10s\n", "operation", "records", "fast ms", "literal ms", "literal/fast",
                "/price");
    BenchClassify();
    BenchSorts(false);
    BenchSorts(true);
    BenchTextList();
    BenchPriceFallback();
    return 0;
}
