#include <gtest/gtest.h>

#include "model/Search.h"
#include "model/TextRules.h"
#include "ModelTestSupport.h"

namespace {
// A record holding each searched field once, each with its own marker word.
CSoftware* Full(CRecordPool& pool)
{
    CSoftware* record = pool.New();
    record->BasicInfo.Name = L"NameWord";
    record->BasicInfo.Version = L"VersionWord";
    record->BasicInfo.Company = L"CompanyWord";
    record->BasicInfo.Website = L"www.sitewword.example";
    record->RegInfo.UserName = L"UserNameWord";
    record->RegInfo.UserCompany = L"UserCompanyWord";
    record->RegInfo.UserEmail = L"mail@mailword.example";
    record->RegInfo.Comment = L"first line\nCommentWord here";
    record->RegInfo.CodeName.Add(L"CodeNameWord");
    record->RegInfo.Code.Add(L"AAAA-CODEWORD-1234");
    record->InstallerInfo.InstallerPath = L"D:\\Setups\\installerword_setup.exe";
    record->InstallerInfo.OriginalPath = L"D:\\Setups\\installerword_setup.exe";
    return record;
}
}  // namespace

TEST(Search, EverySearchedFieldMatchesIgnoringCase)
{
    CRecordPool pool;
    const CSoftware& record = *Full(pool);
    for (const wchar_t* query : {L"nameword", L"VERSIONWORD", L"companyWORD", L"SITEWWORD", L"usernameword",
                                 L"usercompanyword", L"MAILWORD", L"commentword", L"codenameword", L"codeword-12",
                                 L"INSTALLERWORD_SETUP.EXE"})
        EXPECT_TRUE(RecordMatches(record, query)) << query;
    EXPECT_FALSE(RecordMatches(record, L"absent"));
}

TEST(Search, FieldsThatAreNotSearchedNeverMatch)
{
    CRecordPool pool;
    CSoftware& record = *pool.New();
    record.BasicInfo.Name = L"Plain";
    record.BasicInfo.Price.Value = 12.5f;
    record.BasicInfo.Category = 7;  // "Internet"
    record.InstallerInfo.InstallerPath = L"D:\\FolderWord\\setup.exe";
    record.ExtraInfo.ExpiryDate = L"2030-01-01";
    EXPECT_FALSE(RecordMatches(record, L"Internet"));
    EXPECT_FALSE(RecordMatches(record, L"12.5"));
    // Only the file name of the installer, not its folder.
    EXPECT_FALSE(RecordMatches(record, L"folderword"));
    EXPECT_TRUE(RecordMatches(record, L"setup.exe"));
    EXPECT_FALSE(RecordMatches(record, L"2030"));
}

TEST(Search, ImportedInstallerIsFoundByTheNameItCameWith)
{
    CRecordPool pool;
    CSoftware& record = *pool.New();
    record.InstallerInfo.InstallerPath = L"E:\\Data\\01234567-89AB-CDEF-0123-456789ABCDEF_INSTALL";
    record.InstallerInfo.OriginalPath = L"C:\\Downloads\\tool-2.1.msi";
    record.InstallerInfo.AttachMode = 1;
    EXPECT_TRUE(RecordMatches(record, L"TOOL-2.1"));
    EXPECT_FALSE(RecordMatches(record, L"_install"));
}

TEST(Search, QueryIsTrimmedAndAnEmptyOneMatchesNothing)
{
    CRecordPool pool;
    const CSoftware& record = *Full(pool);
    EXPECT_TRUE(RecordMatches(record, L"  nameword\t"));
    EXPECT_FALSE(RecordMatches(record, L""));
    EXPECT_FALSE(RecordMatches(record, L"   "));
    EXPECT_EQ(SearchKey(L" a\u00e9b "), PlatformUpper(L"a\u00e9b"));
}

TEST(Search, AMatchNeverSpansTwoFields)
{
    CRecordPool pool;
    CSoftware& record = *pool.New();
    record.BasicInfo.Name = L"abc";
    record.BasicInfo.Version = L"def";
    record.RegInfo.CodeName.Add(L"one");
    record.RegInfo.Code.Add(L"two");
    EXPECT_FALSE(RecordMatches(record, L"cd"));
    EXPECT_FALSE(RecordMatches(record, L"onetwo"));
    EXPECT_FALSE(RecordMatches(record, std::wstring(L"c\0d", 3)));
    // Inside a multi-line comment a match may cross the line break the user typed.
    record.RegInfo.Comment = L"end\nstart";
    EXPECT_TRUE(RecordMatches(record, L"END"));
}

TEST(Search, NonAsciiLettersFoldTheirCase)
{
    CRecordPool pool;
    CSoftware& record = *pool.New();
    record.BasicInfo.Company = L"\u00c9diteur \u0416\u0443\u043a";  // Éditeur Жук
    EXPECT_TRUE(RecordMatches(record, L"\u00e9diteur"));
    EXPECT_TRUE(RecordMatches(record, L"\u0436\u0423\u041a"));
}

TEST(SearchIndex, FindsInCatalogueOrderAndNarrowsAsTheQueryGrows)
{
    CRecordPool pool;
    CSoftwareArray catalogue;
    std::vector<CSoftware*> records;
    for (const wchar_t* name : {L"Alpha Edit", L"beta", L"Gamma EDITOR", L"delta", L"editorial"})
        records.push_back(pool.Named(name));
    Fill(catalogue, records);
    CSearchIndex index;
    index.Build(catalogue);
    CSoftwareArray found;
    EXPECT_EQ(index.Find(L"edit", found), 3);
    EXPECT_EQ(Contents(found), (std::vector<CSoftware*>{records[0], records[2], records[4]}));
    EXPECT_EQ(index.Find(L"editor", found), 2);
    EXPECT_EQ(Contents(found), (std::vector<CSoftware*>{records[2], records[4]}));
    // Shortening the query widens it again: the whole catalogue is searched.
    EXPECT_EQ(index.Find(L"ed", found), 3);
    EXPECT_EQ(index.Find(L"a", found), 5);
    EXPECT_EQ(index.Find(L"", found), 0);
    // After an empty query, a new one searches everything.
    EXPECT_EQ(index.Find(L"delta", found), 1);
    EXPECT_EQ(found.IsOwner, 0);
}

TEST(SearchIndex, ARebuildSeesChangedRecordsAndForgetsTheLastQuery)
{
    CRecordPool pool;
    CSoftwareArray catalogue;
    CSoftware* first = pool.Named(L"one");
    CSoftware* second = pool.Named(L"two");
    Fill(catalogue, {first, second});
    CSearchIndex index;
    index.Build(catalogue);
    CSoftwareArray found;
    EXPECT_EQ(index.Find(L"tw", found), 1);
    second->BasicInfo.Name = L"three";
    first->BasicInfo.Name = L"twelve";
    index.Build(catalogue);
    // "two" extends "tw", but the rebuild forgot it: first is found though it did not match then.
    EXPECT_EQ(index.Find(L"twe", found), 1);
    EXPECT_EQ(found[0], first);
    Fill(catalogue, {second});
    index.Build(catalogue);
    EXPECT_EQ(index.Find(L"t", found), 1);
    EXPECT_EQ(found[0], second);
}

TEST(SearchIndex, AHugeCommentIsSearchedWhole)
{
    CRecordPool pool;
    CSoftwareArray catalogue;
    CSoftware* big = pool.Named(L"big");
    big->RegInfo.Comment.assign(4 * 1024 * 1024, L'x');
    big->RegInfo.Comment += L"needle";
    Fill(catalogue, {pool.Named(L"small"), big});
    CSearchIndex index;
    index.Build(catalogue);
    CSoftwareArray found;
    EXPECT_EQ(index.Find(L"NEEDLE", found), 1);
    EXPECT_EQ(index.Find(L"xneedle", found), 1);
    EXPECT_EQ(index.Find(L"needles", found), 0);
}
