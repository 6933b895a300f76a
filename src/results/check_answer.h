// Reading the answer to a link check's HEAD request: the status line and the
// few headers the result list keeps. Plain text in, fields out; no I/O, so
// it can be tested and fuzzed on its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/bot_result.h"
#include "support/text/dates.h"

namespace trawler::results {

// Fills Code, Reason, Server, ContentType, Location, Size and Date of out
// from the answer's header lines (status line first). statusCode is the HTTP
// client's reading of the status, used when the status line has no blank.
// checkedUrl is the address the request went to; a relative Location of a
// 301 answer is resolved against it. Header names are matched whole, at the
// start of a line, ignoring case. lines must not be empty.
void ReadCheckAnswer(const std::vector<std::string>& lines, int statusCode,
                     const std::string& checkedUrl, tBotResult& out);

// The moment an HTTP date of the form "Sun, 06 Nov 1994 08:49:37 GMT" names,
// as a UTC date-time; nothing when the text is not such a date.
std::optional<text::TDateTime> ParseHttpDate(std::string_view value);

}  // namespace trawler::results
