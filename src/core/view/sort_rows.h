// Sorting the rows of the result view by one column. Only the view's rows
// move; the result list keeps its order, and rows added later follow it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace trawler::core::view {

enum tResultColumn : int { rcTitle = 0, rcUrl = 1, rcEngine = 2, rcDate = 3, rcRelevance = 4 };
inline constexpr int kResultColumnCount = 5;

// What a row shows, as far as sorting needs it.
struct SortRow {
  std::string Title;
  std::string Url;
  std::string Engines;
  double Date = 0;            // the result's date value, in days
  std::string RelevanceText;  // the Relevance column's text
};

// The ascending comparison of two rows by a column: negative, 0 or positive.
// Texts compare by the locale's collation, case-sensitively; dates by their
// values; relevance by the column texts read as integers (0 when not a
// number). An unknown column compares equal.
int CompareRows(int column, const SortRow& a, const SortRow& b);

// The row indices in sorted order. Rows that compare equal keep their
// relative order, in both directions.
std::vector<std::size_t> SortOrder(const std::vector<SortRow>& rows, int column, bool ascending);

// Collation key of a text in the process's LC_COLLATE locale: comparing two
// keys bytewise gives the order the locale compares the texts in.
std::string CollationKey(const std::string& text);

}  // namespace trawler::core::view
