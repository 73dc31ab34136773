#pragma once
// Start-up tests run against the real per-user folder of the test machine's profile, emptied
// before and after each test, as a first start would find it.

#include <gtest/gtest.h>

#include <string>

#include "model/Catalogue.h"
#include "storage/Configurations.h"
#include "storage/History.h"
#include "storage/Paths.h"
#include "tests/support/TempFolder.h"

constexpr char DefaultSettingsBytes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Configurations>\n"
    "<AttachMode>\n1</AttachMode>\n<DataFolder>\n</DataFolder>\n"
    "<ShowAttachModeSelectDlg>\n1</ShowAttachModeSelectDlg>\n"
    "<DefaultClassifyMode>\n0</DefaultClassifyMode>\n<DefaultSortKey>\n1</DefaultSortKey>\n"
    "</Configurations>\n";

constexpr wchar_t SettingsResetText[] =
    L"Sorry! The configuration file is damaged or is being using by anather application. You must reset the "
    L"configurations.";
constexpr wchar_t GreetingText[] =
    L"Hello!\n\nSeeing this message means that:\n\n1. It's the first time the application has been launched.\n"
    L"2. Your configuration has become invalid.\n\nPlease (re)set it.";
constexpr wchar_t AnotherInstanceText[] =
    L"Another running Quorvane is detected, please close that instance and try again.";

class CPerUserFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ComputePaths());
        DeleteFolderTree(BaseFolder);
        ResetProcessState();
    }
    void TearDown() override
    {
        ComputePaths();
        DeleteFolderTree(BaseFolder);
        ResetProcessState();
    }
    static void ResetProcessState()
    {
        Settings = CConfigurations();
        GroupList.RemoveAll();
        GroupNames.RemoveAll();
        SoftwareList.RemoveAll();
        ClearHistoryLists();
    }
};
