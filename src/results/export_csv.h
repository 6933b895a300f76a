#pragma once

// The result set as a CSV file for spreadsheets: fields separated (and
// ended) by ";", quoted when not empty, one line per result. A cell that a
// spreadsheet would read as a formula gets a leading apostrophe.

#include <string>
#include <string_view>

#include "results/results_list.h"

namespace trawler::results {

inline constexpr std::string_view kCsvHeader = "URL;Title;Engines;Date;Description";

// One field as written: a text starting with "=", "+", "-", "@", a tab or
// CR gets a leading apostrophe; double quotes are doubled; a non-empty
// field is wrapped in double quotes; ";" follows.
std::string CsvField(std::string_view text);

// The lines of the results (all, or the selected ones), each ending CR LF.
std::string CsvExportLines(tResultsList& list, bool all);

// Adds the lines to the end of fileName, after the header line when header
// is set. A new (missing or empty) file starts with a UTF-8 byte order mark.
// The whole new content goes through a temporary file, so an error leaves
// the previous file. OnSaveProgress as for every export. Throws
// ResultSetError with the system's message.
void ExportCsv(tResultsList& list, const std::string& fileName, bool header, bool all);

}  // namespace trawler::results
