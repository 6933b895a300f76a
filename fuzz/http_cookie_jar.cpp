// Set-Cookie values come straight from web servers. Input: the address of the answer, a
// newline, then Set-Cookie values separated by newlines.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/cookie_jar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto newline = input.find('\n');
    std::string url(input.substr(0, newline));
    if (newline == std::string_view::npos) return 0;
    input.remove_prefix(newline + 1);

    trawler::platform::CookieJar jar;
    while (!input.empty()) {
        auto end = input.find('\n');
        jar.Add(input.substr(0, end), url, 1700000000);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    for (const auto& line : jar.NetscapeLines()) {
        // Each stored cookie must stay one line of exactly seven fields.
        if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
            __builtin_trap();
        std::size_t tabs = 0;
        for (char c : line) tabs += c == '\t';
        if (tabs != 6) __builtin_trap();
    }
    if (jar.NameValues().size() > trawler::platform::CookieJar::kMaxCookies) __builtin_trap();
    return 0;
}
