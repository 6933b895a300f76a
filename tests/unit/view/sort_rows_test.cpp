// Sorting the result view's rows by each column in both directions.

#include <gtest/gtest.h>

#include "core/view/sort_rows.h"

namespace trawler::core::view {
namespace {

// Three rows whose order differs in every column.
const std::vector<SortRow> kRows = {
    {"beta", "http://c.lan/", "Gamma", 36600, "5"},
    {"alpha", "http://b.lan/", "Alpha", 36700, "50"},
    {"gamma", "http://a.lan/", "Beta", 36500, "x"},  // relevance not a number counts 0
};

struct SortCase {
  int column;
  bool ascending;
  std::vector<std::size_t> order;
};

class SortOrderTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortOrderTest, OrdersRowsByColumn) {
  const SortCase& c = GetParam();
  EXPECT_EQ(SortOrder(kRows, c.column, c.ascending), c.order);
  // The pairwise comparison agrees with the order.
  const std::vector<std::size_t>& o = c.order;
  for (std::size_t i = 0; i + 1 < o.size(); ++i) {
    const int cmp = CompareRows(c.column, kRows[o[i]], kRows[o[i + 1]]);
    EXPECT_TRUE(c.ascending ? cmp < 0 : cmp > 0) << c.column << " at " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, SortOrderTest,
    ::testing::Values(SortCase{rcTitle, true, {1, 0, 2}}, SortCase{rcTitle, false, {2, 0, 1}},
                      SortCase{rcUrl, true, {2, 1, 0}}, SortCase{rcUrl, false, {0, 1, 2}},
                      SortCase{rcEngine, true, {1, 2, 0}}, SortCase{rcEngine, false, {0, 2, 1}},
                      SortCase{rcDate, true, {2, 0, 1}}, SortCase{rcDate, false, {1, 0, 2}},
                      SortCase{rcRelevance, true, {2, 0, 1}},
                      SortCase{rcRelevance, false, {1, 0, 2}}));

TEST(SortOrder, EqualRowsKeepTheirOrderInBothDirections) {
  const std::vector<SortRow> rows = {{"same", "", "", 1, "1"}, {"other", "", "", 1, "1"},
                                     {"same", "", "", 1, "1"}};
  EXPECT_EQ(SortOrder(rows, rcRelevance, true), (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(SortOrder(rows, rcRelevance, false), (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(SortOrder(rows, rcTitle, false), (std::vector<std::size_t>{0, 2, 1}));
}

TEST(SortOrder, UnknownColumnAndDamagedDatesLeaveAValidOrder) {
  std::vector<SortRow> rows = kRows;
  rows[1].Date = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(SortOrder(rows, 9, true), (std::vector<std::size_t>{0, 1, 2}));
  EXPECT_EQ(SortOrder(rows, rcDate, true), (std::vector<std::size_t>{1, 2, 0}));
  EXPECT_EQ(CompareRows(9, rows[0], rows[1]), 0);
}

TEST(CollationKey, KeysCompareLikeTheTexts) {
  for (const auto& [a, b] : {std::pair{"abc", "abd"}, std::pair{"", "a"}, std::pair{"B", "a"}}) {
    EXPECT_EQ(CollationKey(a) < CollationKey(b), CompareRows(rcTitle, SortRow{a, "", "", 0, ""}, SortRow{b, "", "", 0, ""}) < 0) << a << b;
  }
}

}  // namespace
}  // namespace trawler::core::view
