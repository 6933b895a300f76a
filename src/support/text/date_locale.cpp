// Dates as the user sees them: the locale's (LC_TIME) short date and time.

#include <cstring>
#include <ctime>
#include <string>

#include "support/text/dates.h"

namespace trawler::text {
namespace {

std::string FormatTm(TDateTime date, const char* format) {
  if (date == 0) return {};
  const CalendarDateTime f = DecodeDateTime(date);
  if (f.Year == 0) return {};
  std::tm tm{};
  tm.tm_year = f.Year - 1900;
  tm.tm_mon = f.Month - 1;
  tm.tm_mday = f.Day;
  tm.tm_hour = f.Hour;
  tm.tm_min = f.Minute;
  tm.tm_sec = f.Second;
  tm.tm_isdst = -1;
  // Fill the weekday and day of the year, which some locales print.
  if (auto days = TryEncodeDate(f.Year, 1, 1)) {
    tm.tm_yday = static_cast<int>(static_cast<long long>(date) - static_cast<long long>(*days));
    // 1899-12-30 (day 0) was a Saturday.
    long long day = static_cast<long long>(date);
    tm.tm_wday = static_cast<int>(((day + 6) % 7 + 7) % 7);
  }
  char buffer[128];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

// Reads text by one strptime format; the whole text must be used up apart
// from trailing blanks.
bool ParseBy(const std::string& text, const char* format, std::tm& tm) {
  tm = std::tm{};
  const char* end = strptime(text.c_str(), format, &tm);
  if (!end) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

}  // namespace

std::string FormatLocaleShortDate(TDateTime date) { return FormatTm(date, "%x"); }

std::string FormatLocaleDateTime(TDateTime date) { return FormatTm(date, "%x %X"); }

TDateTime ParseLocaleDateTime(std::string_view text) {
  // strptime needs a terminated string; cap the length, a date is short.
  if (text.empty() || text.size() > 200 || text.find('\0') != std::string_view::npos) return 0;
  const std::string s(text);
  static constexpr const char* kFormats[] = {"%x %X", "%x %H:%M", "%x"};
  for (const char* format : kFormats) {
    std::tm tm{};
    if (!ParseBy(s, format, tm)) continue;
    CalendarDateTime f;
    f.Year = tm.tm_year + 1900;
    f.Month = tm.tm_mon + 1;
    f.Day = tm.tm_mday;
    f.Hour = tm.tm_hour;
    f.Minute = tm.tm_min;
    f.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    if (auto value = TryEncodeDateTime(f)) return *value;
  }
  return 0;
}

}  // namespace trawler::text
