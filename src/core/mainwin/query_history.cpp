#include "core/mainwin/query_history.h"

#include <algorithm>

namespace trawler::mainwin {

void PushHistory(std::vector<std::string> &history, const std::string &query, std::size_t limit) {
  if (query.empty()) return;
  std::erase(history, query);
  history.insert(history.begin(), query);
  if (history.size() > limit) history.resize(limit);
}

}  // namespace trawler::mainwin
