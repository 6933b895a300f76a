#include "support/settings/url_list.h"

#include <algorithm>

namespace trawler::settings {

namespace {

const UrlEntry *FindByName(const UrlList &list, std::string_view name) {
  auto found = std::find_if(list.begin(), list.end(),
                            [name](const UrlEntry &entry) { return entry.Name == name; });
  return found == list.end() ? nullptr : &*found;
}

}  // namespace

std::string UrlForLanguage(const UrlList &list, std::string_view languageId) {
  if (const UrlEntry *entry = FindByName(list, languageId)) return entry->Value;
  if (const UrlEntry *entry = FindByName(list, kAnyLanguage)) return entry->Value;
  if (!list.empty()) return list.front().Value;
  return {};
}

}  // namespace trawler::settings
