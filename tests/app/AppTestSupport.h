#pragma once
// Start-up tests run the application in this process with an application-data folder of their own
// under a temporary folder, as a first start would find it. The real per-user folder is touched
// only by the process tests, and only inside the private Wine prefix of the test script.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/QVNApp.h"
#include "model/Catalogue.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "storage/SoftwareFiles.h"
#include "storage/SoftwareText.h"
#include "tests/app/FirstStartTexts.h"
#include "tests/support/TempFolder.h"

constexpr char DefaultSettingsBytes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
    "<AttachMode>\n1</AttachMode>\n<DataFolder>\n</DataFolder>\n"
    "<ShowAttachModeSelectDlg>\n1</ShowAttachModeSelectDlg>\n"
    "<DefaultClassifyMode>\n0</DefaultClassifyMode>\n<DefaultSortKey>\n1</DefaultSortKey>\n"
    "</Configurations>\n";

// Set by scripts/test.sh alone: the Windows path of the marker file it puts in the Wine prefix it
// made for the tests.
constexpr wchar_t PrivatePrefixVariable[] = L"QV_PRIVATE_PREFIX_MARKER";

// A record of the catalogue saved into folder, with the fields the tests tell apart.
inline void AddRecord(const std::wstring& folder, const wchar_t* id, const wchar_t* name, const wchar_t* company)
{
    CSoftware record;
    ASSERT_TRUE(ParseSoftwareId(id, record));
    record.BasicInfo.Name = name;
    record.BasicInfo.Company = company;
    ASSERT_TRUE(SaveSoftwareFile(record, folder));
}

inline std::vector<std::wstring> Names(const CSoftwareArray& list)
{
    std::vector<std::wstring> names;
    for (const CSoftware* record : list)
        names.push_back(record->BasicInfo.Name);
    return names;
}

inline void ResetProcessState()
{
    Settings = CConfigurations();
    GroupList.RemoveAll();
    GroupNames.RemoveAll();
    SoftwareList.RemoveAll();
    ClearHistoryLists();
}

// Restores the process-wide paths on leaving.
class CSavedPaths {
public:
    CSavedPaths() : m_base(BaseFolder), m_settings(SettingsPath), m_temp(TempFolder), m_history(HistoryFolder) {}
    CSavedPaths(const CSavedPaths&) = delete;
    CSavedPaths& operator=(const CSavedPaths&) = delete;
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

// The application with its application-data folder wherever the test puts it.
class CSandboxedApp : public CQVNApp {
public:
    explicit CSandboxedApp(std::wstring appDataFolder) : AppDataFolder(std::move(appDataFolder)) {}
    std::wstring AppDataFolder;  // empty: the platform has none to give
    bool AppDataFound = true;

protected:
    bool LocateAppDataFolder(std::wstring& folder) override
    {
        folder = AppDataFolder;
        return AppDataFound;
    }
};

// The paths point below a fresh temporary application-data folder for the test's length.
class CPerUserFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_appData.Path().empty());
        SetPathsFrom(m_appData.Path());
        ResetProcessState();
    }
    void TearDown() override { ResetProcessState(); }

    const std::wstring& AppDataFolder() const { return m_appData.Path(); }

private:
    CSavedPaths m_savedPaths;
    CTempFolder m_appData;
};

// The marker file that scripts/test.sh names in PrivatePrefixVariable; empty when not set.
inline std::wstring PrivatePrefixMarker()
{
    wchar_t marker[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(PrivatePrefixVariable, marker, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(marker);
}

// Tests that start the real program as a separate process: it always uses the real per-user
// folder, which these tests empty before and after. So they run only where the test script said
// that folder is its own.
class CPrivatePrefixTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::wstring marker = PrivatePrefixMarker();
        if (marker.empty())
            GTEST_SKIP() << "not inside the private Wine prefix of scripts/test.sh (QV_PRIVATE_PREFIX_MARKER is "
                            "not set): the real program would use and empty this user's own settings and histories";
        // Only the script sets the variable, so it meant these tests to run: a marker that is not
        // there is a broken set-up (or another prefix), told rather than skipped.
        DWORD attributes = GetFileAttributesW(marker.c_str());
        ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            << "QV_PRIVATE_PREFIX_MARKER names a marker that this Wine prefix does not hold; the per-user folder "
               "is left alone";
        m_allowed = true;
        ASSERT_TRUE(ComputePaths());
        DeleteFolderTree(BaseFolder);
        ResetProcessState();
    }
    void TearDown() override
    {
        if (!m_allowed)
            return;
        if (ComputePaths())
            DeleteFolderTree(BaseFolder);
        ResetProcessState();
    }

private:
    CSavedPaths m_savedPaths;
    bool m_allowed = false;
};
