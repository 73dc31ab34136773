// Writes a catalogue export in both formats for tests/storage/exchange/check_exports.py, which
// reads them with Python's own csv and json modules as a spreadsheet script or a tool would.
#include <cstdio>
#include <string>

#include "storage/CatalogueExchange.h"
#include "storage/SoftwareText.h"

namespace {
bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    // The values the script expects; keep the two in step.
    CSoftware tricky;
    ParseSoftwareId(L"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", tricky);
    tricky.BasicInfo.Name = L"Comma, Inc. tool";
    tricky.BasicInfo.Version = L"=1+2";
    tricky.BasicInfo.Company = L"Quote \"Q\" Ltd";
    tricky.BasicInfo.Website = L"-minus";
    tricky.BasicInfo.Price.Value = 12.5f;
    tricky.BasicInfo.Price.Currency = 6;  // EUR
    tricky.BasicInfo.Category = 7;        // Internet
    tricky.BasicInfo.Type = 1;            // Share-ware
    tricky.RegInfo.UserName = L"Zoë Ünïcødé 日本語 \U0001F4BE";
    tricky.RegInfo.Comment = L"line1\r\nline2\nline3";
    tricky.RegInfo.CodeName.Add(L"Serial");
    tricky.RegInfo.Code.Add(L"AB-12");
    tricky.RegInfo.CodeName.Add(L"Key: 2");
    tricky.RegInfo.Code.Add(L"x\ny");
    tricky.InstallerInfo.InstallerPath = L"C:\\Path, with \"quotes\"\\setup.exe";
    tricky.ExtraInfo.ExpiryDate = L"2027-01-31";
    CSoftware plain;
    ParseSoftwareId(L"6B29FC40-CA47-1067-B31D-00DD010662DA", plain);
    const std::string folder = argv[1];
    const bool ok = WriteFile(folder + "/catalogue.csv", FormatCatalogueCsv({&tricky, &plain})) &&
                    WriteFile(folder + "/catalogue.json", FormatCatalogueJson({&tricky, &plain}));
    return ok ? 0 : 1;
}
