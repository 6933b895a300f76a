// Adding a result's address or a pattern to a black list from the result
// view, and the question that follows about deleting the matching results.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace trawler::results { class tResultsList; }
namespace trawler::lang { class tALanglist; }

namespace trawler::core::view {

// Adds text as a checked entry to the permanent or the temporary list (an
// empty text does nothing and gives an empty question). Returns the
// question to ask before the matching results are deleted: message 35 for
// an address (text with "://"), message 37 for a host or host mask.
std::string AddToBlackList(results::tResultsList& list, const std::string& text, bool permanent,
                           const lang::tALanglist& lang);

// What the Ctrl+Backspace keys add for a row's main address: the address
// without its query, and for the permanent list in lowercase as well.
std::string BlackListTextOfUrl(std::string_view url, bool permanent);

// Runs addEntries (which may add to the black lists) and afterwards
// refreshes the black-list view when the temporary list is shown and did
// not grow.
void WithTemporaryRefresh(results::tResultsList& list, const std::function<void()>& addEntries);

}  // namespace trawler::core::view
