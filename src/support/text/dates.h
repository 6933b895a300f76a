// Date-times of the program and the small pattern language that formats dates
// into requests and finds dates in result pages and descriptors.
//
// A TDateTime counts days since 1899-12-30 with the time of day as the
// fraction; 0 means "no date". It is the form dates take in result-set files
// and in the settings store.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace trawler::text {

using TDateTime = double;

struct CalendarDateTime {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// Days of the month, 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// The date-time of calendar fields, or nothing when a field is out of range
// (31 April, month 13, hour 24, year outside 1..9999).
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeDateTime(const CalendarDateTime& fields);

// The calendar fields of a date-time (the time rounded to milliseconds).
CalendarDateTime DecodeDateTime(TDateTime value);

// Conversions between seconds since the Unix epoch and date-times. The UTC
// forms do no time-zone arithmetic; the local forms use the process's zone.
TDateTime DateTimeFromUnixUtc(std::time_t seconds);
std::time_t UnixUtcFromDateTime(TDateTime value);
TDateTime LocalDateTimeFromUnix(std::time_t seconds);
std::time_t UnixFromLocalDateTime(TDateTime value);

// The current local date and time.
TDateTime Now();

// Formats a date by a pattern of letter runs: a run of D is the two-digit
// day, of M the two-digit month, of Y the year (two digits for exactly "yy",
// else in full); any other run gives its first character once, uppercased.
// "dd/mm/yyyy" formats 2001-03-05 as "05/03/2001". A zero date gives "".
std::string FormatDateByPattern(std::string_view pattern, TDateTime date);

// "5 Mar 2001": day without leading zero, English month abbreviation, year.
std::string FormatDateShort(TDateTime date);

// The program's standard parse pattern, used in site descriptions, result-set
// files, update descriptors and language pack descriptions.
inline constexpr std::string_view kStandardDatePattern =
    "dd| |m(jan,feb,mar,apr,may,jun,jul,aug,sep,oct,nov,dec)| |yyyy";

// Finds the first place in text where a date of the pattern's shape stands
// ("field|separator|field|separator|field") and parses it; 0 when none.
TDateTime ParseDateByPattern(std::string_view text, std::string_view pattern);

// Parses a text that holds exactly one date of the pattern's shape; 0 when it
// has no day or month or names a day the month lacks.
TDateTime ParseDateFields(std::string_view candidate, std::string_view pattern);

// The last-write time of a file as a local date-time, 0 when it does not exist.
TDateTime FileDateTime(const std::string& path);

// The locale's short date format (LC_TIME "%x"), and the locale's date and
// time; these are what the user sees in lists and exports.
std::string FormatLocaleShortDate(TDateTime date);
std::string FormatLocaleDateTime(TDateTime date);
// Reads a text written in the locale's short date format, optionally followed
// by a time ("%X", or hours and minutes); 0 when it cannot be read.
TDateTime ParseLocaleDateTime(std::string_view text);

}  // namespace trawler::text
