#pragma once
// The messages of the program's first start, as a person reads them.

constexpr wchar_t SettingsResetText[] =
    L"Sorry! The configuration file is damaged or is being using by anather application. You must reset the "
    L"configurations.";
constexpr wchar_t GreetingText[] =
    L"Hello!\n\nSeeing this message means that:\n\n1. It's the first time the application has been launched.\n"
    L"2. Your configuration has become invalid.\n\nPlease (re)set it.";
constexpr wchar_t AnotherInstanceText[] =
    L"Another running Quorvane is detected, please close that instance and try again.";
// Asked when the data folder chosen is on the Windows drive.
constexpr wchar_t SystemPartitionQuestionText[] =
    L"You have selected a folder in system-partition as your data-folder.\nWe strongly recommend you to create "
    L"this folder in the non-system partition.\n\nDo you want to change the folder ?";
