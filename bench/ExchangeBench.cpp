// Times the catalogue's export and import text for 10,000 records: writing and reading CSV and
// JSON and matching the rows to the catalogue, beside writing and reading every record's own
// meta-data text, which an import must do anyway. Prints times and ratios measured in this run.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "storage/CatalogueExchange.h"
#include "storage/SoftwareText.h"

namespace {
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::vector<std::unique_ptr<CSoftware>> owned;
    CSoftwareArray catalogue;
    std::vector<const CSoftware*> records;
    for (int i = 0; i < count; ++i) {
        auto record = std::make_unique<CSoftware>();
        record->Id.Data1 = 0x10000000u + static_cast<uint32_t>(i);
        record->BasicInfo.Name = L"Software " + std::to_wstring(i);
        record->BasicInfo.Company = L"Maker, \"" + std::to_wstring(i % 97) + L"\"";
        record->BasicInfo.Price.Value = static_cast<float>(i % 500) + 0.99f;
        record->BasicInfo.Category = i % 19;
        record->RegInfo.UserName = L"Zoë Müller";
        record->RegInfo.Comment = L"Bought at the fair.\r\nKeep the box.";
        record->RegInfo.CodeName.Add(L"Serial");
        record->RegInfo.Code.Add(L"ABCD-" + std::to_wstring(i) + L"-WXYZ");
        record->InstallerInfo.InstallerPath = L"D:\\Setups\\setup" + std::to_wstring(i) + L".exe";
        record->ExtraInfo.ExpiryDate = L"2027-01-31";
        records.push_back(record.get());
        catalogue.Add(record.get());
        owned.push_back(std::move(record));
    }

    auto start = Clock::now();
    size_t textBytes = 0;
    for (const CSoftware* record : records) {
        CSoftware back;
        textBytes += FormatSoftwareText(*record).size();
        ParseSoftwareText(FormatSoftwareText(*record), back);
    }
    const double metaData = Milliseconds(start);

    start = Clock::now();
    const std::string csv = FormatCatalogueCsv(records);
    const double writeCsv = Milliseconds(start);
    start = Clock::now();
    const std::string json = FormatCatalogueJson(records);
    const double writeJson = Milliseconds(start);

    CatalogueFile file;
    start = Clock::now();
    ReadCatalogueCsv(csv, file);
    const double readCsv = Milliseconds(start);
    const size_t csvRows = file.Rows.size();
    start = Clock::now();
    ReadCatalogueJson(json, file);
    const double readJson = Milliseconds(start);
    start = Clock::now();
    ImportPlan plan = PlanCatalogueImport(file, catalogue);
    const double match = Milliseconds(start);

    std::printf("%d records (%zu KB of CSV, %zu KB of JSON; %zu rows read back, %zu updates planned)\n", count,
                csv.size() / 1024, json.size() / 1024, csvRows, plan.Updates.size());
    std::printf("meta-data text written and read back: %.1f ms (%zu KB)\n", metaData, textBytes / 1024);
    std::printf("write CSV %.1f ms, write JSON %.1f ms\n", writeCsv, writeJson);
    std::printf("read CSV %.1f ms (%.2fx the meta-data text), read JSON %.1f ms (%.2fx), match to catalogue %.1f ms\n",
                readCsv, readCsv / metaData, readJson, readJson / metaData, match);
    return 0;
}
