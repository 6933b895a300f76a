// The HTML description of one result, shown in the Properties tab's preview
// and in the properties window.
//
// Everything that comes from a result page or a server (title, addresses,
// description, check answers) is escaped before it enters the page; a
// description keeps only the harmless inline tags b, i, em, strong and br.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace trawler::results { class tUrlResult; class tResultsList; }
namespace trawler::lang { class tALanglist; }
namespace trawler::core { class TEngineList; }

namespace trawler::core::view {

// The Decoding entries of the web-view menu: None, "KOI8-r", "cp866".
enum class tDecoding { None, Koi8r, Cp866 };

struct DescribeOptions {
  tDecoding Decoding = tDecoding::None;
  bool Translit = false;
};

// What the description shows of an engine that returned the result.
struct EngineLink {
  std::string HomeUrl;
  std::string Caption;
};
// An engine key to its link; nullopt when no engine has that key.
using EngineLookup = std::function<std::optional<EngineLink>(const std::string& key)>;

// The lookup over the engines of an engine list.
EngineLookup EngineLookupOf(const TEngineList& engines);

// The words to set in bold: the search-in-retrieved text while that filter
// is on, else the query the results were searched with.
std::string HighlightedWords(const results::tResultsList& list, bool searchInRetrievedOn);

// The title or description after the display options: query words in bold,
// then the chosen Cyrillic repair table, then transliteration.
std::string ApplyDisplayOptions(std::string_view safeHtml, std::string_view words,
                                const DescribeOptions& options);

std::string DescribeResult(const results::tUrlResult& result, std::string_view words,
                           const DescribeOptions& options, const lang::tALanglist& lang,
                           const EngineLookup& engines);

}  // namespace trawler::core::view
