// The Engines rows read back from a result set's engine log: any bytes must give rows
// without crashing, and rows written again and read back must keep every field except a
// working engine's picture (saved as done). Field texts that hold "#" or line breaks
// cannot survive the round trip, so only the caption may hold "#".

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mainwin/result_set_fields.h"

using trawler::mainwin::EngineRow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<EngineRow> rows = trawler::mainwin::RowsFromServerLog(input);
    const std::vector<EngineRow> again =
        trawler::mainwin::RowsFromServerLog(trawler::mainwin::ServerLogFromRows(rows));
    // A caption is what is left of a line, so neither it nor a field holds a line break;
    // empty lines are skipped, and every row writes a non-empty line.
    if (again.size() != rows.size()) std::abort();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int picture = rows[i].Picture > 2 ? rows[i].Picture : 3;
        if (again[i].Picture != picture || again[i].Caption != rows[i].Caption ||
            again[i].State != rows[i].State || again[i].Received != rows[i].Received)
            std::abort();
    }
    return 0;
}
