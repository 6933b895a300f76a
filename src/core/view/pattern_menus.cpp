#include "core/view/pattern_menus.h"

#include "support/text/url.h"

namespace trawler::core::view {

std::string PatternCaption(int n, std::string_view pattern) {
  if (n > 9) return std::string(pattern);
  return "&" + std::to_string(n) + " " + std::string(pattern);
}

std::string PatternFromCaption(std::string_view caption) {
  if (!caption.empty() && caption.front() == '&') {
    return std::string(caption.substr(std::min<std::size_t>(3, caption.size())));
  }
  return std::string(caption);
}

PatternMenus BuildPatternMenus(std::string_view url,
                               const std::function<bool(const std::string&)>& isListed) {
  PatternMenus menus;
  int n = 0;
  auto entry = [&n](const std::string& pattern) {
    return PatternItem{false, PatternCaption(n, pattern), pattern};
  };

  for (const std::string& parent : text::UrlParents(url)) {
    const PatternItem item = entry(parent);
    if (!isListed || !isListed(parent)) menus.BlackList.push_back(item);
    menus.MassDelete.push_back(item);
    ++n;
  }

  std::string host = text::UrlHost(url);
  if (host.empty()) return menus;
  const PatternItem separator{true, {}, {}};
  menus.MassDelete.push_back(separator);
  menus.BlackList.push_back(separator);
  auto add_to_both = [&](const std::string& pattern) {
    const PatternItem item = entry(pattern);
    menus.MassDelete.push_back(item);
    menus.BlackList.push_back(item);
    ++n;
  };
  add_to_both(host);
  for (std::size_t dot = host.find('.'); dot != std::string::npos; dot = host.find('.')) {
    host.erase(0, dot + 1);
    add_to_both("*." + host);
  }
  return menus;
}

}  // namespace trawler::core::view
