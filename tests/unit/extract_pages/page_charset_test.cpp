#include <gtest/gtest.h>

#include "core/extraction.h"

namespace trawler::core {
namespace {

using text::CodePage;

TEST(PageCharset, SiteSettingThenHeaderThenMetaThenContent) {
    const std::string koiBytes = "\xC1\xC2";  // "аб" in KOI8-R, not valid UTF-8
    const struct {
        const char *name;
        tCharset site;
        std::vector<std::string> headers;
        std::string body;
        CodePage expected;
    } cases[] = {
        {"koi8r site", tCharset::Koi8r, {"Content-Type: text/html; charset=utf-8"}, "x", CodePage::kKoi8R},
        {"utf8out site", tCharset::Utf8Out, {}, koiBytes, CodePage::kUtf8},
        {"header", tCharset::None, {"HTTP/1.1 200 OK", "content-type: text/html; Charset=windows-1251"}, "x",
         CodePage::kWindows1251},
        {"meta", tCharset::None, {}, "<html><META http-equiv=x content=\"text/html; charset=koi8-r\">",
         CodePage::kKoi8R},
        {"meta charset", tCharset::None, {}, "<meta charset=\"utf-8\">" + koiBytes, CodePage::kUtf8},
        {"valid utf-8", tCharset::None, {}, "\xD0\xB0", CodePage::kUtf8},
        {"legacy", tCharset::None, {}, koiBytes, text::LegacyCodePage()},
    };
    for (const auto &c : cases) EXPECT_EQ(PageCodePage(c.site, c.headers, c.body), c.expected) << c.name;
}

TEST(PageCharset, AddressesKeepThePageBytes) {
    EXPECT_EQ(AddressBytes("http://h/\xD0\xB0?q=1", CodePage::kKoi8R), "http://h/%C1?q=1");
    EXPECT_EQ(AddressBytes("http://h/\xD0\xB0", CodePage::kUtf8), "http://h/%D0%B0");
    EXPECT_EQ(AddressBytes("http://h/plain%20x", CodePage::kWindows1251), "http://h/plain%20x");
}

}  // namespace
}  // namespace trawler::core
