// Sort codes and the list view comparers.

#include "support/text/list_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

namespace trawler::text {
namespace {

TEST(SortCode, ColumnTimesTenPlusDirection) {
  struct Case {
    int code, column, direction;
  } cases[] = {{11, 1, 1}, {12, 1, 2}, {21, 2, 1}, {42, 4, 2}, {0, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeSortCode(c.code).Column, c.column) << c.code;
    EXPECT_EQ(DecodeSortCode(c.code).Direction, c.direction) << c.code;
    EXPECT_EQ(EncodeSortCode(DecodeSortCode(c.code)), c.code);
  }
}

TEST(SortCode, SameColumnTogglesOtherColumnStartsAscending) {
  struct Case {
    int current, chosen, next;
  } cases[] = {{11, 1, 12}, {12, 1, 11}, {12, 3, 31}, {31, 2, 21}, {0, 1, 11}};
  for (const Case& c : cases) EXPECT_EQ(NextSortCode(c.current, c.chosen), c.next);
}

TEST(SortText, CaptionOrSubItem) {
  const ListRowTexts row{"caption", {"url", "engines", "date"}};
  struct Case {
    int code;
    const char* text;
  } cases[] = {{11, "caption"}, {2, "caption"}, {21, "url"}, {42, "date"}, {51, ""}};
  for (const Case& c : cases) EXPECT_EQ(SortText(row, c.code), c.text) << c.code;
}

int Sign(int v) { return (v > 0) - (v < 0); }

ListRowTexts Row(std::string caption, std::string sub0 = {}) {
  return ListRowTexts{std::move(caption), {std::move(sub0)}};
}

TEST(CompareByNumber, LargeValuesDoNotOverflow) {
  // number1 - number2 would overflow for these and give the wrong sign.
  struct Case {
    const char* a;
    const char* b;
    int code;
    int sign;
  } cases[] = {
      {"2147483647", "-2147483648", 11, 1},
      {"-2147483648", "2147483647", 11, -1},
      {"-2147483648", "2147483647", 12, 1},
      {"10", "9", 11, 1},
      {"x", "0", 11, 0},    // not a number reads as 0
      {"$10", "15", 11, 1},  // hexadecimal
  };
  for (const Case& c : cases)
    EXPECT_EQ(Sign(CompareByNumber(Row(c.a), Row(c.b), c.code)), c.sign) << c.a << " " << c.b;
  EXPECT_EQ(Sign(CompareByNumber(Row("", "5"), Row("", "7"), 21)), -1);
}

TEST(CompareByDate, LaterFirstAndDatesHoursApartAreOrdered) {
  std::setlocale(LC_TIME, "C");
  struct Case {
    const char* a;
    const char* b;
    int code;
    int sign;
  } cases[] = {
      {"03/05/01", "03/04/01", 11, -1},  // the later date first
      {"03/05/01", "03/04/01", 12, 1},
      // Hours apart: both orders agree (rounding the difference down did not).
      {"03/05/01 10:00:00", "03/05/01 11:00:00", 11, 1},
      {"03/05/01 11:00:00", "03/05/01 10:00:00", 11, -1},
      {"", "03/05/01", 11, 1},  // no date comes after every date
      {"garbage", "", 11, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Sign(CompareByDate(Row(c.a), Row(c.b), c.code)), c.sign) << c.a << " " << c.b;
}

TEST(CompareByText, CollationWithCaseCounting) {
  std::setlocale(LC_COLLATE, "C");
  EXPECT_LT(CompareByText(Row("apple"), Row("banana"), 11), 0);
  EXPECT_GT(CompareByText(Row("apple"), Row("banana"), 12), 0);
  EXPECT_NE(CompareByText(Row("Apple"), Row("apple"), 11), 0);
  EXPECT_EQ(CompareByText(Row("same"), Row("same"), 11), 0);
  EXPECT_NE(CompareByText(Row(std::string("a\0b", 3)), Row(std::string("a\0c", 3)), 11), 0);
}

// Each comparer, given to std::sort in both directions over rows that tie,
// read as nothing or differ by hours, must behave as an order: sorted output
// is ordered pairwise, and the reverse direction is the mirror image.
TEST(Comparers, SortSafelyInBothDirections) {
  std::setlocale(LC_TIME, "C");
  std::setlocale(LC_COLLATE, "C");
  std::vector<ListRowTexts> rows;
  const char* dates[] = {"03/05/01 10:00:00", "03/05/01 11:00:00", "", "junk", "03/04/01",
                         "03/05/01 10:00:00", "12/31/99 23:59:59"};
  const char* numbers[] = {"2147483647", "-2147483648", "0", "x", "7", "-7", "2147483647"};
  for (int i = 0; i < 7; ++i) rows.push_back(ListRowTexts{dates[i], {numbers[i]}});
  using Comparer = int (*)(const ListRowTexts&, const ListRowTexts&, int);
  const struct {
    Comparer compare;
    int column;
  } comparers[] = {{CompareByText, 1}, {CompareByDate, 1}, {CompareByNumber, 2}};
  for (const auto& c : comparers) {
    for (int direction = 1; direction <= 2; ++direction) {
      const int code = c.column * 10 + direction;
      std::vector<ListRowTexts> sorted = rows;
      std::sort(sorted.begin(), sorted.end(), [&](const ListRowTexts& a, const ListRowTexts& b) {
        return c.compare(a, b, code) < 0;
      });
      for (std::size_t i = 0; i < sorted.size(); ++i)
        for (std::size_t j = i + 1; j < sorted.size(); ++j) {
          EXPECT_LE(c.compare(sorted[i], sorted[j], code), 0) << code << " at " << i << "," << j;
          EXPECT_EQ(Sign(c.compare(sorted[i], sorted[j], code)),
                    -Sign(c.compare(sorted[j], sorted[i], code)));
        }
    }
  }
}

}  // namespace
}  // namespace trawler::text
