#include "core/mainwin/recent_entries.h"

#include <algorithm>

#include "support/text/case_folding.h"

namespace trawler::mainwin {

std::vector<std::string> AddRecentEntry(std::vector<std::string> entries, const std::string &file,
                                        int limit) {
  const auto same = std::find_if(entries.begin(), entries.end(), [&](const std::string &entry) {
    return text::SameTextIgnoreCase(entry, file);
  });
  if (same != entries.end()) {
    std::rotate(entries.begin(), same, same + 1);
    return entries;
  }
  if (file.empty()) return entries;
  entries.insert(entries.begin(), file);
  entries.resize(std::min(entries.size(), static_cast<std::size_t>(std::max(limit, 0))));
  return entries;
}

std::vector<std::string> RecentEntriesFromCatalogue(const std::vector<std::string> &mru, int limit) {
  std::vector<std::string> entries;
  for (auto file = mru.rbegin(); file != mru.rend(); ++file)
    entries = AddRecentEntry(std::move(entries), *file, limit);
  return entries;
}

}  // namespace trawler::mainwin
