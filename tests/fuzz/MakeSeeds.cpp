// Writes the fuzzers' seed corpus with the program's own writers, so every seed is a file the
// program could have left on disk: one folder per target under the folder given.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "storage/CatalogueExchange.h"
#include "storage/Configurations.h"
#include "storage/HistoryText.h"
#include "storage/SnapshotText.h"
#include "storage/SoftwareText.h"
#include "storage/ZipArchive.h"

namespace {
// Files on disk are UTF-8; wchar_t is 32 bits here, so no surrogate pairs need joining.
std::string Utf8(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t wide : text) {
        auto c = static_cast<uint32_t>(wide);
        if (c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (c >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            bytes.push_back(static_cast<char>(0xE0 | (c >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xF0 | (c >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return bytes;
}

// The same archive with its end given as the writer gives it beyond 65,534 entries (the Zip64
// end record, its locator, a classic record of markers), which itself is far past the fuzzer's
// length limit. The classic record is the writer's last 22 bytes.
std::string WithZip64End(const std::string& classic)
{
    auto le = [](uint64_t value, int size) {
        std::string out;
        for (int i = 0; i < size; ++i)
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        return out;
    };
    auto at = [&](size_t pos, int size) {
        uint64_t value = 0;
        for (int i = size; i-- > 0;)
            value = value << 8 | static_cast<uint8_t>(classic[pos + i]);
        return value;
    };
    const size_t end = classic.size() - 22;
    const uint64_t count = at(end + 10, 2), size = at(end + 12, 4), offset = at(end + 16, 4);
    std::string archive = classic.substr(0, end);
    archive += le(0x06064B50, 4) + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) + le(0, 4) + le(count, 8) +
               le(count, 8) + le(size, 8) + le(offset, 8);
    archive += le(0x07064B50, 4) + le(0, 4) + le(end, 8) + le(1, 4);
    archive += le(0x06054B50, 4) + le(0, 4) + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFFFFFF, 4) + le(0xFFFFFFFF, 4) +
               le(0, 2);
    return archive;
}

bool WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes)
{
    mkdir(folder.c_str(), 0755);
    std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Every element filled, three named codes, a comment over several lines, text beyond ASCII.
void FillFullRecord(CSoftware& record)
{
    ParseSoftwareId(L"6B29FC40-CA47-1067-B31D-00DD010662DA", record);
    CBasicInfo& basic = record.BasicInfo;
    basic.Name = L"Pixel Forge Pro";
    basic.Version = L"4.2.1.1077";
    basic.Company = L"Lumen Werkstätten";
    basic.Website = L"http://www.example.com/pixelforge/";
    basic.Price.Value = 129.95f;
    basic.Price.Currency = 6;
    basic.Category = 3;
    basic.Type = 2;
    CRegInfo& reg = record.RegInfo;
    reg.UserName = L"Ana Müller";
    reg.UserCompany = L"Müller & Söhne";
    reg.UserEmail = L"ana.mueller@example.org";
    reg.Comment = L"Bought at the fair.\nUpgrade to 5.x is free until March.\n\nKeep the box.";
    reg.CodeName.Add(L"Serial");
    reg.Code.Add(L"PF4-8823-1197-KQ2X");
    reg.CodeName.Add(L"Unlock key");
    reg.Code.Add(L"AAAA-BBBB-CCCC-DDDD-EEEE");
    reg.CodeName.Add(L"");
    reg.Code.Add(L"line one\nline two");
    CInstallerInfo& installer = record.InstallerInfo;
    installer.InstallerPath = L"D:\\Quorvane\\6B29FC40-CA47-1067-B31D-00DD010662DA_INSTALL";
    installer.OriginalPath = L"C:\\Downloads\\pixelforge-4.2.1-setup.exe";
    installer.AttachMode = 1;
}

void FillReferenceRecord(CSoftware& record)
{
    ParseSoftwareId(L"00000000-0000-0000-C000-000000000046", record);
    record.BasicInfo.Name = L"Tiny Notes";
    record.BasicInfo.Category = 9;
    record.BasicInfo.Type = 1;
    record.RegInfo.UserEmail = L"me@example.net";
    record.RegInfo.CodeName.Add(L"Key");
    record.RegInfo.Code.Add(L"1234");
    record.InstallerInfo.InstallerPath = L"E:\\Setups\\tinynotes.msi";
    record.InstallerInfo.OriginalPath = L"E:\\Setups\\tinynotes.msi";
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    mkdir(root.c_str(), 0755);
    bool ok = true;

    CSoftware full;
    FillFullRecord(full);
    CSoftware reference;
    FillReferenceRecord(reference);
    CSoftware fresh;  // a record as the add dialog leaves it with nothing typed
    const std::string fullText = Utf8(FormatSoftwareText(full));
    ok &= WriteSeed(root + "/SoftwareText", "full-record", fullText);
    ok &= WriteSeed(root + "/SoftwareText", "reference-record", Utf8(FormatSoftwareText(reference)));
    ok &= WriteSeed(root + "/SoftwareText", "fresh-record", Utf8(FormatSoftwareText(fresh)));
    // The code list is extracted from whole meta-data files.
    ok &= WriteSeed(root + "/ElementList", "full-record", fullText);
    ok &= WriteSeed(root + "/ElementList", "reference-record", Utf8(FormatSoftwareText(reference)));

    // Exported catalogues: every record above, one with a formula-like name and escaped codes, and
    // one without an Id.
    CSoftware guarded;
    guarded.BasicInfo.Name = L"=HYPERLINK(\"x\")";
    guarded.RegInfo.Comment = L"a, \"quoted\"\r\nsecond line";
    guarded.RegInfo.CodeName.Add(L"Key: main\\1");
    guarded.RegInfo.Code.Add(L"-AB\nCD");
    guarded.ExtraInfo.ExpiryDate = L"2027-02-28";
    const std::vector<const CSoftware*> exported = {&full, &reference, &fresh, &guarded};
    ok &= WriteSeed(root + "/CatalogueCsv", "catalogue", FormatCatalogueCsv(exported));
    ok &= WriteSeed(root + "/CatalogueJson", "catalogue", FormatCatalogueJson(exported));
    ok &= WriteSeed(root + "/CatalogueCsv", "one-record", FormatCatalogueCsv({&reference}));
    ok &= WriteSeed(root + "/CatalogueJson", "one-record", FormatCatalogueJson({&reference}));

    CConfigurations defaults;
    CConfigurations chosen;
    chosen.AttachMode = 0;
    chosen.DataFolder = L"D:\\Quorvane Data\\Catalogue\\";
    chosen.ShowAttachModeSelectDlg = 0;
    chosen.DefaultClassifyMode = 1;
    chosen.DefaultSortKey = 4;
    ok &= WriteSeed(root + "/SettingsText", "defaults", Utf8(FormatSettingsText(defaults)));
    ok &= WriteSeed(root + "/SettingsText", "chosen", Utf8(FormatSettingsText(chosen)));

    CStringArray companies;
    companies.Add(L"Lumen Werkstätten");
    companies.Add(L"Acme");
    companies.Add(L"");
    companies.Add(L"\u65e5\u672c\u30bd\u30d5\u30c8");
    companies.Add(L"\U0001F4BE Disk Tools");  // a surrogate pair in the file
    CStringArray one;
    one.Add(L"ana.mueller@example.org");
    ok &= WriteSeed(root + "/HistoryBytes", "companies", FormatHistoryBytes(companies));
    ok &= WriteSeed(root + "/HistoryBytes", "one-entry", FormatHistoryBytes(one));

    // A snapshot as the backups write it, small enough for the fuzzer's length limit.
    CSnapshotManifest manifest;
    manifest.Taken = {2026, 12, 8, 15, 4, 5, 1};
    manifest.Reason = SnapshotReason::Daily;
    manifest.Records = 2;
    manifest.DataFolder = L"D:\\Quorvane Data\\Catalogue\\";
    const uint32_t stamp = ZipDosDateTime(2026, 12, 8, 15, 4, 5);
    CZipWriter snapshot;
    snapshot.Add(ManifestEntryName, Utf8(FormatSnapshotManifest(manifest)), stamp);
    snapshot.Add(std::string(DataEntryPrefix) + "00000000-0000-0000-C000-000000000046",
                 Utf8(FormatSoftwareText(reference)), stamp);
    snapshot.Add(std::string(DataEntryPrefix) + "6B29FC40-CA47-1067-B31D-00DD010662DA", fullText, stamp);
    snapshot.Add(SettingsEntryName, Utf8(FormatSettingsText(chosen)), stamp);
    snapshot.Add(std::string(HistoryEntryPrefix) + "Company.his", FormatHistoryBytes(companies), stamp);
    ok &= snapshot.Finish() && WriteSeed(root + "/ZipArchive", "snapshot", snapshot.Bytes());
    CZipWriter stored;
    stored.Add("a", "", stamp);
    stored.Add("b/c", "x", stamp);
    ok &= stored.Finish() && WriteSeed(root + "/ZipArchive", "stored", stored.Bytes());
    ok &= WriteSeed(root + "/ZipArchive", "stored-zip64", WithZip64End(stored.Bytes()));

    if (!ok)
        std::fprintf(stderr, "could not write the seeds under %s\n", root.c_str());
    return ok ? 0 : 1;
}
