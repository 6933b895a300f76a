#pragma once

// The pure parts of building a site's requests: joining the words of a query the way a site
// wants them, encoding a value for the site's code page, the page step of next-page
// requests, and header values made safe. The engine-level operations (PrepareEngine,
// BuildSearchRequest, BuildNextPageRequest, RepeatLastRequest, ApplyProxy, CategoryUrl) are
// members of TEngineList and write into the engine's HTTP client.

#include <string>
#include <string_view>

#include "core/sdf_records.h"
#include "core/search_types.h"

namespace trawler::core {

// Error numbers reported through onSearchError when an engine cannot serve a search.
inline constexpr int kErrorIncompatible = 40;
inline constexpr int kErrorNoKeywords = 16;
inline constexpr int kErrorRequiredMissing = 41;
inline constexpr std::string_view kMessageIncompatible = "Incompatible search parameters";
inline constexpr std::string_view kMessageNoKeywords = "This query required keywords";
inline constexpr std::string_view kMessageRequiredMissing = "Required parameter(s) is missed";

// The words of text joined by the "and"/"andb"/"ande", "or"/"orb"/"ore" and "exactbe" lines
// of an input's values, by match mode. A text without a space comes back unchanged.
std::string JoinWords(std::string_view text, tMatchMode mode, const TStrings &values);
// The shorter form used by news and street inputs: "andb" replaces each space instead of
// following it.
std::string JoinWordsShort(std::string_view text, tMatchMode mode, const TStrings &values);

// A request value encoded for the site: query-value escaping, the site's code page (KOI8-R
// bytes for koi8r, UTF-8 otherwise) and percent-encoding; with noEncode only the code page.
std::string EncodeRequestValue(std::string_view value, tCharset charset, bool noEncode);

// The next page number: current + koeff x 10, rounded half to even; a koeff that is empty
// or not a number counts as 1. Clamped to the int range.
int NextPageNumber(int current, std::string_view koeff);

// A header value from a site file or a setting with every control character removed, so no
// CR or LF can reach a request.
std::string SafeHeaderValue(std::string_view value);

}  // namespace trawler::core
