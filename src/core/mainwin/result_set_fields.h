#pragma once
// What the main window keeps in a result-set file besides the results: the Engines tab's
// rows as the engine log, and the category the loaded set names.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/mainwin/engine_rows.h"

namespace trawler::mainwin {

// One line per row, joined with CR LF: picture#received#total#bytes#state#name. An engine
// still queued, working or paused is saved as done (picture 3).
std::string ServerLogFromRows(const std::vector<EngineRow> &rows);

// The rows of an engine log: six fields separated by "#"; the picture is the first field's
// integer (5 when it is not a number), and everything after the fifth "#" is the caption,
// "#" included. A line with fewer fields fills what it has.
std::vector<EngineRow> RowsFromServerLog(std::string_view log);

// The category a loaded set's search is shown with: its own when it exists, else the root
// category "0" when that exists, else none.
std::string LoadedCategory(const std::string &category,
                           const std::function<bool(std::string_view)> &exists);

}  // namespace trawler::mainwin
