// Sorting of report-style list views. A list view keeps its sort order in one
// integer, the sort code: column x 10 + direction. Column 1 is the row's own
// caption, column k >= 2 its sub-item k - 2; direction 1 keeps a comparer's
// order and 2 reverses it.
//
// The comparers are three-way and consistent (a strict weak order once turned
// into "less"), so they are safe to hand to std::sort and friends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trawler::text {

struct SortCode {
  int Column = 0;
  int Direction = 1;
};

SortCode DecodeSortCode(int code);
int EncodeSortCode(SortCode code);

// The sort code after the user chose column: the same column toggles the
// direction between 1 and 2, another column starts at direction 1.
int NextSortCode(int current, int column);

// What a comparer sees of a row: its caption and its sub-items.
struct ListRowTexts {
  std::string Caption;
  std::vector<std::string> SubItems;
};

// The text a sort code compares: the caption for column <= 1, else the
// sub-item column - 2 (empty when the row has fewer sub-items).
std::string_view SortText(const ListRowTexts& row, int sortCode);

// Three-way comparisons of two cell texts (negative, 0, positive):
// by the locale's collation (case counts); by date-time with the later date
// first (empty or unreadable texts are 0, so they come last); by integer
// value (default 0).
int CompareTextValues(std::string_view a, std::string_view b);
int CompareDateValues(std::string_view a, std::string_view b);
int CompareNumberValues(std::string_view a, std::string_view b);

// The list view comparers: the cells the sort code names, compared as above,
// negated for direction 2.
int CompareByText(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode);
int CompareByDate(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode);
int CompareByNumber(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode);

}  // namespace trawler::text
