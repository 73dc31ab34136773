#include "storage/SnapshotText.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <map>
#include <numeric>
#include <tuple>

#include "storage/ElementText.h"

const char* const ManifestEntryName = "Backup.xml";
const char* const DataEntryPrefix = "Data/";
const char* const SettingsEntryName = "settings.xml";
const char* const HistoryEntryPrefix = "History/";
const wchar_t* const HistoryFileNames[6] = {L"Company.his",     L"Website.his", L"UserName.his",
                                            L"UserCompany.his", L"Email.his",   L"CodeName.his"};

namespace {
const wchar_t FilePrefix[] = L"Backup-";
const wchar_t FileSuffix[] = L".zip";

struct CReasonWord {
    SnapshotReason Reason;
    const wchar_t* Word;
};
const CReasonWord ReasonWords[] = {
    {SnapshotReason::Daily, L"daily"},   {SnapshotReason::Manual, L"manual"},
    {SnapshotReason::Delete, L"delete"}, {SnapshotReason::Import, L"import"},
    {SnapshotReason::Restore, L"restore"}, {SnapshotReason::BringBack, L"bring-back"},
};

auto Key(const CSnapshotStamp& s)
{
    return std::make_tuple(s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second, s.Serial);
}

// Exactly count decimal digits at text[at...].
bool ReadDigits(const std::wstring& text, size_t at, size_t count, int& value)
{
    if (at + count > text.size())
        return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + (text[i] - L'0');
    }
    return true;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::wstring FormatStampText(const CSnapshotStamp& s)
{
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d", s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second);
    return text;
}

bool ParseStampText(const std::wstring& text, CSnapshotStamp& s)
{
    if (text.size() != 19 || text[4] != L'-' || text[7] != L'-' || text[10] != L' ' || text[13] != L':' ||
        text[16] != L':')
        return false;
    CSnapshotStamp read;
    if (!ReadDigits(text, 0, 4, read.Year) || !ReadDigits(text, 5, 2, read.Month) ||
        !ReadDigits(text, 8, 2, read.Day) || !ReadDigits(text, 11, 2, read.Hour) ||
        !ReadDigits(text, 14, 2, read.Minute) || !ReadDigits(text, 17, 2, read.Second) || !IsValidStamp(read))
        return false;
    s = read;
    return true;
}
}  // namespace

bool CSnapshotStamp::operator<(const CSnapshotStamp& other) const
{
    return Key(*this) < Key(other);
}

bool CSnapshotStamp::operator==(const CSnapshotStamp& other) const
{
    return Key(*this) == Key(other);
}

const wchar_t* SnapshotReasonWord(SnapshotReason reason)
{
    for (const CReasonWord& entry : ReasonWords) {
        if (entry.Reason == reason)
            return entry.Word;
    }
    return L"manual";
}

bool ParseSnapshotReason(const std::wstring& word, SnapshotReason& reason)
{
    for (const CReasonWord& entry : ReasonWords) {
        if (word == entry.Word) {
            reason = entry.Reason;
            return true;
        }
    }
    return false;
}

bool IsValidStamp(const CSnapshotStamp& s)
{
    return s.Year >= 1601 && s.Year <= 9999 && s.Month >= 1 && s.Month <= 12 && s.Day >= 1 &&
           s.Day <= DaysInMonth(s.Year, s.Month) && s.Hour >= 0 && s.Hour <= 23 && s.Minute >= 0 && s.Minute <= 59 &&
           s.Second >= 0 && s.Second <= 59 && s.Serial >= 1;
}

int64_t DayNumber(int year, int month, int day)
{
    // Days from civil: March-based years make the leap day the last of the year.
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::wstring FormatSnapshotManifest(const CSnapshotManifest& manifest)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backup>\n";
    AppendElement(text, L"Taken", FormatStampText(manifest.Taken));
    AppendElement(text, L"Reason", SnapshotReasonWord(manifest.Reason));
    AppendElement(text, L"Records", std::to_wstring(manifest.Records));
    AppendElement(text, L"DataFolder", manifest.DataFolder);
    text += L"</Backup>\n";
    return text;
}

bool ParseSnapshotManifest(const std::wstring& text, CSnapshotManifest& manifest)
{
    CSnapshotManifest read;
    std::wstring taken, reason, records;
    if (!ExtractElement(text, taken, L"Taken") || !ExtractElement(text, reason, L"Reason") ||
        !ExtractElement(text, records, L"Records") || !ExtractElement(text, read.DataFolder, L"DataFolder") ||
        !ParseStampText(taken, read.Taken))
        return false;
    // A reason this version does not know still lists the snapshot.
    if (!ParseSnapshotReason(reason, read.Reason))
        read.Reason = SnapshotReason::Manual;
    read.Records = ParseDecimalInt(records);
    if (read.Records < 0)
        return false;
    manifest = read;
    return true;
}

std::wstring FormatSnapshotFileName(const CSnapshotStamp& s)
{
    wchar_t text[64] = {};
    if (s.Serial > 1)
        std::swprintf(text, 64, L"%ls%04d%02d%02d-%02d%02d%02d-%d%ls", FilePrefix, s.Year, s.Month, s.Day, s.Hour,
                      s.Minute, s.Second, s.Serial, FileSuffix);
    else
        std::swprintf(text, 64, L"%ls%04d%02d%02d-%02d%02d%02d%ls", FilePrefix, s.Year, s.Month, s.Day, s.Hour,
                      s.Minute, s.Second, FileSuffix);
    return text;
}

bool ParseSnapshotFileName(const std::wstring& name, CSnapshotStamp& stamp)
{
    const size_t prefix = std::wcslen(FilePrefix);
    const size_t suffix = std::wcslen(FileSuffix);
    // "Backup-" YYYYMMDD "-" HHMMSS [ "-" serial ] ".zip"; letter case as the file system may give it.
    if (name.size() < prefix + 15 + suffix)
        return false;
    auto sameLetters = [](const std::wstring& a, const wchar_t* b) {
        if (a.size() != std::wcslen(b))
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            wchar_t x = a[i] >= L'A' && a[i] <= L'Z' ? static_cast<wchar_t>(a[i] + 32) : a[i];
            wchar_t y = b[i] >= L'A' && b[i] <= L'Z' ? static_cast<wchar_t>(b[i] + 32) : b[i];
            if (x != y)
                return false;
        }
        return true;
    };
    if (!sameLetters(name.substr(0, prefix), FilePrefix) ||
        !sameLetters(name.substr(name.size() - suffix), FileSuffix))
        return false;
    const std::wstring middle = name.substr(prefix, name.size() - prefix - suffix);
    CSnapshotStamp read;
    if (middle.size() < 15 || middle[8] != L'-' || !ReadDigits(middle, 0, 4, read.Year) ||
        !ReadDigits(middle, 4, 2, read.Month) || !ReadDigits(middle, 6, 2, read.Day) ||
        !ReadDigits(middle, 9, 2, read.Hour) || !ReadDigits(middle, 11, 2, read.Minute) ||
        !ReadDigits(middle, 13, 2, read.Second))
        return false;
    if (middle.size() > 15) {
        // A serial of 2 to 9999, without leading zeros: one file name per snapshot.
        const size_t digits = middle.size() - 16;
        if (middle[15] != L'-' || digits < 1 || digits > 4 || middle[16] == L'0' ||
            !ReadDigits(middle, 16, digits, read.Serial) || read.Serial < 2)
            return false;
    }
    if (!IsValidStamp(read))
        return false;
    stamp = read;
    return true;
}

bool IsSnapshotTemporaryName(const std::wstring& name)
{
    CSnapshotStamp stamp;
    return name.size() > 4 && name.compare(name.size() - 4, 4, L".tmp") == 0 &&
           ParseSnapshotFileName(name.substr(0, name.size() - 4), stamp);
}

std::vector<bool> SnapshotsToKeep(const std::vector<CSnapshotStamp>& stamps)
{
    std::vector<bool> keep(stamps.size(), false);
    std::vector<size_t> order(stamps.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Newest first.
    std::sort(order.begin(), order.end(), [&stamps](size_t a, size_t b) { return stamps[b] < stamps[a]; });

    for (size_t i = 0; i < order.size() && i < static_cast<size_t>(KeepNewest); ++i)
        keep[order[i]] = true;

    // Walking newest first, the first snapshot met in a day or a week is that period's newest.
    int64_t lastDay = INT64_MIN, lastWeek = INT64_MIN;
    int days = 0, weeks = 0;
    for (size_t index : order) {
        const CSnapshotStamp& s = stamps[index];
        const int64_t day = DayNumber(s.Year, s.Month, s.Day);
        // Day 0 (1970-01-01) was a Thursday: shifting by 3 starts every week on a Monday.
        const int64_t shifted = day + 3;
        const int64_t week = shifted >= 0 ? shifted / 7 : (shifted - 6) / 7;
        if (day != lastDay) {
            lastDay = day;
            if (days++ < KeepDaily)
                keep[index] = true;
        }
        if (week != lastWeek) {
            lastWeek = week;
            if (weeks++ < KeepWeekly)
                keep[index] = true;
        }
    }
    return keep;
}
