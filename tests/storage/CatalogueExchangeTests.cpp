#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/Vocabulary.h"
#include "storage/CatalogueExchange.h"
#include "storage/RecordReadBack.h"
#include "storage/SoftwareText.h"
#include "tests/fuzz/ReaderTargets.h"

namespace {
// Every field set, with what breaks careless exporters: separators, quotes, line breaks, text
// beyond ASCII and the Basic Multilingual Plane, formula starters, escapes in codes.
void FillAwkward(CSoftware& record)
{
    ParseSoftwareId(L"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", record);
    CBasicInfo& basic = record.BasicInfo;
    basic.Name = L"=SUM(A1:A9)";
    basic.Version = L"-2.0";
    basic.Company = L"Müller, \"Söhne\" & Co";
    basic.Website = L"@home.example";
    basic.Price.Value = 129.95f;
    basic.Price.Currency = 6;
    basic.Category = 13;
    basic.Type = 2;
    CRegInfo& reg = record.RegInfo;
    reg.UserName = L"'quoted";
    reg.UserCompany = L"+49 Ltd";
    reg.UserEmail = L"ana@example.org";
    reg.Comment = L"line one, with comma\r\nline \"two\"\n\U0001F4BE disk";
    reg.CodeName.Add(L"Serial");
    reg.Code.Add(L"PF4-8823");
    reg.CodeName.Add(L"Key: main\\backup");
    reg.Code.Add(L"AB:CD\\EF\r\nsecond line");
    reg.CodeName.Add(L"日本");
    reg.Code.Add(L"=1+1");
    record.InstallerInfo.InstallerPath = L"C:\\Setups\\a,b \"c\".exe";
    record.InstallerInfo.OriginalPath = L"C:\\Setups\\a,b \"c\".exe";
    record.InstallerInfo.AttachMode = AttachByReference;
    record.ExtraInfo.PurchaseDate = L"2024-02-29";
    record.ExtraInfo.ExpiryDate = L"2027-01-31";
}

void FillPlain(CSoftware& record, const wchar_t* id, const wchar_t* name)
{
    if (id)
        ParseSoftwareId(id, record);
    record.BasicInfo.Name = name;
}


// The rejected rows as "line: reason" texts, for messages that name them.
std::vector<int> RejectedLines(const CatalogueFile& file)
{
    std::vector<int> lines;
    for (const RejectedRow& row : file.Rejected)
        lines.push_back(row.Line);
    return lines;
}
}  // namespace

// Both formats give back every field the meta-data file keeps, byte for byte in that file.
TEST(CatalogueExchangeTests, BothFormatsReadBackEveryStoredField)
{
    CSoftware awkward, fresh, free;
    FillAwkward(awkward);
    FillPlain(free, L"6B29FC40-CA47-1067-B31D-00DD010662DA", L"Tiny Notes");
    free.BasicInfo.Price.Value = 0.0f;
    free.BasicInfo.Price.Currency = 0;
    free.RegInfo.Comment = L"";
    const std::vector<const CSoftware*> records = {&awkward, &fresh, &free};
    for (bool json : {true, false}) {
        SCOPED_TRACE(json ? "JSON" : "CSV");
        const std::string bytes = json ? FormatCatalogueJson(records) : FormatCatalogueCsv(records);
        CatalogueFile file;
        ASSERT_TRUE(ReadCatalogueFile(bytes, file)) << std::string(file.Error.begin(), file.Error.end());
        ASSERT_TRUE(file.Rejected.empty()) << file.Rejected.front().Line;
        ASSERT_EQ(3u, file.Rows.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(FormatSoftwareText(*records[i]), FormatSoftwareText(*file.Rows[i].Record)) << i;
            EXPECT_EQ(!records[i]->Id.IsNull(), file.Rows[i].HasId);  // the new record has none
            EXPECT_EQ(records[i]->Id, file.Rows[i].Record->Id);
        }
        // Extra fields are compared by the text above only when set; check the dates directly too.
        EXPECT_EQ(L"2024-02-29", file.Rows[0].Record->ExtraInfo.PurchaseDate);
        EXPECT_EQ(L"AB:CD\\EF\r\nsecond line", file.Rows[0].Record->RegInfo.Code[1]);
    }
}

TEST(CatalogueExchangeTests, JsonNamesVocabulariesAndListsCodes)
{
    CSoftware awkward;
    FillAwkward(awkward);
    const std::string json = FormatCatalogueJson({&awkward});
    EXPECT_EQ(0u, json.find("{\n  \"Format\": \"Quorvane catalogue\",\n  \"Version\": 1,\n  \"Records\": [\n"));
    EXPECT_NE(std::string::npos, json.find("\"Price\": 129.95,"));
    EXPECT_NE(std::string::npos, json.find("\"Currency\": \"EUR\""));
    EXPECT_NE(std::string::npos, json.find("\"Category\": \"Programming\""));
    EXPECT_NE(std::string::npos, json.find("\"Type\": \"Commercial-ware\""));
    EXPECT_NE(std::string::npos, json.find("\"AttachMode\": \"Reference\""));
    EXPECT_NE(std::string::npos, json.find("\"Name\": \"Serial\",\n            \"Code\": \"PF4-8823\""));
    EXPECT_NE(std::string::npos, json.find("\"Comment\": \"line one, with comma\\r\\nline \\\"two\\\"\\n\xF0\x9F\x92\xBE disk\""));
    EXPECT_NE(std::string::npos, json.find("\"ExpiryDate\": \"2027-01-31\""));
    EXPECT_NE(std::string::npos, json.find("\"InstallerChecked\": \"\""));  // every field, set or not
    EXPECT_EQ('\n', json.back());
}

TEST(CatalogueExchangeTests, CsvHasBomHeaderCrLfRowsAndGuardedCells)
{
    CSoftware awkward;
    FillAwkward(awkward);
    const std::string csv = FormatCatalogueCsv({&awkward});
    ASSERT_EQ(0u, csv.find("\xEF\xBB\xBFId,Name,Version,Company,Website,Price,Currency,Category,Type,UserName,"
                           "UserCompany,UserEmail,Comment,Codes,InstallerPath,OriginalPath,AttachMode,"
                           "PurchaseDate,ExpiryDate,InstallerSize,"));
    EXPECT_NE(std::string::npos, csv.find("InstallerCheck\r\n0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9,'=SUM(A1:A9),'-2.0,"
                                          "\"Müller, \"\"Söhne\"\" & Co\",'@home.example,129.95,EUR,Programming,"
                                          "Commercial-ware,''quoted,'+49 Ltd,ana@example.org,"));
    EXPECT_NE(std::string::npos,
              csv.find(",\"Serial: PF4-8823\nKey\\: main\\\\backup: AB:CD\\\\EF\\r\\nsecond line\n日本: =1+1\","));
    EXPECT_EQ("\r\n", csv.substr(csv.size() - 2));
}

TEST(CatalogueExchangeTests, FormulaGuardIsUndoneExactlyAndOnlyWhereItWasAdded)
{
    for (const std::wstring value : {L"=A1", L"+1", L"-", L"@x", L"\tx", L"\rx", L"'", L"''=", L"'=x", L"x'", L"plain",
                                     L""}) {
        EXPECT_EQ(value, UnguardCsvCell(GuardCsvCell(value))) << std::string(value.begin(), value.end());
        if (!value.empty()) {
            EXPECT_NE(L'=', GuardCsvCell(value)[0]);
        }
    }
    // Hand-typed cells keep an apostrophe that guards nothing.
    EXPECT_EQ(L"'abc", UnguardCsvCell(L"'abc"));
    EXPECT_EQ(L"=x", UnguardCsvCell(L"'=x"));
}

TEST(CatalogueExchangeTests, CodesCellSplitsAtTheFirstBareColonAndUndoesEscapes)
{
    CStringArray names, codes;
    ASSERT_TRUE(ParseCodesCell(L"Serial: A: B\r\n\nKey\\: 2: \\\\x\\ny\\q\n", names, codes));
    ASSERT_EQ(2, names.GetSize());
    EXPECT_EQ(L"Serial", names[0]);
    EXPECT_EQ(L"A: B", codes[0]);
    EXPECT_EQ(L"Key: 2", names[1]);
    EXPECT_EQ(L"\\x\ny\\q", codes[1]);  // an unknown escape keeps its backslash
    EXPECT_FALSE(ParseCodesCell(L"Serial:1234", names, codes));
    EXPECT_FALSE(ParseCodesCell(L"no separator", names, codes));
    EXPECT_TRUE(ParseCodesCell(L"", names, codes));
    EXPECT_EQ(0, codes.GetSize());
}

// Each refused row names its line, counted as the file's own lines, and nothing of it is kept.
TEST(CatalogueExchangeTests, CsvRefusesBadRowsWithTheirLines)
{
    const std::string csv =
        "\xEF\xBB\xBF" "Name,Price,Currency,Comment,Codes,Id,ExpiryDate,Ignored\r\n"
        "Good,1.50,EUR,\"two\r\nlines\",,,,x\r\n"                   // lines 2-3
        "Bad currency,1,XYZ,,,,,\r\n"                               // 4
        "Too dear,1000000,,,,,,\r\n"                                // 5
        "Not a price,12a,,,,,,\r\n"                                 // 6
        "Twice,,,,\"K: 1\nK: 2\",,,\r\n"                            // 7-8
        "No separator,,,,\"K:1\",,,\r\n"                            // 9
        "Bad id,,,,,1234,,\r\n"                                     // 10
        "Bad date,,,,,,2023-02-29,\r\n"                             // 11
        "\"Cut</Name>\nhere\",,,,,,,\r\n"                           // 12-13
        ",,,,,,,\r\n"                                               // 14: no name
        "\r\n"                                                      // 15: blank, skipped
        "Too many,,,,,,,,,\r\n"                                     // 16
        "Old id,,,,,6b29fc40-ca47-1067-b31d-00dd010662da,,\r\n"    // 17
        "\"Open,,,\r\n";                                            // 18
    CatalogueFile file;
    ASSERT_TRUE(ReadCatalogueCsv(csv, file));
    ASSERT_EQ(2u, file.Rows.size());
    EXPECT_EQ(2, file.Rows[0].Line);
    EXPECT_EQ(L"two\r\nlines", file.Rows[0].Record->RegInfo.Comment);
    EXPECT_FALSE(file.Rows[0].HasId);
    EXPECT_EQ(6, file.Rows[0].Record->BasicInfo.Price.Currency);
    EXPECT_EQ(17, file.Rows[1].Line);
    EXPECT_TRUE(file.Rows[1].HasId);
    EXPECT_EQ(std::vector<int>({4, 5, 6, 7, 9, 10, 11, 12, 14, 16, 18}), RejectedLines(file));
    EXPECT_EQ(L"the currency \"XYZ\" is not one of the program's values", file.Rejected[0].Reason);
    EXPECT_EQ(L"the price must be at least 0 and below 1,000,000", file.Rejected[1].Reason);
    EXPECT_EQ(L"the price \"12a\" is not an amount", file.Rejected[2].Reason);
    EXPECT_EQ(L"the code name \"K\" appears twice", file.Rejected[3].Reason);
    EXPECT_EQ(L"a line of the Codes cell is not of the form \"name: code\"", file.Rejected[4].Reason);
    EXPECT_EQ(L"the Id \"1234\" is not GUID text", file.Rejected[5].Reason);
    EXPECT_EQ(L"the expiry date \"2023-02-29\" is not a date YYYY-MM-DD", file.Rejected[6].Reason);
    EXPECT_EQ(L"field 'Name' holds text that couldn't be saved and read back", file.Rejected[7].Reason);
    EXPECT_EQ(L"the name is empty", file.Rejected[8].Reason);
    EXPECT_EQ(L"the row has 10 cells, the header 8", file.Rejected[9].Reason);
    EXPECT_EQ(L"a quoted cell is not closed", file.Rejected[10].Reason);
}

TEST(CatalogueExchangeTests, JsonRefusesBadRecordsWithTheLineTheyStartOn)
{
    const std::string json = "{\"Records\": [\n"
                             "  {\"BasicInfo\": {\"Name\": \"Kept\", \"Category\": 3, \"Type\": \"share-ware\"}},\n"
                             "  {\"BasicInfo\": {\"Name\": 5}},\n"
                             "  \"not a record\",\n"
                             "  {\n"
                             "    \"RegInfo\": {\"Codes\": [{\"Name\": \"A\"}]}\n"
                             "  },\n"
                             "  {\"BasicInfo\": {\"Price\": -1}},\n"
                             "  {\"BasicInfo\": {\"Currency\": \"Dollar\"}},\n"
                             "  {\"Id\": \"{0A1B}\"},\n"
                             "  {\"Id\": \"0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9\", \"ExtraInfo\": {\"PurchaseDate\": \"\"}}\n"
                             "]}\n";
    CatalogueFile file;
    ASSERT_TRUE(ReadCatalogueFile(json, file));
    ASSERT_EQ(2u, file.Rows.size());
    EXPECT_EQ(2, file.Rows[0].Line);
    EXPECT_EQ(L"Kept", file.Rows[0].Record->BasicInfo.Name);
    EXPECT_EQ(3, file.Rows[0].Record->BasicInfo.Category);
    EXPECT_EQ(1, file.Rows[0].Record->BasicInfo.Type);
    EXPECT_EQ(L"0.0.0.0", file.Rows[0].Record->BasicInfo.Version);  // missing keys keep a new record's values
    EXPECT_EQ(11, file.Rows[1].Line);
    EXPECT_TRUE(file.Rows[1].HasId);
    EXPECT_EQ(std::vector<int>({3, 4, 5, 8, 9, 10}), RejectedLines(file));
    EXPECT_EQ(L"\"BasicInfo.Name\" is not text", file.Rejected[0].Reason);
    EXPECT_EQ(L"the entry is not an object", file.Rejected[1].Reason);
    EXPECT_EQ(L"a code is not an object with \"Name\" and \"Code\"", file.Rejected[2].Reason);
    EXPECT_EQ(L"the price must be at least 0 and below 1,000,000", file.Rejected[3].Reason);
    EXPECT_EQ(L"\"BasicInfo.Currency\" is not one of the program's values", file.Rejected[4].Reason);
    EXPECT_EQ(L"the Id \"{0A1B}\" is not GUID text", file.Rejected[5].Reason);
}

TEST(CatalogueExchangeTests, UnreadableFilesSayWhy)
{
    CatalogueFile file;
    EXPECT_FALSE(ReadCatalogueFile("{\"Records\": [\n{]}", file));
    EXPECT_EQ(L"The file is not JSON text (line 2).", file.Error);
    EXPECT_FALSE(ReadCatalogueFile("[{\"Id\": 1e389}]", file));
    EXPECT_EQ(L"The file is not JSON text (a number is out of range).", file.Error);
    EXPECT_FALSE(ReadCatalogueFile("{\"Other\": []}", file));
    EXPECT_EQ(L"The file holds no list of records.", file.Error);
    EXPECT_FALSE(ReadCatalogueFile("Title,Author\r\nx,y\r\n", file));
    EXPECT_EQ(L"The first line is not the header of a catalogue (it names no \"Name\" column).", file.Error);
    EXPECT_FALSE(ReadCatalogueFile("Name\r\n\xC3\x28\r\n", file));
    EXPECT_EQ(L"The file is not UTF-8 text.", file.Error);
    EXPECT_FALSE(ReadCatalogueFile("", file));
    EXPECT_TRUE(file.Rows.empty());
    // A bare list of records is read too.
    EXPECT_TRUE(ReadCatalogueFile("[{\"BasicInfo\": {\"Name\": \"A\"}}]", file));
    EXPECT_EQ(1u, file.Rows.size());
}

// Rows find their records by Id; a record whose installer the program imported keeps its copy.
TEST(CatalogueExchangeTests, PlanUpdatesKnownIdsAndAddsTheRest)
{
    CSoftwareArray catalogue;
    catalogue.IsOwner = 1;
    auto* imported = new CSoftware;
    FillPlain(*imported, L"6B29FC40-CA47-1067-B31D-00DD010662DA", L"Imported");
    imported->InstallerInfo.InstallerPath = L"D:\\Data\\6B29FC40-CA47-1067-B31D-00DD010662DA_INSTALL";
    imported->InstallerInfo.OriginalPath = L"C:\\setup.exe";
    imported->InstallerInfo.AttachMode = AttachByImport;
    imported->ExtraInfo.InstallerSize = L"1234";
    catalogue.Add(imported);
    auto* referenced = new CSoftware;
    FillPlain(*referenced, L"00000000-0000-0000-C000-000000000046", L"Referenced");
    catalogue.Add(referenced);

    CSoftware update1, update2, repeated, unknown, fresh;
    FillPlain(update1, L"6B29FC40-CA47-1067-B31D-00DD010662DA", L"Imported, renamed");
    update1.InstallerInfo.InstallerPath = L"E:\\elsewhere.exe";
    update1.ExtraInfo.InstallerSize = L"99";
    update1.ExtraInfo.ExpiryDate = L"2030-01-01";
    FillPlain(update2, L"00000000-0000-0000-C000-000000000046", L"Referenced, renamed");
    update2.InstallerInfo.InstallerPath = L"D:\\Data\\X_INSTALL";
    update2.InstallerInfo.AttachMode = AttachByImport;
    FillPlain(repeated, L"00000000-0000-0000-C000-000000000046", L"Again");
    FillPlain(unknown, L"11111111-2222-3333-4444-555555555555", L"Unknown");
    unknown.InstallerInfo.InstallerPath = L"D:\\Old\\11111111-2222-3333-4444-555555555555_INSTALL";
    unknown.InstallerInfo.AttachMode = AttachByImport;
    FillPlain(fresh, nullptr, L"Fresh");
    fresh.BasicInfo.Price.Currency = 3;

    CatalogueFile file;
    ASSERT_TRUE(ReadCatalogueJson(FormatCatalogueJson({&update1, &update2, &repeated, &unknown, &fresh}), file));
    file.Rows[4].HasId = false;  // as a row without an Id
    file.Rows[4].Record->Id = SoftwareId();
    ImportPlan plan = PlanCatalogueImport(file, catalogue);

    ASSERT_EQ(2u, plan.Updates.size());
    EXPECT_EQ(0, plan.Updates[0].Position);
    const CSoftware& kept = *plan.Updates[0].Record;
    EXPECT_EQ(L"Imported, renamed", kept.BasicInfo.Name);
    EXPECT_EQ(imported->InstallerInfo.InstallerPath, kept.InstallerInfo.InstallerPath);
    EXPECT_EQ(AttachByImport, kept.InstallerInfo.AttachMode);
    EXPECT_EQ(L"1234", kept.ExtraInfo.InstallerSize);
    EXPECT_EQ(L"2030-01-01", kept.ExtraInfo.ExpiryDate);
    EXPECT_EQ(1, plan.Updates[1].Position);
    EXPECT_EQ(L"D:\\Data\\X_INSTALL", plan.Updates[1].Record->InstallerInfo.InstallerPath);
    EXPECT_EQ(AttachByReference, plan.Updates[1].Record->InstallerInfo.AttachMode);  // referenced, never copied

    ASSERT_EQ(2u, plan.Additions.size());
    EXPECT_EQ(L"Unknown", plan.Additions[0]->BasicInfo.Name);
    EXPECT_EQ(FormatSoftwareId(unknown), FormatSoftwareId(*plan.Additions[0]));
    EXPECT_EQ(AttachByReference, plan.Additions[0]->InstallerInfo.AttachMode);
    EXPECT_EQ(unknown.InstallerInfo.InstallerPath, plan.Additions[0]->InstallerInfo.InstallerPath);
    EXPECT_TRUE(plan.Additions[1]->Id.IsNull());
    EXPECT_EQ(3, plan.Additions[1]->BasicInfo.Price.Currency);

    ASSERT_EQ(1u, plan.Rejected.size());
    EXPECT_EQ(file.Rows.size() > 2 ? file.Rows[2].Line : 0, plan.Rejected[0].Line);
    EXPECT_EQ(L"the Id appears again (first on line " + std::to_wstring(file.Rows[1].Line) + L")",
              plan.Rejected[0].Reason);
}

// A JSON export of a catalogue, planned into an empty one, gives every meta-data file back as it
// was; only installers the program had imported become references to the same path.
TEST(CatalogueExchangeTests, JsonRoundTripIntoAnEmptyCatalogueKeepsEveryFile)
{
    CSoftware awkward, fresh, imported;
    FillAwkward(awkward);
    ParseSoftwareId(L"00000000-0000-0000-C000-000000000046", fresh);
    FillPlain(imported, L"6B29FC40-CA47-1067-B31D-00DD010662DA", L"Imported");
    imported.InstallerInfo.InstallerPath = L"D:\\Data\\6B29FC40-CA47-1067-B31D-00DD010662DA_INSTALL";
    imported.InstallerInfo.AttachMode = AttachByImport;
    CatalogueFile file;
    ASSERT_TRUE(ReadCatalogueFile(FormatCatalogueJson({&awkward, &fresh, &imported}), file));
    CSoftwareArray empty;
    ImportPlan plan = PlanCatalogueImport(file, empty);
    ASSERT_EQ(3u, plan.Additions.size());
    EXPECT_EQ(FormatSoftwareText(awkward), FormatSoftwareText(*plan.Additions[0]));
    EXPECT_EQ(FormatSoftwareText(fresh), FormatSoftwareText(*plan.Additions[1]));
    imported.InstallerInfo.AttachMode = AttachByReference;
    EXPECT_EQ(FormatSoftwareText(imported), FormatSoftwareText(*plan.Additions[2]));
}

// Values an editor could not save are refused here too, and accepted ones come back trimmed as
// their file would give them.
TEST(CatalogueExchangeTests, ImportedRecordsAreNormalisedLikeTheirFiles)
{
    CSoftware record;
    record.BasicInfo.Name = L"  Spaced \n";
    record.BasicInfo.Price.Value = 29.899f;
    EXPECT_EQ(L"", CheckImportedRecord(record));
    EXPECT_EQ(L"Spaced", record.BasicInfo.Name);
    EXPECT_EQ(L"29.90", FormatPrice(record.BasicInfo.Price.Value));
    CSoftware opening;
    opening.RegInfo.Comment = L"x</Comment>\ny";
    EXPECT_EQ(L"field 'Comment' holds text that couldn't be saved and read back", CheckImportedRecord(opening));
    CSoftware emptyCode;
    emptyCode.RegInfo.CodeName.Add(L"K");
    emptyCode.RegInfo.Code.Add(L" ");
    EXPECT_EQ(L"a code or its name is empty", CheckImportedRecord(emptyCode));
}

TEST(CatalogueExchangeTests, MutatedExportsKeepTheReadersPromises)
{
    CSoftware awkward, fresh;
    FillAwkward(awkward);
    const std::string seeds[] = {FormatCatalogueCsv({&awkward, &fresh}), FormatCatalogueJson({&awkward, &fresh})};
    std::mt19937 random(20261208);
    static const char* const pieces[] = {"\"", ",", "\r\n", "'", ": ", "{", "}", "[", "]", "\\", "null", "1e9"};
    for (int round = 0; round < 600; ++round) {
        std::string bytes = seeds[round % 2];
        for (int edit = 0, edits = 1 + static_cast<int>(random() % 6); edit < edits; ++edit) {
            const size_t at = random() % (bytes.size() + 1);
            if (random() % 2)
                bytes.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
            else if (at < bytes.size())
                bytes.erase(at, 1 + random() % 3);
        }
        FuzzCatalogueCsv(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        FuzzCatalogueJson(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
}

// A spreadsheet that kept only some columns changes only those of the records it updates.
TEST(CatalogueExchangeTests, UpdatesKeepWhatTheirRowsDoNotHold)
{
    CSoftwareArray catalogue;
    catalogue.IsOwner = 1;
    auto* current = new CSoftware;
    FillAwkward(*current);
    catalogue.Add(current);
    CatalogueFile file;
    CatalogueFile json;
    ASSERT_TRUE(ReadCatalogueJson("[{\"Id\": \"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9\", \"RegInfo\": {\"Codes\": []}}]",
                                  json));
    ASSERT_TRUE(ReadCatalogueCsv("Id,Name,Price\r\n0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9,Renamed,\r\n"
                                 ",Fresh,\r\n",
                                 file));
    ImportPlan plan = PlanCatalogueImport(file, catalogue);
    ASSERT_EQ(1u, plan.Updates.size());
    CSoftware expected;
    FillAwkward(expected);
    expected.BasicInfo.Name = L"Renamed";
    expected.BasicInfo.Price.Value = 0.0f;  // an empty cell is a value: free
    EXPECT_EQ(FormatSoftwareText(expected), FormatSoftwareText(*plan.Updates[0].Record));
    ASSERT_EQ(1u, plan.Additions.size());
    EXPECT_EQ(L"0.0.0.0", plan.Additions[0]->BasicInfo.Version);  // a new record's value

    ImportPlan cleared = PlanCatalogueImport(json, catalogue);
    ASSERT_EQ(1u, cleared.Updates.size());
    EXPECT_EQ(0, cleared.Updates[0].Record->RegInfo.Code.GetSize());  // an empty list is a value too
    EXPECT_EQ(current->BasicInfo.Name, cleared.Updates[0].Record->BasicInfo.Name);
    EXPECT_EQ(current->ExtraInfo.ExpiryDate, cleared.Updates[0].Record->ExtraInfo.ExpiryDate);
}
