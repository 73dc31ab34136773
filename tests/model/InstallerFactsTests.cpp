#include <gtest/gtest.h>

#include <string>

#include "model/InstallerFacts.h"
#include "storage/SoftwareText.h"

namespace {
const std::wstring HashA = L"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
const std::wstring HashB = L"60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752";

CExtraInfo Recorded()
{
    CExtraInfo extra;
    CInstallerFacts facts;
    facts.Size = 1234567;
    facts.Sha256 = HashA;
    facts.Version = L"2.1.0.7";
    facts.Product = L"Acme Tools";
    facts.Signer = L"Acme Ltd";
    facts.Trust = TrustTrusted;
    RecordInstallerFacts(extra, facts, L"2026-12-08T09:05:00");
    return extra;
}

CInstallerFacts Measured(uint64_t size, const std::wstring& hash, const std::wstring& signer = L"Acme Ltd",
                         const std::wstring& trust = TrustTrusted)
{
    CInstallerFacts facts;
    facts.Size = size;
    facts.Sha256 = hash;
    facts.Signer = signer;
    facts.Trust = trust;
    return facts;
}
}  // namespace

TEST(InstallerFactsTests, SizesAreCanonicalDecimalWithinSixtyFourBits)
{
    uint64_t size = 7;
    EXPECT_TRUE(ParseSizeText(L"0", size));
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(ParseSizeText(L"18446744073709551615", size));
    EXPECT_EQ(size, UINT64_MAX);
    EXPECT_EQ(SizeText(UINT64_MAX), L"18446744073709551615");
    for (const wchar_t* bad : {L"", L"18446744073709551616", L"007", L"-1", L"+1", L" 1", L"1e3", L"12a"})
        EXPECT_FALSE(ParseSizeText(bad, size)) << bad;
    EXPECT_EQ(GroupedSizeText(0), L"0");
    EXPECT_EQ(GroupedSizeText(999), L"999");
    EXPECT_EQ(GroupedSizeText(1000), L"1,000");
    EXPECT_EQ(GroupedSizeText(268435456), L"268,435,456");
}

TEST(InstallerFactsTests, HashesAreSixtyFourLowerCaseHexDigits)
{
    EXPECT_TRUE(IsSha256Text(HashA));
    std::wstring upper = HashA;
    upper[0] = L'F';
    EXPECT_FALSE(IsSha256Text(upper));
    EXPECT_FALSE(IsSha256Text(HashA.substr(1)));
    EXPECT_FALSE(IsSha256Text(HashA + L"0"));
    EXPECT_FALSE(IsSha256Text(std::wstring(63, L'a') + L"g"));
    const uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff};
    EXPECT_EQ(HexText(bytes, 4), L"000fa0ff");
}

TEST(InstallerFactsTests, TimestampsAreRealDatesAndTimes)
{
    EXPECT_EQ(TimestampText(2026, 3, 4, 5, 6, 7), L"2026-03-04T05:06:07");
    EXPECT_TRUE(IsTimestampText(L"2024-02-29T23:59:59"));
    EXPECT_TRUE(IsTimestampText(L"2000-02-29T00:00:00"));
    for (const wchar_t* bad : {L"2023-02-29T00:00:00", L"1900-02-29T00:00:00", L"2026-13-01T00:00:00",
                               L"2026-04-31T00:00:00", L"2026-01-01T24:00:00", L"2026-01-01T00:60:00",
                               L"2026-01-01 00:00:00", L"2026-01-01T00:00", L"2026-1-01T00:00:00",
                               L"2026-01-00T00:00:00", L"1600-12-31T00:00:00"})
        EXPECT_FALSE(IsTimestampText(bad)) << bad;
}

TEST(InstallerFactsTests, CheckResultsAndTrustHaveFixedWords)
{
    EXPECT_EQ(ParseCheckResult(L"Intact"), InstallerCheckResult::Intact);
    EXPECT_EQ(ParseCheckResult(L"Changed"), InstallerCheckResult::Changed);
    EXPECT_EQ(ParseCheckResult(L"Missing"), InstallerCheckResult::Missing);
    EXPECT_EQ(ParseCheckResult(L"Unreadable"), InstallerCheckResult::Unreadable);
    EXPECT_EQ(ParseCheckResult(L"intact"), InstallerCheckResult::None);
    EXPECT_TRUE(IsTrustText(L"Trusted"));
    EXPECT_TRUE(IsTrustText(L"Not trusted"));
    EXPECT_TRUE(IsTrustText(L"Unsigned"));
    EXPECT_FALSE(IsTrustText(L"trusted"));

    CExtraInfo extra = Recorded();
    EXPECT_FALSE(LastCheckFailed(extra));
    RecordInstallerCheck(extra, InstallerCheckResult::Intact, L"2026-12-09T10:00:00");
    EXPECT_FALSE(LastCheckFailed(extra));
    RecordInstallerCheck(extra, InstallerCheckResult::Missing, L"2026-12-09T10:00:01");
    EXPECT_TRUE(LastCheckFailed(extra));
    EXPECT_EQ(extra.InstallerCheck, L"Missing");
    EXPECT_EQ(extra.InstallerChecked, L"2026-12-09T10:00:01");
}

TEST(InstallerFactsTests, RecordingSetsEveryFactAndForgetsTheLastCheckAndClearingEmptiesAll)
{
    CExtraInfo extra = Recorded();
    RecordInstallerCheck(extra, InstallerCheckResult::Changed, L"2026-12-09T10:00:00");
    CInstallerFacts facts;
    facts.Size = 0;
    facts.Sha256 = HashB;
    facts.Trust = TrustUnsigned;
    extra.PurchaseDate = L"2026-01-02";
    RecordInstallerFacts(extra, facts, L"2026-12-10T11:12:13");
    EXPECT_EQ(extra.InstallerSize, L"0");
    EXPECT_EQ(extra.InstallerSha256, HashB);
    EXPECT_EQ(extra.InstallerVersion, L"");
    EXPECT_EQ(extra.InstallerSigner, L"");
    EXPECT_EQ(extra.InstallerTrust, L"Unsigned");
    EXPECT_EQ(extra.InstallerAttached, L"2026-12-10T11:12:13");
    EXPECT_EQ(extra.InstallerCheck, L"");
    EXPECT_EQ(extra.InstallerChecked, L"");
    EXPECT_TRUE(HasInstallerFacts(extra));

    ClearInstallerFacts(extra);
    EXPECT_FALSE(HasInstallerFacts(extra));
    CExtraInfo onlyDate;
    onlyDate.PurchaseDate = L"2026-01-02";
    EXPECT_EQ(extra, onlyDate);  // the licence dates are not the installer's
}

TEST(InstallerFactsTests, LoadingDropsMalformedFactsAndKeepsGoodOnes)
{
    CExtraInfo good = Recorded();
    RecordInstallerCheck(good, InstallerCheckResult::Unreadable, L"2026-12-09T10:00:00");
    CExtraInfo checked = good;
    DropInvalidInstallerFacts(checked);
    EXPECT_EQ(checked, good);

    CExtraInfo bad = good;
    bad.InstallerSha256 = HashA.substr(0, 63) + L"G";
    bad.InstallerTrust = L"maybe";
    bad.InstallerAttached = L"yesterday";
    bad.InstallerCheck = L"Fine";
    bad.InstallerVersion = L"1.0\r\n<evil>" + std::wstring(400, L'x');
    DropInvalidInstallerFacts(bad);
    // Size and hash go together.
    EXPECT_EQ(bad.InstallerSize, L"");
    EXPECT_EQ(bad.InstallerSha256, L"");
    EXPECT_EQ(bad.InstallerTrust, L"");
    EXPECT_EQ(bad.InstallerAttached, L"");
    EXPECT_EQ(bad.InstallerCheck, L"");
    EXPECT_EQ(bad.InstallerChecked, L"");
    EXPECT_EQ(bad.InstallerVersion.substr(0, 10), L"1.0<evil>x");
    EXPECT_EQ(bad.InstallerVersion.size(), 260u);
    EXPECT_EQ(bad.InstallerSigner, L"Acme Ltd");
}

TEST(InstallerFactsTests, TheFileReaderChecksTheFacts)
{
    CSoftware record;
    record.ExtraInfo = Recorded();
    std::wstring text = FormatSoftwareText(record);
    CSoftware back;
    ASSERT_TRUE(ParseSoftwareText(text, back));
    EXPECT_EQ(back.ExtraInfo, record.ExtraInfo);
    EXPECT_NE(text.find(L"<InstallerSize>\n1234567</InstallerSize>\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"<InstallerAttached>\n2026-12-08T09:05:00</InstallerAttached>\n"), std::wstring::npos);

    const size_t at = text.find(L"1234567");
    text.replace(at, 7, L"12x4567");
    CSoftware damaged;
    ASSERT_TRUE(ParseSoftwareText(text, damaged));
    EXPECT_FALSE(HasInstallerFacts(damaged.ExtraInfo));
    EXPECT_EQ(damaged.ExtraInfo.InstallerProduct, L"Acme Tools");
}

TEST(InstallerFactsTests, ComparisonNamesWhatChanged)
{
    const CExtraInfo recorded = Recorded();
    EXPECT_FALSE(CompareInstallerFacts(recorded, Measured(1234567, HashA)).Any());

    CInstallerChanges content = CompareInstallerFacts(recorded, Measured(1234567, HashB));
    EXPECT_TRUE(content.Content);
    EXPECT_FALSE(content.Size);
    EXPECT_FALSE(content.Signer);

    CInstallerChanges resized = CompareInstallerFacts(recorded, Measured(1234568, HashB, L"", TrustUnsigned));
    EXPECT_TRUE(resized.Size);
    EXPECT_TRUE(resized.Content);
    EXPECT_TRUE(resized.Signer);

    // A measurement that did not look at the signature says nothing about it.
    EXPECT_FALSE(CompareInstallerFacts(recorded, Measured(1234567, HashA, L"", L"")).Any());
    // Nor does a record from before signatures were recorded.
    CExtraInfo old = recorded;
    old.InstallerSigner.clear();
    old.InstallerTrust.clear();
    EXPECT_FALSE(CompareInstallerFacts(old, Measured(1234567, HashA, L"Other", TrustNotTrusted)).Any());
}

TEST(InstallerFactsTests, TheQuestionSaysWhatChanged)
{
    const CExtraInfo recorded = Recorded();
    const CInstallerFacts measured = Measured(1300000, HashB, L"", TrustUnsigned);
    EXPECT_EQ(ChangedInstallerQuestion(L"Acme(2.1)", CompareInstallerFacts(recorded, measured), recorded, measured),
              L"Acme(2.1)'s installer has changed since it was attached:\n\n"
              L"Size: 1,300,000 bytes now, 1,234,567 bytes when attached.\n"
              L"Content: its SHA-256 differs from the one recorded.\n"
              L"Signer: unsigned now, Acme Ltd (Trusted) when attached.\n"
              L"\nWould you like to continue ?");
    const CInstallerFacts contentOnly = Measured(1234567, HashB);
    EXPECT_EQ(ChangedInstallerQuestion(L"Acme(2.1)", CompareInstallerFacts(recorded, contentOnly), recorded,
                                       contentOnly),
              L"Acme(2.1)'s installer has changed since it was attached:\n\n"
              L"Content: its SHA-256 differs from the one recorded.\n"
              L"\nWould you like to continue ?");
}
