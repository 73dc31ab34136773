#pragma once
// What a backup snapshot holds and how snapshots are named and kept; no file is touched here.
//
// A snapshot is one zip file "Backup-YYYYMMDD-HHMMSS.zip" (a "-N" before ".zip" when several are
// taken in one second) holding:
//   Backup.xml           the manifest below, first
//   Data/<36-char id>    every meta-data file of the data folder, byte for byte
//   settings.xml         the settings file, when there is one
//   History/<list>.his   the six history files that exist
// Imported installer copies are never part of it.

#include <cstdint>
#include <string>
#include <vector>

// A local date and time, to the second.
struct CSnapshotStamp {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    int Serial = 1;  // the n-th snapshot named in that second

    bool operator<(const CSnapshotStamp& other) const;
    bool operator==(const CSnapshotStamp& other) const;
};

// Why a snapshot was taken. The manifest stores the word.
enum class SnapshotReason { Daily, Manual, Delete, Import, Restore, BringBack };
const wchar_t* SnapshotReasonWord(SnapshotReason reason);
// The words the manifest may hold; false for an unknown one (a later version's).
bool ParseSnapshotReason(const std::wstring& word, SnapshotReason& reason);

struct CSnapshotManifest {
    CSnapshotStamp Taken;
    SnapshotReason Reason = SnapshotReason::Manual;
    int32_t Records = 0;
    std::wstring DataFolder;
};

// The manifest's entry name and the names the other files take inside the archive.
extern const char* const ManifestEntryName;   // "Backup.xml"
extern const char* const DataEntryPrefix;     // "Data/"
extern const char* const SettingsEntryName;   // "settings.xml"
extern const char* const HistoryEntryPrefix;  // "History/"
// The six history files, in the lists' fixed order.
extern const wchar_t* const HistoryFileNames[6];

// The manifest as the program writes it: its own element lines, as the settings file's.
std::wstring FormatSnapshotManifest(const CSnapshotManifest& manifest);
// False unless every element is there and the date is a real one.
bool ParseSnapshotManifest(const std::wstring& text, CSnapshotManifest& manifest);

// "Backup-20261208-150405.zip", or "...-150405-2.zip" for the second in that second.
std::wstring FormatSnapshotFileName(const CSnapshotStamp& stamp);
// False for every other name, so nothing but the program's own snapshots is ever pruned.
bool ParseSnapshotFileName(const std::wstring& name, CSnapshotStamp& stamp);
// The leftover of an interrupted write: a snapshot name followed by ".tmp".
bool IsSnapshotTemporaryName(const std::wstring& name);

// True for a real calendar date and time.
bool IsValidStamp(const CSnapshotStamp& stamp);
// Days since 1970-01-01 of the stamp's date (proleptic Gregorian).
int64_t DayNumber(int year, int month, int day);

// The retention rule. Of the snapshots given (in any order), those kept are the union of:
//  - the 10 newest snapshots, whatever their day, so that the ones taken before each of a busy
//    day's changes survive that day;
//  - the newest snapshot of each of the 10 most recent calendar days that have one (daily);
//  - the newest snapshot of each of the 4 most recent weeks, Monday to Sunday, that have one
//    (weekly).
// Days and weeks count only when a snapshot was taken in them, so a month without starting the
// program loses nothing. Returns, for each snapshot given, whether it is kept.
constexpr int KeepNewest = 10;
constexpr int KeepDaily = 10;
constexpr int KeepWeekly = 4;
std::vector<bool> SnapshotsToKeep(const std::vector<CSnapshotStamp>& stamps);
