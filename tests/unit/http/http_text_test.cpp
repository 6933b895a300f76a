#include "platform/http_text.h"

#include <gtest/gtest.h>

namespace http_text = trawler::platform::http_text;

TEST(HttpText, StripControlBytesRemovesEverythingThatCouldEndAHeader) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Mozilla/4.0 (compatible)", "Mozilla/4.0 (compatible)"},
        {"a\r\nX-Injected: yes", "aX-Injected: yes"},
        {"a\nb\rc", "abc"},
        {std::string("nul\0byte", 8), "nulbyte"},
        {"tab\there", "tab here"},
        {"del\x7f!", "del!"},
        {"\xd0\xb0\xd0\xb1 utf-8", "\xd0\xb0\xd0\xb1 utf-8"},  // bytes above 0x7F stay
        {"\r\n", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.out, http_text::StripControlBytes(c.in)) << c.in;
}

TEST(HttpText, ParseStatusLine) {
    struct Case {
        std::string line;
        bool ok;
        int code;
        std::string reason;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\n", true, 200, "OK"},
        {"HTTP/1.1 404 Not Found\r\n", true, 404, "Not Found"},
        {"HTTP/1.0 302 Moved Temporarily", true, 302, "Moved Temporarily"},
        {"HTTP/2 200 \r\n", true, 200, ""},
        {"HTTP/2 204", true, 204, ""},
        {"HTTP/1.1 407 Proxy\x01 Auth\r\n", true, 407, "Proxy Auth"},
        {"Content-Type: text/html", false, 0, ""},
        {"HTTP/1.1 20 OK", false, 0, ""},
        {"HTTP/1.1 2000 OK", false, 0, ""},
        {"HTTP/1.1", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const auto& c : cases) {
        http_text::StatusLine status;
        ASSERT_EQ(c.ok, http_text::ParseStatusLine(c.line, status)) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(c.code, status.code) << c.line;
        EXPECT_EQ(c.reason, status.reason) << c.line;
    }
}

TEST(HttpText, HeaderValueMatchesTheNameIgnoringCase) {
    struct Case {
        std::string line, name;
        bool ok;
        std::string value;
    } cases[] = {
        {"Set-Cookie: a=b; Path=/\r\n", "Set-Cookie", true, "a=b; Path=/"},
        {"set-cookie:a=b", "Set-Cookie", true, "a=b"},
        {"LOCATION:   /x  ", "Location", true, "/x"},
        {"Set-Cookie2: a=b", "Set-Cookie", false, ""},
        {"X-Location: /x", "Location", false, ""},
        {"Location", "Location", false, ""},
    };
    for (const auto& c : cases) {
        std::string value;
        ASSERT_EQ(c.ok, http_text::HeaderValue(c.line, c.name, value)) << c.line;
        if (c.ok) {
            EXPECT_EQ(c.value, value) << c.line;
        }
    }
}

TEST(HttpText, ResolveLocationAgainstTheAnswersAddress) {
    const std::string base = "http://h.example:8080/dir/page.html?q=1";
    struct Case {
        std::string location, expected;
    } cases[] = {
        {"/index.html", "http://h.example:8080/index.html"},
        {"next.html", "http://h.example:8080/dir/next.html"},
        {"../up.html", "http://h.example:8080/up.html"},
        {"?q=2", "http://h.example:8080/dir/page.html?q=2"},
        {"//other.example/x", "http://other.example/x"},
        {"https://secure.example/a?b=c", "https://secure.example/a?b=c"},
        {"/a%20b", "http://h.example:8080/a%20b"},
        {"/a b", "http://h.example:8080/a%20b"},
        {"/caf\xc3\xa9", "http://h.example:8080/caf%c3%a9"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, http_text::ResolveLocation(base, c.location)) << c.location;
}
