// Header lines of answers come from any server. Every received line goes through these.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http_text.h"

namespace http_text = trawler::platform::http_text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    auto clean = http_text::StripControlBytes(line);
    if (clean.size() > line.size()) __builtin_trap();
    for (char c : clean) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) __builtin_trap();
    }
    http_text::StatusLine status;
    if (http_text::ParseStatusLine(line, status) && (status.code < 0 || status.code > 999))
        __builtin_trap();
    std::string value;
    http_text::HeaderValue(line, "Set-Cookie", value);
    if (http_text::HeaderValue(line, "Location", value)) {
        auto target = http_text::ResolveLocation("http://h.example/a/b?c", value);
        // Whatever a server writes, a followed redirect is an address with no line breaks.
        if (target.find_first_of("\r\n") != std::string::npos) __builtin_trap();
    }
    return 0;
}
