#pragma once
// The query box's history: most recent first, each query once, bounded.

#include <cstddef>
#include <string>
#include <vector>

namespace trawler::mainwin {

inline constexpr std::size_t kHistoryLimit = 50;

// Moves query to the top (adding it when absent, the others keep their order) and drops
// entries from the end beyond limit. An empty query changes nothing.
void PushHistory(std::vector<std::string> &history, const std::string &query,
                 std::size_t limit = kHistoryLimit);

}  // namespace trawler::mainwin
