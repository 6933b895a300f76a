// Date-time values and their calendar fields, Unix time and the locale forms.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "support/text/dates.h"

namespace trawler::text {
namespace {

TEST(TryEncodeDate, DayCountsSince18991230) {
  struct Case {
    int y, m, d;
    double value;
  } cases[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},    {1900, 1, 1, 2},      {1970, 1, 1, 25569},
      {2001, 3, 5, 36955}, {2000, 2, 29, 36585}, {1899, 12, 29, -1},   {1, 1, 1, -693593},
      {9999, 12, 31, 2958465},
  };
  for (const Case& c : cases) {
    auto v = TryEncodeDate(c.y, c.m, c.d);
    ASSERT_TRUE(v.has_value()) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(*v, c.value) << c.y << "-" << c.m << "-" << c.d;
    const CalendarDateTime f = DecodeDateTime(c.value);
    EXPECT_EQ(f.Year, c.y);
    EXPECT_EQ(f.Month, c.m);
    EXPECT_EQ(f.Day, c.d);
  }
}

TEST(TryEncodeDate, RejectsDaysTheCalendarLacks) {
  struct Case {
    int y, m, d;
  } cases[] = {{2001, 4, 31}, {2001, 2, 29}, {1900, 2, 29}, {2001, 13, 1}, {2001, 0, 1},
               {2001, 1, 0},  {0, 1, 1},     {10000, 1, 1}, {2001, -1, 5}};
  for (const Case& c : cases)
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d).has_value()) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DecodeDateTime, TimeIsTheFraction) {
  struct Case {
    CalendarDateTime fields;
  } cases[] = {
      {{2001, 3, 5, 12, 0, 0, 0}},   {{2001, 3, 5, 23, 59, 59, 999}}, {{2001, 3, 5, 0, 0, 0, 1}},
      {{1899, 12, 29, 6, 0, 0, 0}},  {{1850, 6, 1, 18, 30, 15, 250}},
  };
  for (const Case& c : cases) {
    auto v = TryEncodeDateTime(c.fields);
    ASSERT_TRUE(v.has_value());
    const CalendarDateTime f = DecodeDateTime(*v);
    EXPECT_EQ(f.Year, c.fields.Year);
    EXPECT_EQ(f.Month, c.fields.Month);
    EXPECT_EQ(f.Day, c.fields.Day);
    EXPECT_EQ(f.Hour, c.fields.Hour);
    EXPECT_EQ(f.Minute, c.fields.Minute);
    EXPECT_EQ(f.Second, c.fields.Second);
    EXPECT_EQ(f.Millisecond, c.fields.Millisecond);
  }
  // 1899-12-29 06:00 is stored as -1.25.
  EXPECT_DOUBLE_EQ(*TryEncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_FALSE(TryEncodeDateTime({2001, 3, 5, 24, 0, 0, 0}).has_value());
}

TEST(DecodeDateTime, ValuesOutsideTheCalendarGiveEmptyFields) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), 1e300, -1e300, 3e6};
  for (double v : values) EXPECT_EQ(DecodeDateTime(v).Year, 0) << v;
}

TEST(UnixTime, UtcRoundTripAndLocalZone) {
  EXPECT_EQ(DateTimeFromUnixUtc(0), 25569);
  EXPECT_EQ(UnixUtcFromDateTime(25569.5), 43200);
  EXPECT_EQ(UnixUtcFromDateTime(DateTimeFromUnixUtc(1'000'000'007)), 1'000'000'007);

  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "UTC-3", 1);  // three hours east of UTC
  ::tzset();
  EXPECT_DOUBLE_EQ(LocalDateTimeFromUnix(0), 25569.125);
  EXPECT_EQ(UnixFromLocalDateTime(25569.125), 0);
  if (old) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
}

TEST(LocaleDates, TheCLocaleFormatReadsBack) {
  std::setlocale(LC_TIME, "C");
  const TDateTime d = *TryEncodeDateTime({2001, 3, 5, 14, 7, 9, 0});
  EXPECT_EQ(FormatLocaleShortDate(d), "03/05/01");
  EXPECT_EQ(FormatLocaleDateTime(d), "03/05/01 14:07:09");
  EXPECT_EQ(ParseLocaleDateTime("03/05/01 14:07:09"), d);
  EXPECT_EQ(ParseLocaleDateTime("03/05/01"), std::floor(d));
  EXPECT_EQ(ParseLocaleDateTime("03/05/01 14:07"), *TryEncodeDateTime({2001, 3, 5, 14, 7, 0, 0}));
  EXPECT_EQ(FormatLocaleShortDate(0), "");
  const char* unreadable[] = {"", "yesterday", "13/45/01", "03/05/01 junk", "02/30/01"};
  for (const char* text : unreadable) EXPECT_EQ(ParseLocaleDateTime(text), 0) << text;
}

TEST(Now, IsTodayInTheLocalZone) {
  const TDateTime now = Now();
  const TDateTime fromClock = LocalDateTimeFromUnix(std::time(nullptr));
  EXPECT_LT(std::fabs(now - fromClock), 5.0 / 86400);
}

}  // namespace
}  // namespace trawler::text
