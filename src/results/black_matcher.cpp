#include "results/black_matcher.h"

#include <algorithm>

#include "results/black_list.h"
#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::results {

void BlackMatcher::Clear() {
  FPrefixes.clear();
  FHosts.clear();
  FDomains.clear();
  FOtherMasks.clear();
}

void BlackMatcher::Build(const std::vector<const tUrlList*>& lists) {
  Clear();
  for (const tUrlList* list : lists) {
    for (int i = 0; i < list->Count(); ++i) {
      const tUrlItem& entry = *list->Items(i);
      if (!entry.Checked()) continue;
      const std::string& pattern = entry.Url();
      if (entry.IsPrefix()) {
        std::string lowered = text::LowerText(pattern);
        auto group = std::find_if(FPrefixes.begin(), FPrefixes.end(),
                                  [&](const auto& g) { return g.first == lowered.size(); });
        if (group == FPrefixes.end()) {
          FPrefixes.emplace_back(lowered.size(), std::unordered_set<std::string>{});
          group = std::prev(FPrefixes.end());
        }
        group->second.insert(std::move(lowered));
      } else if (pattern.find('*') == std::string::npos) {
        FHosts.insert(text::LowerText(pattern));
      } else if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
                 pattern.find('*', 1) == std::string::npos) {
        FDomains.insert(text::LowerText(pattern.substr(2)));
      } else {
        FOtherMasks.push_back(pattern);
      }
    }
  }
}

bool BlackMatcher::Matches(std::string_view url) const {
  if (FPrefixes.empty() && FHosts.empty() && FDomains.empty() && FOtherMasks.empty())
    return false;
  const std::string address = text::LowerText(text::NormalizeUrl(url, true));

  for (const auto& [length, prefixes] : FPrefixes) {
    if (address.size() >= length && prefixes.count(address.substr(0, length)) != 0) return true;
  }

  if (!FHosts.empty() || !FDomains.empty()) {
    const std::string host = text::LowerText(text::UrlHost(address));
    if (FHosts.count(host) != 0) return true;
    if (!FDomains.empty()) {
      // "*.x" names the host x and every host below it: try the host and
      // each of its parent domains.
      std::string_view rest = host;
      while (!rest.empty()) {
        if (FDomains.count(std::string(rest)) != 0) return true;
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) break;
        rest.remove_prefix(dot + 1);
      }
    }
  }

  for (const std::string& mask : FOtherMasks) {
    if (text::HostMatchesMask(mask, address)) return true;
  }
  return false;
}

}  // namespace trawler::results
