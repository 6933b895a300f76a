// The comparisons the result view sorts by, for the columns that need no
// locale: plain functions so they can be checked on their own.
#pragma once

#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

namespace trawler::ui {

// Dates (days since 1899-12-30, time as the fraction) compare by calendar day:
// two times of the same day are equal. Comparing the whole days rather than
// the floor of the difference keeps the order consistent (the floor of a
// difference says 0.2 < 0.5 but not 0.5 > 0.2), which a sort needs.
int CompareDays(double a, double b);

// A relevance column text as an integer: an optional sign and decimal digits
// making up the whole text; anything else (and a value too large) gives 0.
int RelevanceOfText(std::string_view text);

// The positions 0..count-1 in sorted order by compare(a, b) (negative, zero or
// positive, for ascending order); descending order negates the comparison.
// Equal rows keep their order.
template <class Compare>
std::vector<int> StableOrder(int count, Compare compare, bool ascending) {
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    if (ascending)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compare(a, b) < 0; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compare(a, b) > 0; });
    return order;
}

}  // namespace trawler::ui
