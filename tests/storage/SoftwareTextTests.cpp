#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "storage/RecordReadBack.h"
#include "storage/SoftwareText.h"

namespace {
CSoftware& SampleRecord(CSoftware& record)
{
    ParseSoftwareId(L"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", record);
    record.BasicInfo.Name = L"Setup & <Co>";
    record.BasicInfo.Version = L"";
    record.BasicInfo.Company = L"Acme";
    record.BasicInfo.Website = L"https://acme.example/";
    record.BasicInfo.Price.Value = 29.9f;
    record.BasicInfo.Price.Currency = 6;
    record.BasicInfo.Category = 13;
    record.BasicInfo.Type = 2;
    record.RegInfo.UserName = L"Jo";
    record.RegInfo.UserEmail = L"jo@example.com";
    record.RegInfo.Comment = L"line one\nline two";
    record.RegInfo.CodeName.Add(L"Serial");
    record.RegInfo.Code.Add(L"1234-ABCD");
    record.RegInfo.CodeName.Add(L"Unlock");
    record.RegInfo.Code.Add(L"XYZ");
    record.InstallerInfo.InstallerPath = L"D:\\Catalogue\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9_INSTALL";
    record.InstallerInfo.OriginalPath = L"C:\\Downloads\\setup.exe";
    record.InstallerInfo.AttachMode = 1;
    return record;
}

const wchar_t SampleText[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    L"<Software>\n<BasicInfo>\n"
    L"<Name>\nSetup & <Co></Name>\n"
    L"<Version>\n</Version>\n"
    L"<Company>\nAcme</Company>\n"
    L"<Website>\nhttps://acme.example/</Website>\n"
    L"<Price>\n29.90</Price>\n"
    L"<Currency>\n6</Currency>\n"
    L"<Category>\n13</Category>\n"
    L"<Type>\n2</Type>\n"
    L"</BasicInfo>\n<RegInfo>\n"
    L"<UserName>\nJo</UserName>\n"
    L"<UserCompany>\n</UserCompany>\n"
    L"<UserEmail>\njo@example.com</UserEmail>\n"
    L"<Comment>\nline one\nline two</Comment>\n"
    L"<RegCode>\n<CodeName>\nSerial</CodeName>\n<Code>\n1234-ABCD</Code>\n</RegCode>\n"
    L"<RegCode>\n<CodeName>\nUnlock</CodeName>\n<Code>\nXYZ</Code>\n</RegCode>\n"
    L"</RegInfo>\n<InstallerInfo>\n"
    L"<InstallerPath>\nD:\\Catalogue\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9_INSTALL</InstallerPath>\n"
    L"<OriginalPath>\nC:\\Downloads\\setup.exe</OriginalPath>\n"
    L"<AttachMode>\n1</AttachMode>\n"
    L"</InstallerInfo>\n</Software>\n";

std::wstring Replace(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    size_t at = text.find(from);
    EXPECT_NE(at, std::wstring::npos) << "missing in the sample text";
    if (at != std::wstring::npos)
        text.replace(at, from.size(), to);
    return text;
}
}  // namespace

TEST(SoftwareTextTests, IdTextIsUpperCaseWithHyphensAndReadsBothCases)
{
    SoftwareId id;
    id.Data1 = 0x0A1B2C3D;
    id.Data2 = 0x4E5F;
    id.Data3 = 0x0071;
    const uint8_t bytes[8] = {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9};
    for (int i = 0; i < 8; ++i)
        id.Data4[i] = bytes[i];
    EXPECT_EQ(FormatSoftwareId(id), L"0A1B2C3D-4E5F-0071-8293-A4B5C6D7E8F9");
    EXPECT_EQ(FormatSoftwareId(SoftwareId()), L"00000000-0000-0000-0000-000000000000");

    SoftwareId read;
    ASSERT_TRUE(ParseSoftwareId(L"0a1b2c3d-4e5f-0071-8293-a4b5c6d7e8f9", read));
    EXPECT_EQ(read, id);
    EXPECT_EQ(FormatSoftwareId(read), L"0A1B2C3D-4E5F-0071-8293-A4B5C6D7E8F9");
}

TEST(SoftwareTextTests, InvalidIdTextLeavesTheRecordAlone)
{
    CSoftware record;
    ASSERT_TRUE(ParseSoftwareId(L"11111111-2222-3333-4444-555555555555", record));
    const SoftwareId before = record.Id;
    const wchar_t* invalid[] = {
        L"11111111-2222-3333-4444-55555555555",    // 35 characters
        L"11111111-2222-3333-4444-5555555555555",  // 37
        L"{1111111-2222-3333-4444-555555555555}",
        L"111111112-222-3333-4444-555555555555",   // hyphen out of place
        L"11111111-2222-3333-4444-55555555555G",
        L"11111111-2222-3333-4444 555555555555",
        L"",
    };
    for (const wchar_t* text : invalid) {
        EXPECT_FALSE(ParseSoftwareId(text, record)) << "accepted: " << std::string(text, text + wcslen(text));
        EXPECT_EQ(record.Id, before);
    }
}

TEST(SoftwareTextTests, PricesUseFiveWideTwoDecimals)
{
    EXPECT_EQ(FormatPrice(0.0f), L" 0.00");
    EXPECT_EQ(FormatPrice(29.9f), L"29.90");
    EXPECT_EQ(FormatPrice(129.0f), L"129.00");
    EXPECT_EQ(FormatPrice(999999.9375f), L"999999.94");  // the largest float below the limit fits in 9
}

TEST(SoftwareTextTests, WriterProducesTheExactText)
{
    CSoftware record;
    EXPECT_EQ(FormatSoftwareText(SampleRecord(record)), SampleText);
}

TEST(SoftwareTextTests, RecordWithoutCodesClosesRegInfoAfterTheComment)
{
    CSoftware record;
    std::wstring text = FormatSoftwareText(record);
    EXPECT_NE(text.find(L"<Comment>\n</Comment>\n</RegInfo>\n<InstallerInfo>\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"<Price>\n 0.00</Price>\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"RegCode"), std::wstring::npos);

    CSoftware read;
    ASSERT_TRUE(ParseSoftwareText(text, read));
    EXPECT_EQ(read.BasicInfo.Name, L"Unknown");
    EXPECT_EQ(read.BasicInfo.Price.Value, 0.0f);
    EXPECT_EQ(read.BasicInfo.Price.Currency, 18);
    EXPECT_TRUE(read.RegInfo.Code.IsEmpty());
    EXPECT_TRUE(read.RegInfo.CodeName.IsEmpty());
}

TEST(SoftwareTextTests, ReaderRestoresEveryField)
{
    CSoftware written, read;
    SampleRecord(written);
    ASSERT_TRUE(ParseSoftwareText(SampleText, read));
    EXPECT_EQ(read.BasicInfo.Name, written.BasicInfo.Name);
    EXPECT_EQ(read.BasicInfo.Version, L"");
    EXPECT_EQ(read.BasicInfo.Company, L"Acme");
    EXPECT_EQ(read.BasicInfo.Website, written.BasicInfo.Website);
    EXPECT_FLOAT_EQ(read.BasicInfo.Price.Value, 29.9f);
    EXPECT_EQ(read.BasicInfo.Price.Currency, 6);
    EXPECT_EQ(read.BasicInfo.Category, 13);
    EXPECT_EQ(read.BasicInfo.Type, 2);
    EXPECT_EQ(read.RegInfo.UserName, L"Jo");
    EXPECT_EQ(read.RegInfo.UserCompany, L"");
    EXPECT_EQ(read.RegInfo.UserEmail, L"jo@example.com");
    EXPECT_EQ(read.RegInfo.Comment, L"line one\nline two");
    ASSERT_EQ(read.RegInfo.Code.GetSize(), 2);
    EXPECT_EQ(read.RegInfo.CodeName[1], L"Unlock");
    EXPECT_EQ(read.RegInfo.Code[0], L"1234-ABCD");
    EXPECT_EQ(read.InstallerInfo.InstallerPath, written.InstallerInfo.InstallerPath);
    EXPECT_EQ(read.InstallerInfo.OriginalPath, written.InstallerInfo.OriginalPath);
    EXPECT_EQ(read.InstallerInfo.AttachMode, 1);
    EXPECT_EQ(FormatSoftwareText(read), SampleText);
}

TEST(SoftwareTextTests, ReaderIgnoresOrderAndContainersButNeedsEveryLeaf)
{
    CSoftware read;
    std::wstring shuffled =
        L"<AttachMode>\n0</AttachMode>\n<Comment>\n</Comment>\n<Type>\n1</Type>\n<Name>\n  Tool \n</Name>\n"
        L"<Version>\n1.0</Version>\n<Company>\nX</Company>\n<Website>\nw</Website>\n<Category>\n3</Category>\n"
        L"<Price>\n5</Price>\n<Currency>\n2</Currency>\n<UserName>\n</UserName>\n<UserCompany>\n</UserCompany>\n"
        L"<UserEmail>\n</UserEmail>\n<InstallerPath>\n</InstallerPath>\n<OriginalPath>\n</OriginalPath>\n";
    ASSERT_TRUE(ParseSoftwareText(shuffled, read));
    EXPECT_EQ(read.BasicInfo.Name, L"Tool");
    EXPECT_EQ(read.BasicInfo.Type, 1);
    EXPECT_EQ(read.BasicInfo.Category, 3);

    const wchar_t* leaves[] = {L"Name",     L"Version",     L"Company",   L"Website",       L"Price",
                               L"Currency", L"Category",    L"Type",      L"UserName",      L"UserCompany",
                               L"UserEmail", L"Comment",    L"InstallerPath", L"OriginalPath", L"AttachMode"};
    for (const wchar_t* leaf : leaves) {
        std::wstring name(leaf);
        std::wstring damaged = Replace(SampleText, L"</" + name + L">\n", L"</" + name + L">");
        CSoftware partial;
        EXPECT_FALSE(ParseSoftwareText(damaged, partial)) << "loaded without " << std::string(name.begin(), name.end());
    }

    std::wstring crlf;
    for (wchar_t c : std::wstring(SampleText)) {
        if (c == L'\n')
            crlf += L'\r';
        crlf += c;
    }
    EXPECT_FALSE(ParseSoftwareText(crlf, read));
}

TEST(SoftwareTextTests, UnequalCodeListsFailButEmptyCodesStayPaired)
{
    CSoftware read;
    std::wstring unequal = Replace(SampleText, L"<Code>\nXYZ</Code>\n", L"");
    EXPECT_FALSE(ParseSoftwareText(unequal, read));

    std::wstring emptyName = Replace(SampleText, L"<CodeName>\nUnlock</CodeName>\n", L"<CodeName>\n</CodeName>\n");
    ASSERT_TRUE(ParseSoftwareText(emptyName, read));
    ASSERT_EQ(read.RegInfo.CodeName.GetSize(), 2);
    EXPECT_EQ(read.RegInfo.CodeName[1], L"");
    EXPECT_EQ(read.RegInfo.Code[1], L"XYZ");
}

TEST(SoftwareTextTests, OutOfRangeNumbersFallBackToTheDefaults)
{
    std::wstring text = Replace(SampleText, L"<Category>\n13</Category>", L"<Category>\n19</Category>");
    text = Replace(text, L"<Type>\n2</Type>", L"<Type>\n-1</Type>");
    text = Replace(text, L"<Currency>\n6</Currency>", L"<Currency>\n4000000000</Currency>");
    text = Replace(text, L"<AttachMode>\n1</AttachMode>", L"<AttachMode>\n2</AttachMode>");
    CSoftware read;
    ASSERT_TRUE(ParseSoftwareText(text, read));
    EXPECT_EQ(read.BasicInfo.Category, 0);
    EXPECT_EQ(read.BasicInfo.Type, 0);
    EXPECT_EQ(read.BasicInfo.Price.Currency, 18);
    EXPECT_EQ(read.InstallerInfo.AttachMode, 0);
    EXPECT_EQ(read.BasicInfo.Name, L"Setup & <Co>");

    const wchar_t* badPrices[] = {L"1000000", L"12345678.5", L"-4.5", L"1e39", L"-0"};
    for (const wchar_t* price : badPrices) {
        CSoftware priced;
        ASSERT_TRUE(ParseSoftwareText(Replace(SampleText, L"29.90</Price>", std::wstring(price) + L"</Price>"), priced));
        EXPECT_EQ(priced.BasicInfo.Price.Value, 0.0f);
        EXPECT_FALSE(std::signbit(priced.BasicInfo.Price.Value));
        EXPECT_TRUE(IsStorableRecord(priced));
    }
}

TEST(SoftwareTextTests, OnlyRecordsThatReadBackAsWrittenAreStorable)
{
    CSoftware record;
    EXPECT_TRUE(IsStorableRecord(record));
    record.BasicInfo.Price.Value = 999999.9f;
    EXPECT_TRUE(IsStorableRecord(record));
    record.BasicInfo.Price.Value = 1000000.0f;
    EXPECT_FALSE(IsStorableRecord(record));
    record.BasicInfo.Price.Value = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(IsStorableRecord(record));
    record.BasicInfo.Price.Value = -0.5f;
    EXPECT_FALSE(IsStorableRecord(record));
    record.BasicInfo.Price.Value = 1.0f;
    record.BasicInfo.Category = 19;
    EXPECT_FALSE(IsStorableRecord(record));
    record.BasicInfo.Category = 18;
    record.RegInfo.Code.Add(L"orphan");
    EXPECT_FALSE(IsStorableRecord(record));
}

TEST(SoftwareTextTests, ExtraFieldsGoInOneContainerAfterTheInstallerOnlyWhenSet)
{
    CSoftware record;
    SampleRecord(record);
    record.ExtraInfo.ExpiryDate = L"2027-01-31";
    record.ExtraInfo.InstallerSha256 = L"00ff";
    const std::wstring expected =
        Replace(SampleText, L"</InstallerInfo>\n</Software>\n",
                L"</InstallerInfo>\n<ExtraInfo>\n<ExpiryDate>\n2027-01-31</ExpiryDate>\n"
                L"<InstallerSha256>\n00ff</InstallerSha256>\n</ExtraInfo>\n</Software>\n");
    EXPECT_EQ(FormatSoftwareText(record), expected);

    // Every field comes back, and a record that sets none is written as before.
    for (const ExtraField& field : ExtraFields)
        record.ExtraInfo.*field.Member = std::wstring(L"v-") + field.Element;
    // The installer facts are checked on load, so they take their stored forms.
    record.ExtraInfo.InstallerSize = L"1048576";
    record.ExtraInfo.InstallerSha256 = std::wstring(64, L'e');
    record.ExtraInfo.InstallerTrust = L"Not trusted";
    record.ExtraInfo.InstallerAttached = L"2026-12-08T15:04:05";
    record.ExtraInfo.InstallerChecked = L"2026-12-09T00:00:00";
    record.ExtraInfo.InstallerCheck = L"Missing";
    CSoftware back;
    ASSERT_TRUE(ParseSoftwareText(FormatSoftwareText(record), back));
    EXPECT_EQ(back.ExtraInfo, record.ExtraInfo);
    record.ExtraInfo = CExtraInfo();
    EXPECT_TRUE(record.ExtraInfo.IsEmpty());
    EXPECT_EQ(FormatSoftwareText(record), SampleText);
}

TEST(SoftwareTextTests, FilesWithoutTheContainerLoadAndUnknownElementsAreIgnored)
{
    CSoftware back;
    back.ExtraInfo.ExpiryDate = L"stale";
    ASSERT_TRUE(ParseSoftwareText(SampleText, back));
    EXPECT_TRUE(back.ExtraInfo.IsEmpty());
    // A later build's element this one does not know leaves the rest readable.
    const std::wstring later = Replace(SampleText, L"</InstallerInfo>\n",
                                       L"</InstallerInfo>\n<ExtraInfo>\n<Future>\nx</Future>\n"
                                       L"<PurchaseDate>\n2026-02-03</PurchaseDate>\n</ExtraInfo>\n");
    CSoftware fromLater;
    ASSERT_TRUE(ParseSoftwareText(later, fromLater));
    EXPECT_EQ(fromLater.BasicInfo.Name, L"Setup & <Co>");
    EXPECT_EQ(fromLater.ExtraInfo.PurchaseDate, L"2026-02-03");
}

TEST(SoftwareTextTests, ExtraFieldsAreCoveredByTheReadBackCheck)
{
    CSoftware record;
    SampleRecord(record);
    record.RegInfo.Comment = L"renew <ExpiryDate>\n2020-01-01</ExpiryDate>\nsoon";
    EXPECT_FALSE(ReadsBack(record));
    EXPECT_EQ(FirstFieldNotReadBack(record), StoredField::Comment);

    CSoftware cut;
    SampleRecord(cut);
    cut.ExtraInfo.PurchaseDate = L"2026-01-01</PurchaseDate>\nmore";
    EXPECT_FALSE(ReadsBack(cut));
    EXPECT_EQ(FirstFieldNotReadBack(cut), StoredField::Extra);
    cut.ExtraInfo.PurchaseDate = L" 2026-01-01 ";
    EXPECT_TRUE(ReadsBack(cut));
}
