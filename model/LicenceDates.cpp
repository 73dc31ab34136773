#include "model/LicenceDates.h"

#include <algorithm>

namespace {
bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool ReadDigits(const std::wstring& text, size_t at, size_t count, int& value)
{
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + static_cast<int>(text[i] - L'0');
    }
    return true;
}
}  // namespace

bool ParseIsoDate(const std::wstring& text, CCalendarDate& date)
{
    CCalendarDate read;
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-' || !ReadDigits(text, 0, 4, read.Year) ||
        !ReadDigits(text, 5, 2, read.Month) || !ReadDigits(text, 8, 2, read.Day))
        return false;
    if (read.Year < 1 || read.Month < 1 || read.Month > 12 || read.Day < 1 ||
        read.Day > DaysInMonth(read.Year, read.Month))
        return false;
    date = read;
    return true;
}

bool IsIsoDate(const std::wstring& text)
{
    CCalendarDate date;
    return ParseIsoDate(text, date);
}

std::wstring FormatIsoDate(const CCalendarDate& date)
{
    wchar_t text[11];
    const int parts[] = {date.Year, date.Month, date.Day};
    const int widths[] = {4, 2, 2};
    size_t at = 0;
    for (int part = 0; part < 3; ++part) {
        if (part > 0)
            text[at++] = L'-';
        int value = parts[part];
        for (int digit = widths[part] - 1; digit >= 0; --digit) {
            text[at + static_cast<size_t>(digit)] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        }
        at += static_cast<size_t>(widths[part]);
    }
    return std::wstring(text, at);
}

long long DayNumber(const CCalendarDate& date)
{
    // Days from civil date, counting years from March so the leap day ends the year.
    const long long y = date.Year - (date.Month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long month = date.Month;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + date.Day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CCalendarDate DateOfDayNumber(long long days)
{
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return CCalendarDate{year, month, day};
}

long long DaysLeft(const CCalendarDate& expiry, const CCalendarDate& today)
{
    return DayNumber(expiry) - DayNumber(today);
}

std::wstring DaysLeftText(long long daysLeft)
{
    if (daysLeft == 0)
        return L"today";
    const long long days = daysLeft < 0 ? -daysLeft : daysLeft;
    const std::wstring count = std::to_wstring(days) + (days == 1 ? L" day" : L" days");
    return daysLeft > 0 ? L"in " + count : L"expired " + count + L" ago";
}

std::vector<CDueRecord> DueRecords(const CSoftwareArray& catalogue, const CCalendarDate& today, int windowDays)
{
    std::vector<CDueRecord> due;
    for (CSoftware* record : catalogue) {
        CCalendarDate expiry;
        if (!record || !ParseIsoDate(record->ExtraInfo.ExpiryDate, expiry))
            continue;
        const long long left = DaysLeft(expiry, today);
        if (left <= windowDays)
            due.push_back({record, left});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const CDueRecord& a, const CDueRecord& b) { return a.DaysLeft < b.DaysLeft; });
    return due;
}
