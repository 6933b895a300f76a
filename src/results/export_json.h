#pragma once

// The result set as one UTF-8 JSON document, for scripts and other tools:
//   { "query", "category", "match_mode", "search_date",
//     "results": [ { "title", "url", "other_urls", "engines": [{"key","title"}],
//                    "date", "relevance", "description", "check_state",
//                    "deleted", "link_check": { "code", "reason",
//                    "content_type", "size", "server" } } ] }
// Dates are ISO 8601 local times with their UTC offset, or null when there
// is none; descriptions are plain text.

#include <string>

#include "results/results_list.h"
#include "support/text/dates.h"

namespace trawler::results {

// A JSON string literal of a text (made valid UTF-8 first).
std::string JsonString(std::string_view text);

// "2001-03-05T14:30:00+01:00"; empty for no date (0).
std::string IsoDateTime(text::TDateTime value);

// The document (all results, or the selected ones).
std::string JsonExportText(tResultsList& list, bool all);

// Writes the document as fileName (replacing it through a temporary file).
// OnSaveProgress as for every export. Throws ResultSetError.
void ExportJson(tResultsList& list, const std::string& fileName, bool all);

}  // namespace trawler::results
