#pragma once
// Purchase and expiry dates of a licence: ISO "YYYY-MM-DD" text, the days left before an expiry,
// how they read, and which records are due for renewal.

#include <string>
#include <vector>

#include "model/Software.h"

struct CCalendarDate {
    int Year = 0;
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
};

// True for exactly four digits, a hyphen, two digits, a hyphen, two digits, naming a real day of
// the proleptic Gregorian calendar from year 1 to 9999 (so "2023-02-29" is refused).
bool ParseIsoDate(const std::wstring& text, CCalendarDate& date);
bool IsIsoDate(const std::wstring& text);
// "YYYY-MM-DD" for a valid date.
std::wstring FormatIsoDate(const CCalendarDate& date);
// Days since 1970-01-01 (negative before it), and the date of such a day.
long long DayNumber(const CCalendarDate& date);
CCalendarDate DateOfDayNumber(long long days);

// Days from today to the expiry: 0 on the day itself, negative once it has passed.
long long DaysLeft(const CCalendarDate& expiry, const CCalendarDate& today);
// "in 12 days", "in 1 day", "today", "expired 1 day ago", "expired 3 days ago".
std::wstring DaysLeftText(long long daysLeft);

// The reminder window when the settings name none.
constexpr int DefaultReminderDays = 30;
constexpr int MaxReminderDays = 3650;

struct CDueRecord {
    CSoftware* Record = nullptr;
    long long DaysLeft = 0;
};
// Records whose expiry is a valid date at most windowDays from today (expired ones included),
// soonest first; records expiring on the same day keep the catalogue's order.
std::vector<CDueRecord> DueRecords(const CSoftwareArray& catalogue, const CCalendarDate& today, int windowDays);
