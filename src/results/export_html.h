#pragma once

// The result set as an HTML page: a heading with the query and the date,
// then one entry per result (title as a link, engine titles, date,
// relevance, description and link-check details). Every text is escaped;
// descriptions keep only a few harmless inline tags (or become plain text),
// and only http, https, ftp and mailto addresses become links.

#include <string>

#include "results/results_list.h"

namespace trawler::results {

// The page's text (lines end with CR LF).
std::string HtmlExportText(tResultsList& list, bool plain, bool all);

// Adds the page to the end of fileName (a missing file is created) through
// a temporary file, so an error leaves the previous file. all: every result,
// else the selected ones. OnSaveProgress: (0, 1), (i, n) before result i,
// (1, 1) at the end. Throws ResultSetError with the system's message.
void ExportHtml(tResultsList& list, const std::string& fileName, bool plain, bool all);

}  // namespace trawler::results
