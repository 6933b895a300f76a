// The whole result list as one HTML page (View Results in HTML): a table
// with six lines per shown result. Titles, addresses, engine keys and
// descriptions are escaped; descriptions keep only harmless inline tags.
#pragma once

#include <string>
#include <vector>

namespace trawler::results { class tUrlResult; }

namespace trawler::core::view {

// The page as lines, in the order of rows; a null row is skipped.
std::vector<std::string> ResultListPage(const std::vector<const results::tUrlResult*>& rows);

}  // namespace trawler::core::view
