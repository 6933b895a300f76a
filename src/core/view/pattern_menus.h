// The pattern submenus of the result view's menu: Mass deleting, Add To
// Temporary Black List and Add To Permanent Black List. For one address they
// offer the address and its parents, then its host and the host masks above
// it, numbered "&0 ", "&1 ", ... for the keyboard up to nine.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::core::view {

struct PatternItem {
  bool Separator = false;
  std::string Caption;  // "&3 w.a.lan", or the pattern alone from number 10 on
  std::string Pattern;  // what choosing the entry acts on ("w.a.lan")
};

struct PatternMenus {
  std::vector<PatternItem> MassDelete;
  // The same entries go to the temporary and the permanent submenu.
  std::vector<PatternItem> BlackList;
};

// isListed tells whether an address already is an entry of either black
// list; such parent addresses are left out of the black-list submenus.
PatternMenus BuildPatternMenus(std::string_view url,
                               const std::function<bool(const std::string&)>& isListed);

// The caption of entry number n for a pattern.
std::string PatternCaption(int n, std::string_view pattern);

// The pattern a caption stands for: a caption that begins with "&" loses its
// first three characters (the "&", the digit and the space).
std::string PatternFromCaption(std::string_view caption);

}  // namespace trawler::core::view
