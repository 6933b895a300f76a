#pragma once
// The Related Links menu: one submenu per region holding that region's sites in
// alphabetical order of caption, at most 21 per submenu; a full submenu opens a nested
// "Next Links..." submenu at its top for the sites that follow.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::mainwin {

inline constexpr std::size_t kLinksPerSubmenu = 21;
// A hint longer than this many characters is cut to kLinkHintKeep characters and "...".
inline constexpr std::size_t kLinkHintMax = 100;
inline constexpr std::size_t kLinkHintKeep = 98;

struct LinkEntry {
  std::string Caption;  // the site's caption; a click opens its home page
  std::string Hint;     // its description on one line
};

struct LinkSubmenu {
  std::vector<LinkEntry> Entries;     // sorted by caption ignoring case
  std::unique_ptr<LinkSubmenu> Next;  // the nested "Next Links..." submenu, when full
};

struct RegionLinks {
  std::string Region;
  LinkSubmenu Menu;
};

// A site as the menu needs it.
struct LinkSite {
  std::string Caption;
  std::string Region;
  std::vector<std::string> Description;  // lines
};

// The description as a hint: lines joined with spaces, line breaks inside them replaced by
// spaces, cut to 98 characters and "..." when over 100.
std::string LinkHint(const std::vector<std::string> &description);

// One submenu per region of `regions` (in the given order) with the sites whose region
// equals it ignoring case. Sites are placed in alphabetical order before partitioning, so
// the first submenu holds the first 21 captions, its nested one the next 21 and so on.
std::vector<RegionLinks> BuildRelatedLinks(const std::vector<std::string> &regions,
                                           const std::vector<LinkSite> &sites);

}  // namespace trawler::mainwin
