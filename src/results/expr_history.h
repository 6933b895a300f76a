// The expression history of the extractor and the name proposed for a new
// template.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace trawler::results {

inline constexpr std::size_t kExprHistoryLimit = 50;

// Puts expression at the top of history, removing an earlier entry equal to it
// ignoring case, and drops entries beyond kExprHistoryLimit from the end.
void AddToExprHistory(std::vector<std::string>& history, const std::string& expression);

// base when no listed name equals it ignoring case; else base + "_" + N for
// the first N from 1 whose name is not listed.
std::string ProposeExprName(const std::vector<std::string>& listed, const std::string& base);

}  // namespace trawler::results
