#include "platform/cookie_jar.h"

#include <gtest/gtest.h>

using trawler::platform::CookieJar;

namespace {

constexpr std::time_t kNow = 1700000000;  // 2023-11-14

TEST(CookieJar, DecidesWhereACookieBelongs) {
    struct Case {
        const char* setCookie;
        const char* from;
        const char* line;  // Netscape line stored, or nullptr when refused
    } cases[] = {
        {"sid=1", "http://www.example.org/a/b/page.html",
         "www.example.org\tFALSE\t/a/b\tFALSE\t0\tsid\t1"},
        {"sid=1; Path=/", "http://www.example.org/a/page", "www.example.org\tFALSE\t/\tFALSE\t0\tsid\t1"},
        {"sid=1; path=relative", "http://h.example/a/b", "h.example\tFALSE\t/a\tFALSE\t0\tsid\t1"},
        {"sid=1", "http://h.example", "h.example\tFALSE\t/\tFALSE\t0\tsid\t1"},
        {"sid=1; Domain=.Example.org; Secure", "https://www.example.org/",
         ".example.org\tTRUE\t/\tTRUE\t0\tsid\t1"},
        {"sid=1; Domain=www.example.org", "http://WWW.example.org/",
         ".www.example.org\tTRUE\t/\tFALSE\t0\tsid\t1"},
        {"sid=1; Max-Age=60", "http://h.example/", "h.example\tFALSE\t/\tFALSE\t1700000060\tsid\t1"},
        {"sid=1; Expires=Wed, 01 Jan 2031 00:00:00 GMT", "http://h.example/",
         "h.example\tFALSE\t/\tFALSE\t1924992000\tsid\t1"},
        {"sid=1; Expires=Wed, 01 Jan 2031 00:00:00 GMT; Max-Age=60", "http://h.example/",
         "h.example\tFALSE\t/\tFALSE\t1700000060\tsid\t1"},
        {"  sid = a b  ; HttpOnly", "http://h.example/", "h.example\tFALSE\t/\tFALSE\t0\tsid\ta b"},
        {"sid=", "http://h.example/", "h.example\tFALSE\t/\tFALSE\t0\tsid\t"},
        // Refused: a domain the address is not part of, a bare top-level domain, an IP with
        // a domain of another host, malformed pairs, control bytes, no usable address.
        {"sid=1; Domain=evil.example", "http://www.example.org/", nullptr},
        {"sid=1; Domain=org", "http://www.example.org/", nullptr},
        {"sid=1; Domain=ample.org", "http://www.example.org/", nullptr},
        {"sid=1; Domain=0.0.1", "http://127.0.0.1/", nullptr},
        {"novalue", "http://h.example/", nullptr},
        {"=1", "http://h.example/", nullptr},
        {"sid=1\r\nX: y", "http://h.example/", nullptr},
        {"sid=a\tb", "http://h.example/", nullptr},
        {"sid=1", "not a url", nullptr},
    };
    for (const auto& c : cases) {
        CookieJar jar;
        bool stored = jar.Add(c.setCookie, c.from, kNow);
        if (!c.line) {
            EXPECT_FALSE(stored) << c.setCookie;
            EXPECT_TRUE(jar.Empty()) << c.setCookie;
            continue;
        }
        EXPECT_TRUE(stored) << c.setCookie;
        ASSERT_EQ(1u, jar.NetscapeLines().size()) << c.setCookie;
        EXPECT_EQ(c.line, jar.NetscapeLines()[0]) << c.setCookie;
    }
}

TEST(CookieJar, ReplacesSameCookieAndExpiredOneRemovesIt) {
    CookieJar jar;
    EXPECT_TRUE(jar.Add("a=1; Path=/", "http://h.example/", kNow));
    EXPECT_TRUE(jar.Add("b=2; Path=/", "http://h.example/", kNow));
    EXPECT_TRUE(jar.Add("a=3; Path=/", "http://h.example/", kNow));
    EXPECT_TRUE(jar.Add("a=elsewhere; Path=/x", "http://h.example/", kNow));
    EXPECT_EQ((std::vector<std::string>{"b=2", "a=3", "a=elsewhere"}), jar.NameValues());

    EXPECT_TRUE(jar.Add("a=gone; Path=/; Max-Age=0", "http://h.example/", kNow));
    EXPECT_TRUE(jar.Add("b=gone; Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT",
                        "http://h.example/", kNow));
    EXPECT_EQ((std::vector<std::string>{"a=elsewhere"}), jar.NameValues());
    jar.Clear();
    EXPECT_TRUE(jar.Empty());
}

TEST(CookieJar, IsBoundedInCountAndSize) {
    CookieJar jar;
    for (std::size_t i = 0; i < CookieJar::kMaxCookies + 50; ++i)
        jar.Add("c" + std::to_string(i) + "=v", "http://h.example/", kNow);
    auto names = jar.NameValues();
    ASSERT_EQ(CookieJar::kMaxCookies, names.size());
    EXPECT_EQ("c50=v", names.front());  // the oldest made room
    EXPECT_FALSE(jar.Add("big=" + std::string(CookieJar::kMaxCookieBytes, 'x'),
                         "http://h.example/", kNow));
}

}  // namespace
