#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "storage/History.h"
#include "storage/Paths.h"
#include "tests/storage/StorageTestSupport.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

namespace {
const wchar_t* const FileNames[] = {L"Company.his",  L"Website.his", L"UserName.his",
                                    L"UserCompany.his", L"Email.his", L"CodeName.his"};

std::string Utf16(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

// Points the per-user paths into a temporary folder for one test.
class HistoryFilesTests : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = HistoryFolder;
        HistoryFolder = m_folder / L"History\\";
        ClearHistoryLists();
    }
    void TearDown() override
    {
        HistoryFolder = m_saved;
        ClearHistoryLists();
    }
    CTempFolder m_folder;

private:
    std::wstring m_saved;
};
}  // namespace

TEST_F(HistoryFilesTests, LoadCreatesAMissingFolderAndReadsTheSixFiles)
{
    HistoryLists.Company.Add(L"stale");
    LoadHistoryLists();
    EXPECT_TRUE(PathExists(HistoryFolder, true));
    EXPECT_TRUE(HistoryLists.Company.IsEmpty());

    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(WriteFileBytes(HistoryFolder + FileNames[i], Utf16(std::wstring(L"v") + FileNames[i] + L"\n")));
    ASSERT_TRUE(WriteFileBytes(HistoryFolder + L"Email.his", Utf16(L"a@x\nb@x")));  // no final line feed
    LoadHistoryLists();
    ASSERT_EQ(HistoryLists.Company.GetSize(), 1);
    EXPECT_EQ(HistoryLists.Company[0], L"vCompany.his");
    EXPECT_EQ(HistoryLists.UserCompany[0], L"vUserCompany.his");
    EXPECT_EQ(HistoryLists.CodeName[0], L"vCodeName.his");
    ASSERT_EQ(HistoryLists.Email.GetSize(), 1);
    EXPECT_EQ(HistoryLists.Email[0], L"a@x");
}

TEST_F(HistoryFilesTests, ReadAppendsAndKeepsDuplicatesAsStored)
{
    std::wstring path = m_folder / L"list.his";
    CStringArray list;
    EXPECT_EQ(ReadHistoryFile(path, list), -1);
    ASSERT_TRUE(WriteFileBytes(path, Utf16(L"Acme\nacme\n\nAcme\n")));
    list.Add(L"first");
    EXPECT_EQ(ReadHistoryFile(path, list), 4);
    ASSERT_EQ(list.GetSize(), 5);
    EXPECT_EQ(list[2], L"acme");
    EXPECT_EQ(list[3], L"");

    // Readers may share a history file; a writer may not.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    CStringArray again;
    EXPECT_EQ(ReadHistoryFile(path, again), 4);
    CloseHandle(reader);
}

TEST_F(HistoryFilesTests, WriteGivesEachEntryAndOneLineFeedInTwoByteUnits)
{
    CMessageBoxScript boxes;
    std::wstring path = m_folder / L"list.his";
    CStringArray list;
    list.Add(L"One");
    list.Add(L"Tw\x00F6");
    list.Add(L"3");
    EXPECT_EQ(WriteHistoryFile(path, list), 3);
    EXPECT_EQ(ReadFileBytes(path), Utf16(L"One\nTw\x00F6\n3\n"));
    EXPECT_EQ(WriteHistoryFile(path, CStringArray()), 0);
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(WriteHistoryFile(m_folder.Path(), list), -1);  // a folder of that name

    ASSERT_TRUE(WriteFileBytes(path, Utf16(L"old\n")));
    HANDLE holder = HoldFileExclusively(path);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteHistoryFile(path, list), -1);
    CloseHandle(holder);
    {
        CSaveFault fault(SaveStep::Write, L"list.his");
        EXPECT_EQ(WriteHistoryFile(path, list), -1);
    }
    DeleteFileW((path + L".tmp").c_str());
    ASSERT_TRUE(CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    EXPECT_EQ(WriteHistoryFile(path, list), -1);
    EXPECT_EQ(ReadFileBytes(path), Utf16(L"old\n"));
    // The lists are only autocomplete: a history save that fails says nothing.
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(HistoryFilesTests, AddingARecordAppendsNewValuesOnlyAndSavesAllSix)
{
    HistoryLists.Company.Add(L"Acme");
    CSoftware record;
    record.BasicInfo.Company = L"ACME";  // differs in a-z case only: nothing added
    record.BasicInfo.Website = L"w.example";
    record.RegInfo.UserName = L"";       // empty: never added
    record.RegInfo.UserCompany = L"\x00C9cole";
    record.RegInfo.UserEmail = L"me@x";
    std::vector<std::pair<HistoryListId, std::wstring>> added;
    AddRecordToHistory(record, [&](HistoryListId list, const std::wstring& value) { added.push_back({list, value}); });

    std::vector<std::pair<HistoryListId, std::wstring>> expected = {
        {HistoryWebsite, L"w.example"}, {HistoryUserCompany, L"\x00C9cole"}, {HistoryEmail, L"me@x"}};
    EXPECT_EQ(added, expected);
    EXPECT_EQ(HistoryLists.Company.GetSize(), 1);
    for (const wchar_t* name : FileNames)
        EXPECT_TRUE(FileExistsAt(HistoryFolder + name)) << "missing " << std::string(name, name + wcslen(name));
    EXPECT_EQ(ReadFileBytes(HistoryFolder + L"Company.his"), Utf16(L"Acme\n"));

    // An accented letter is not folded: a new entry.
    record.RegInfo.UserCompany = L"\x00E9""cole";
    added.clear();
    AddRecordToHistory(record, [&](HistoryListId list, const std::wstring& value) { added.push_back({list, value}); });
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(HistoryLists.UserCompany.GetSize(), 2);

    EXPECT_TRUE(AddCodeNameToHistory(L"Serial"));
    EXPECT_FALSE(AddCodeNameToHistory(L"SERIAL"));
    EXPECT_FALSE(AddCodeNameToHistory(L""));
    EXPECT_EQ(ReadFileBytes(HistoryFolder + L"CodeName.his"), "");  // reaches the file with the next save
}

TEST_F(HistoryFilesTests, ClearingThenSavingLeavesSixEmptyFiles)
{
    HistoryLists.Company.Add(L"Acme");
    HistoryLists.CodeName.Add(L"Key");
    SaveHistoryLists();
    ClearHistoryLists();
    SaveHistoryLists();
    for (const wchar_t* name : FileNames) {
        EXPECT_TRUE(FileExistsAt(HistoryFolder + name));
        EXPECT_EQ(ReadFileBytes(HistoryFolder + name), "");
    }
}
