// Sort codes and the three list view comparers.
//
// Every comparison is made with "<" on the read values, never by subtracting
// them: a difference of two integers can overflow, and a date difference
// rounded down makes "a before b" and "b before a" disagree, which is not an
// order a sort may be given.

#include "support/text/list_compare.h"

#include <cstring>
#include <string>

#include "support/text/dates.h"
#include "support/text/integer_text.h"

namespace trawler::text {
namespace {

template <typename T>
int ThreeWay(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int Directed(int result, int sortCode) {
  return DecodeSortCode(sortCode).Direction == 2 ? -result : result;
}

}  // namespace

SortCode DecodeSortCode(int code) {
  SortCode s;
  s.Column = code / 10;
  s.Direction = code - 10 * s.Column;
  return s;
}

int EncodeSortCode(SortCode code) { return code.Column * 10 + code.Direction; }

int NextSortCode(int current, int column) {
  const SortCode now = DecodeSortCode(current);
  if (now.Column != column) return EncodeSortCode({column, 1});
  return EncodeSortCode({column, now.Direction == 1 ? 2 : 1});
}

std::string_view SortText(const ListRowTexts& row, int sortCode) {
  const int column = DecodeSortCode(sortCode).Column;
  if (column <= 1) return row.Caption;
  const std::size_t index = static_cast<std::size_t>(column - 2);
  return index < row.SubItems.size() ? std::string_view(row.SubItems[index]) : std::string_view();
}

int CompareTextValues(std::string_view a, std::string_view b) {
  // strcoll needs terminated strings; a text with a NUL in it compares by
  // its bytes, as do texts the collation finds equal, so the order is total.
  if (a.find('\0') == std::string_view::npos && b.find('\0') == std::string_view::npos) {
    const int c = std::strcoll(std::string(a).c_str(), std::string(b).c_str());
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return ThreeWay(a, b);
}

int CompareDateValues(std::string_view a, std::string_view b) {
  // The later date first.
  return ThreeWay(ParseLocaleDateTime(b), ParseLocaleDateTime(a));
}

int CompareNumberValues(std::string_view a, std::string_view b) {
  return ThreeWay(IntOfText(a, 0), IntOfText(b, 0));
}

int CompareByText(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode) {
  return Directed(CompareTextValues(SortText(item1, sortCode), SortText(item2, sortCode)),
                  sortCode);
}

int CompareByDate(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode) {
  return Directed(CompareDateValues(SortText(item1, sortCode), SortText(item2, sortCode)),
                  sortCode);
}

int CompareByNumber(const ListRowTexts& item1, const ListRowTexts& item2, int sortCode) {
  return Directed(CompareNumberValues(SortText(item1, sortCode), SortText(item2, sortCode)),
                  sortCode);
}

}  // namespace trawler::text
