#include "ui/results_model/row_compare.h"

#include <charconv>
#include <cmath>

namespace trawler::ui {

int CompareDays(double a, double b) {
    const double dayA = std::floor(a);
    const double dayB = std::floor(b);
    return dayA < dayB ? -1 : (dayA > dayB ? 1 : 0);
}

int RelevanceOfText(std::string_view text) {
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-')) return 0;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

}  // namespace trawler::ui
