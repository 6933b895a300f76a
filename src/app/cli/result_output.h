#pragma once
// The result list written in the format trawler-cli was asked for.

#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/engine_report.h"
#include "results/results_list.h"

namespace trawler::cli {

// One block per result: title, address, engines, date, relevance, description on one line.
std::string ResultsAsText(results::tResultsList &list);

// The JSON document of the result set with the engine reports added.
std::string ResultsAsJson(results::tResultsList &list, const std::vector<EngineReport> &engines);

// Writes the list to `file` (standard output when empty) in `format`; false with a reason.
bool WriteResults(results::tResultsList &list, OutputFormat format, const std::string &file,
                  const std::vector<EngineReport> &engines, std::string &error);

// The format a file name's extension names (.twf .json .csv .htm .html), if any.
bool FormatForFileName(const std::string &file, OutputFormat &format);

}  // namespace trawler::cli
