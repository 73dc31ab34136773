#pragma once
// The per-user folders of the program and existence tests on paths.

#include <string>

extern std::wstring BaseFolder;     // <application data>\Orrinwell\Quorvane\ .
extern std::wstring SettingsPath;   // BaseFolder + "settings.xml"
extern std::wstring TempFolder;     // BaseFolder + "Temp\"
extern std::wstring HistoryFolder;  // BaseFolder + "History\"

// The current user's roaming application-data folder; false when the platform gives none.
bool QueryAppDataFolder(std::wstring& folder);
// Forms the four paths from the current user's roaming application-data folder.
bool ComputePaths();
// Forms the four paths below the given application-data folder (no trailing backslash needed).
void SetPathsFrom(const std::wstring& appDataFolder);
// Creates the "Orrinwell" level and BaseFolder when missing, so that a first start can create its
// scratch and history folders at once; failures are silent.
void CreateBaseFolder();

// False when the attributes cannot be read; with directoryWanted, true only for a folder.
bool PathExists(const std::wstring& path, bool directoryWanted);
// As PathExists, and false for an empty path.
bool FolderExists(const std::wstring& path, bool directoryWanted);
// Deletes the folder with its contents and creates it again empty; failures are silent.
void CleanFolder(const std::wstring& folder);
