#include "core/view/sort_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "support/text/integer_text.h"

namespace trawler::core::view {

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

const std::string& TextOf(int column, const SortRow& row) {
  switch (column) {
    case rcUrl: return row.Url;
    case rcEngine: return row.Engines;
    default: return row.Title;
  }
}

int RelevanceOf(const SortRow& row) { return text::IntOfText(row.RelevanceText, 0); }

// Texts may hold a zero byte only by accident; the collation stops at it.
int Collate(const std::string& a, const std::string& b) { return Sign(std::strcoll(a.c_str(), b.c_str())); }

}  // namespace

std::string CollationKey(const std::string& text) {
  std::string key(text.size() * 2 + 16, '\0');
  std::size_t n = std::strxfrm(key.data(), text.c_str(), key.size());
  if (n >= key.size()) {
    key.resize(n + 1);
    n = std::strxfrm(key.data(), text.c_str(), key.size());
  }
  key.resize(std::min(n, key.size()));
  return key;
}

int CompareRows(int column, const SortRow& a, const SortRow& b) {
  switch (column) {
    case rcTitle:
    case rcUrl:
    case rcEngine:
      return Collate(TextOf(column, a), TextOf(column, b));
    case rcDate:
      // Exact values: a comparison that rounds to whole days would call two
      // dates a day apart both equal and unequal depending on the direction,
      // which no sort can follow.
      return (a.Date > b.Date) - (a.Date < b.Date);
    case rcRelevance: {
      const int ra = RelevanceOf(a), rb = RelevanceOf(b);
      return (ra > rb) - (ra < rb);
    }
    default:
      return 0;
  }
}

std::vector<std::size_t> SortOrder(const std::vector<SortRow>& rows, int column, bool ascending) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (column < 0 || column >= kResultColumnCount) return order;

  auto sort_by = [&](const auto& keys) {
    if (ascending) {
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t x, std::size_t y) { return keys[x] < keys[y]; });
    } else {
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t x, std::size_t y) { return keys[y] < keys[x]; });
    }
  };

  switch (column) {
    case rcDate: {
      std::vector<double> keys(rows.size());
      for (std::size_t i = 0; i < rows.size(); ++i) {
        // A date read from a damaged file must not break the ordering.
        keys[i] = std::isnan(rows[i].Date) ? 0 : rows[i].Date;
      }
      sort_by(keys);
      break;
    }
    case rcRelevance: {
      std::vector<int> keys(rows.size());
      for (std::size_t i = 0; i < rows.size(); ++i) keys[i] = RelevanceOf(rows[i]);
      sort_by(keys);
      break;
    }
    default: {
      // One collation key per row, so the sort compares bytes instead of
      // running the locale's comparison n log n times.
      std::vector<std::string> keys(rows.size());
      for (std::size_t i = 0; i < rows.size(); ++i) keys[i] = CollationKey(TextOf(column, rows[i]));
      sort_by(keys);
    }
  }
  return order;
}

}  // namespace trawler::core::view
