// Calendar arithmetic of TDateTime: days since 1899-12-30, time as fraction.

#include <cmath>
#include <cstdint>
#include <ctime>

#include "support/text/dates.h"

namespace trawler::text {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Day number of 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25'569;
// Day numbers of 0001-01-01 and 9999-12-31, the range a date may take.
constexpr std::int64_t kFirstDay = -693'593;
constexpr std::int64_t kLastDay = 2'958'465;

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

TDateTime FromTm(const std::tm& tm) {
  CalendarDateTime f;
  f.Year = tm.tm_year + 1900;
  f.Month = tm.tm_mon + 1;
  f.Day = tm.tm_mday;
  f.Hour = tm.tm_hour;
  f.Minute = tm.tm_min;
  f.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second reads as :59
  return TryEncodeDateTime(f).value_or(0.0);
}

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) +
                             kUnixEpochDay);
}

std::optional<TDateTime> TryEncodeDateTime(const CalendarDateTime& f) {
  auto date = TryEncodeDate(f.Year, f.Month, f.Day);
  if (!date) return std::nullopt;
  if (f.Hour < 0 || f.Hour > 23 || f.Minute < 0 || f.Minute > 59 || f.Second < 0 ||
      f.Second > 59 || f.Millisecond < 0 || f.Millisecond > 999)
    return std::nullopt;
  const double ms = ((f.Hour * 60.0 + f.Minute) * 60.0 + f.Second) * 1000.0 + f.Millisecond;
  const double fraction = ms / static_cast<double>(kMsPerDay);
  // Before 1899-12-30 the day count is negative and the time still adds to
  // its magnitude, as the stored form has always done.
  return *date < 0 ? *date - fraction : *date + fraction;
}

CalendarDateTime DecodeDateTime(TDateTime value) {
  CalendarDateTime f;
  if (!std::isfinite(value) || value < static_cast<double>(kFirstDay) - 1 ||
      value > static_cast<double>(kLastDay) + 1)
    return f;
  double whole = std::trunc(value);
  std::int64_t ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {  // rounding reached midnight of the next day
    ms -= kMsPerDay;
    whole += value < 0 ? -1 : 1;
  }
  std::int64_t day = static_cast<std::int64_t>(whole);
  if (day < kFirstDay || day > kLastDay) return f;
  CivilFromDays(day - kUnixEpochDay, f.Year, f.Month, f.Day);
  f.Millisecond = static_cast<int>(ms % 1000);
  f.Second = static_cast<int>(ms / 1000 % 60);
  f.Minute = static_cast<int>(ms / 60'000 % 60);
  f.Hour = static_cast<int>(ms / 3'600'000);
  return f;
}

TDateTime DateTimeFromUnixUtc(std::time_t seconds) {
  return static_cast<double>(kUnixEpochDay) + static_cast<double>(seconds) / 86400.0;
}

std::time_t UnixUtcFromDateTime(TDateTime value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::time_t>(
      std::llround((value - static_cast<double>(kUnixEpochDay)) * 86400.0));
}

TDateTime LocalDateTimeFromUnix(std::time_t seconds) {
  std::tm tm{};
  if (!localtime_r(&seconds, &tm)) return 0;
  return FromTm(tm);
}

std::time_t UnixFromLocalDateTime(TDateTime value) {
  const CalendarDateTime f = DecodeDateTime(value);
  if (f.Year == 0) return 0;
  std::tm tm{};
  tm.tm_year = f.Year - 1900;
  tm.tm_mon = f.Month - 1;
  tm.tm_mday = f.Day;
  tm.tm_hour = f.Hour;
  tm.tm_min = f.Minute;
  tm.tm_sec = f.Second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TDateTime Now() {
  std::timespec ts{};
  std::timespec_get(&ts, TIME_UTC);
  std::tm tm{};
  if (!localtime_r(&ts.tv_sec, &tm)) return 0;
  CalendarDateTime f;
  f.Year = tm.tm_year + 1900;
  f.Month = tm.tm_mon + 1;
  f.Day = tm.tm_mday;
  f.Hour = tm.tm_hour;
  f.Minute = tm.tm_min;
  f.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  f.Millisecond = static_cast<int>(ts.tv_nsec / 1'000'000);
  return TryEncodeDateTime(f).value_or(0.0);
}

}  // namespace trawler::text
