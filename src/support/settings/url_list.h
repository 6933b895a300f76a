// The address lists of the project's services (home page, help, donation,
// statistics, contact addresses): name=value pairs whose name is a language
// identifier, so one list can point each interface language at its own page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trawler::settings {

struct UrlEntry {
  std::string Name;   // decimal language identifier; "0" means any language
  std::string Value;  // the address

  bool operator==(const UrlEntry &) const = default;
};

using UrlList = std::vector<UrlEntry>;

// The language identifier of the interface when no language pack is loaded.
inline constexpr std::string_view kAnyLanguage = "0";

// The address for the interface language: the entry named languageId, else
// the one named "0", else the first entry, else empty. An empty result means
// the service is not offered and the command that opens it stays disabled.
std::string UrlForLanguage(const UrlList &list, std::string_view languageId = kAnyLanguage);

}  // namespace trawler::settings
