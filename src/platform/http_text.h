#pragma once

// Small text rules of the HTTP client, kept apart so they can be tested on their own.

#include <string>
#include <string_view>

namespace trawler::platform::http_text {

// The value with every control byte (below 0x20, and 0x7F) removed, tabs turned into
// spaces. Used on header values we send (they may come from untrusted site files, and a CR
// or LF would start a header of the sender's choosing) and on header lines we receive.
std::string StripControlBytes(std::string_view value);

struct StatusLine {
    int code = 0;
    std::string reason;
};

// Reads "HTTP/1.1 404 Not Found" (or "HTTP/2 200"). Returns false for anything else.
bool ParseStatusLine(std::string_view line, StatusLine& out);

// When `line` is "<name>: value" with the name matching ignoring ASCII case, stores the
// trimmed value and returns true.
bool HeaderValue(std::string_view line, std::string_view name, std::string& value);

// The absolute address a redirect's Location value names, resolved against the address of
// the answer that carried it; empty when no address can be made of it.
std::string ResolveLocation(const std::string& base, const std::string& location);

}  // namespace trawler::platform::http_text
