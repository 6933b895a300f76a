#pragma once

// Cutting a fetched page into hits with an engine's extraction rules.
//
// A rule is a line of literal page text with field names between "%" signs:
//   <li><a href="%URL%">%TITLE%</a>%DESCRIPTION%</li>
// The text before the first "%" starts a hit's block, the text after the last "%" ends it,
// and the literal text around each field delimits its value. The same pass picks up the
// values that drive the next requests: the total, next-page addresses, captured parameter
// values and names. Markers and delimiters match ignoring case, with "?" standing for any
// one character.
//
// The page text handed in is UTF-8 (the driver decodes each page from its character set
// first); addresses keep the bytes of the page's own character set, percent-encoded, as
// pageCodePage says.

#include <string>
#include <string_view>

#include "core/sdf_records.h"
#include "support/text/code_pages.h"

namespace trawler::core {

class TEngineList;

// Sub-rules may name each other; a hostile site file must not be able to recurse without end.
inline constexpr int kMaxSubSpecDepth = 8;

// Runs every result rule of the engine's outputs for its category code over the engine's
// PageText.
void ReadResultPage(TEngineList &list, TEngine &engine);
// Runs the presearch rules over the engine's PageText (one rule per presearch output).
void ReadPresearchPage(TEngineList &list, TEngine &engine);
// The matching algorithm for one rule over one text.
void ExtractHits(TEngineList &list, TEngine &engine, const TEngineOutput &output,
                 std::string_view text, std::string_view rule, int depth = 0);

// The relevance estimate of a hit without one of its own: the first hits of a site rank
// highest, falling as the site's hits accumulate; always 1 to 100.
int EstimateRelevance(int hitCount, int totalCount, int maxCountPerEngine);

// The character set of a fetched page: the site's own setting first, then the answer's
// Content-Type header or <meta charset>, then UTF-8 when the bytes are valid UTF-8, else the
// legacy code page.
text::CodePage PageCodePage(tCharset siteCharset, const std::vector<std::string> &headerLines,
                            std::string_view body);

// An address taken from a decoded page, back in the bytes the page had: every non-ASCII
// character is encoded in the page's character set and percent-encoded.
std::string AddressBytes(std::string_view url, text::CodePage pageCodePage);

}  // namespace trawler::core
