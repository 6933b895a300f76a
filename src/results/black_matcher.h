// The black-list test of one address against every checked entry of the
// black lists, without walking the entries one by one: address prefixes are
// looked up by length, plain host names and "*.domain" masks by host, so the
// cost of a test does not grow with the length of the lists. Masks of any
// other shape are tried one by one with HostMatchesMask.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace trawler::results {

class tUrlList;

class BlackMatcher {
 public:
  // Takes the checked entries of the lists; unchecked entries never match.
  void Build(const std::vector<const tUrlList*>& lists);
  void Clear();

  // The address is tested with its user information, port and query
  // dropped, ignoring case: a prefix entry matches when the address starts
  // with it; a mask matches by HostMatchesMask.
  bool Matches(std::string_view url) const;

 private:
  std::vector<std::pair<std::size_t, std::unordered_set<std::string>>> FPrefixes;
  std::unordered_set<std::string> FHosts;     // masks naming one host
  std::unordered_set<std::string> FDomains;   // "*.x" masks, stored as x
  std::vector<std::string> FOtherMasks;
};

}  // namespace trawler::results
