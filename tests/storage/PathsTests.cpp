#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "storage/Paths.h"
#include "tests/support/TempFolder.h"

namespace {
// Restores the process-wide paths after a test that changes them.
class CSavedPaths {
public:
    CSavedPaths() : m_base(BaseFolder), m_settings(SettingsPath), m_temp(TempFolder), m_history(HistoryFolder) {}
    ~CSavedPaths()
    {
        BaseFolder = m_base;
        SettingsPath = m_settings;
        TempFolder = m_temp;
        HistoryFolder = m_history;
    }

private:
    std::wstring m_base, m_settings, m_temp, m_history;
};
}  // namespace

TEST(PathsTests, FoldersHangBelowTheApplicationDataFolder)
{
    CSavedPaths saved;
    SetPathsFrom(L"C:\\Users\\User\\AppData\\Roaming");
    EXPECT_EQ(BaseFolder, L"C:\\Users\\User\\AppData\\Roaming\\Orrinwell\\Quorvane\\");
    EXPECT_EQ(SettingsPath, BaseFolder + L"settings.xml");
    EXPECT_EQ(TempFolder, BaseFolder + L"Temp\\");
    EXPECT_EQ(HistoryFolder, BaseFolder + L"History\\");

    ASSERT_TRUE(ComputePaths());
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)));
    EXPECT_EQ(BaseFolder, std::wstring(appData) + L"\\Orrinwell\\Quorvane\\");
}

TEST(PathsTests, TheBaseFolderChainIsCreated)
{
    CSavedPaths saved;
    CTempFolder folder;
    SetPathsFrom(folder.Path());
    EXPECT_FALSE(PathExists(BaseFolder, true));
    CreateBaseFolder();
    EXPECT_TRUE(PathExists(BaseFolder, true));
    EXPECT_TRUE(PathExists(folder / L"Orrinwell", true));
}

TEST(PathsTests, ExistenceTellsFilesFromFolders)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder / L"file.txt", "x"));
    EXPECT_TRUE(PathExists(folder / L"file.txt", false));
    EXPECT_FALSE(PathExists(folder / L"file.txt", true));
    EXPECT_TRUE(PathExists(folder.Path(), true));
    EXPECT_FALSE(PathExists(folder / L"none", false));
    EXPECT_FALSE(FolderExists(L"", false));
    EXPECT_FALSE(FolderExists(L"", true));
    EXPECT_TRUE(FolderExists(folder.Path(), true));
}

TEST(PathsTests, CleanFolderEmptiesAndRecreates)
{
    CTempFolder folder;
    std::wstring temp = folder / L"Temp\\";
    CleanFolder(temp);  // missing: just created
    EXPECT_TRUE(PathExists(temp, true));
    ASSERT_TRUE(WriteFileBytes(temp + L"left.exe", "old"));
    ASSERT_TRUE(CreateDirectoryW((temp + L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(temp + L"sub\\deep.txt", "old"));
    CleanFolder(temp);
    EXPECT_TRUE(PathExists(temp, true));
    EXPECT_FALSE(PathExists(temp + L"left.exe", false));
    EXPECT_FALSE(PathExists(temp + L"sub", false));
    CleanFolder(L"");  // nothing happens
}
