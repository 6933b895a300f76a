// The date pattern language: formatting and finding dates.

#include "support/text/dates.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace trawler::text {
namespace {

TDateTime Date(int y, int m, int d) { return TryEncodeDate(y, m, d).value(); }

TEST(FormatDateByPattern, LetterRunsBecomeFields) {
  const TDateTime march5 = Date(2001, 3, 5);
  struct Case {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"dd/mm/yyyy", "05/03/2001"},
      {"yy-m-d", "01-03-05"},
      {"DD.MM.YY", "05.03.01"},
      {"d t m", "05 T 03"},
      {"yyy", "2001"},
      {"Yy", "01"},
      {"dd..mm", "05.03"},    // any other run gives its character once
      {"д.m", "Д.03"},        // a non-ASCII character is uppercased too
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateByPattern(c.pattern, march5), c.text) << c.pattern;
  EXPECT_EQ(FormatDateByPattern("dd/mm/yyyy", 0), "");
}

TEST(FormatDateShort, DayEnglishMonthYear) {
  struct Case {
    TDateTime date;
    const char* text;
  } cases[] = {
      {Date(2001, 3, 5), "5 Mar 2001"},
      {Date(1999, 12, 31), "31 Dec 1999"},
      {Date(2024, 2, 29) + 0.75, "29 Feb 2024"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateShort(c.date), c.text);
}

TEST(ParseDateByPattern, FindsTheFirstDateOfThePatternsShape) {
  const std::string standard(kStandardDatePattern);
  const std::string standardShortYear =
      standard.substr(0, standard.size() - 4) + "yy";  // "...| |yy"
  struct Case {
    const char* text;
    std::string pattern;
    TDateTime date;
  } cases[] = {
      {"posted 5 feb 2001", standard, Date(2001, 2, 5)},
      {"posted 5 feb 2001 and 17 mar 2002", standard, Date(2001, 2, 5)},
      // Names are tried in list order: a January date wins over an earlier February one.
      {"5 feb 2001, 7 jan 2003", standard, Date(2003, 1, 7)},
      {"7 mar 05", standardShortYear, Date(2005, 3, 7)},
      {"Posted 17 MAR 2002", standard, Date(2002, 3, 17)},
      {"05.03.2001", "dd|.|mm|.|yyyy", Date(2001, 3, 5)},
      {"on 5.3.2001!", "dd|.|mm|.|yyyy", Date(2001, 3, 5)},
      // No year field: the year 2000.
      {"12/31", "mm|/|dd", Date(2000, 12, 31)},
      // Two-digit years: 10-69 this century, 70-99 the last.
      {"1.2.10", "d|.|m|.|yy", Date(2010, 2, 1)},
      {"1.2.69", "d|.|m|.|yy", Date(2069, 2, 1)},
      {"1.2.70", "d|.|m|.|yy", Date(1970, 2, 1)},
      {"1.2.99", "d|.|m|.|yy", Date(1999, 2, 1)},
      {"1.2.01", "d|.|m|.|yy", Date(2001, 2, 1)},
      {"1.2.101", "d|.|m|.|yyy", Date(2001, 2, 1)},  // years counted from 1900
      {"no date here", standard, 0},
      {"5 feb 2001", "", 0},
      {"", standard, 0},
      // Cyrillic month names.
      {"опубликовано 3 мар 2004", "dd| |m(янв,фев,мар,апр,май,июн,июл,авг,сен,окт,ноя,дек)| |yyyy",
       Date(2004, 3, 3)},
      {"3 МАР 2004", "dd| |m(янв,фев,мар,апр,май,июн,июл,авг,сен,окт,ноя,дек)| |yyyy",
       Date(2004, 3, 3)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDateByPattern(c.text, c.pattern), c.date) << c.text << " | " << c.pattern;
}

TEST(ParseDateFields, ReadsOneCandidate) {
  struct Case {
    const char* candidate;
    const char* pattern;
    TDateTime date;
  } cases[] = {
      {"5 feb 2001", "dd| |m(jan,feb,mar,apr,may,jun,jul,aug,sep,oct,nov,dec)| |yyyy",
       Date(2001, 2, 5)},
      {"5 Feb 2001", "dd| |m(jan,feb,mar,apr,may,jun,jul,aug,sep,oct,nov,dec)| |yyyy",
       Date(2001, 2, 5)},
      {"2001-03-05", "yyyy|-|mm|-|dd", Date(2001, 3, 5)},
      {"13/13/2001", "dd|/|mm|/|yyyy", 0},        // month above 12
      {"32/1/2001", "dd|/|mm|/|yyyy", 0},         // day above 31
      {"29/2/2001", "dd|/|mm|/|yyyy", 0},
      {"29/2/2004", "dd|/|mm|/|yyyy", Date(2004, 2, 29)},
      {"5/3/-7", "dd|/|mm|/|yyyy", 0},            // a negative year is no year
      {"5/-3/2001", "dd|/|mm|/|yyyy", 0},
      {"5/3/0", "dd|/|mm|/|yyyy", Date(2000, 3, 5)},
      {"5/3/$7D1", "dd|/|mm|/|yyyy", Date(2001, 3, 5)},  // the integer reading takes hex
      {"5 xyz 2001", "dd| |m(jan,feb)| |yyyy", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDateFields(c.candidate, c.pattern), c.date) << c.candidate << " | " << c.pattern;
}

TEST(ParseDateByPattern, BrokenInputNeverCrashesAndFindsNothing) {
  const std::string texts[] = {"\xff\xfe 5 feb \xc3", "5 \xe2\x82 2001", std::string("5\0feb", 5)};
  const std::string patterns[] = {std::string(kStandardDatePattern), "d|\xff|m", "(((", "|||",
                                  "m(", "m()|", "d|?|m|?|y", "%t%|d"};
  for (const std::string& t : texts)
    for (const std::string& p : patterns) EXPECT_EQ(ParseDateByPattern(t, p), 0) << p;
}

TEST(FileDateTime, LastWriteTimeOrZero) {
  const std::string path = std::string(TRAWLER_BINARY_DIR) + "/urldate_file_date.txt";
  std::ofstream(path) << "x";
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(FileDateTime(path), LocalDateTimeFromUnix(st.st_mtime));
  EXPECT_GT(FileDateTime(path), Date(2020, 1, 1));
  std::remove(path.c_str());
  EXPECT_EQ(FileDateTime(path), 0);
  EXPECT_EQ(FileDateTime(""), 0);
}

}  // namespace
}  // namespace trawler::text
