// The pure parts of request building: joining words, encoding values, the page step and
// header values.

#include <gtest/gtest.h>

#include <climits>

#include "core/request_builder.h"

namespace trawler::core {
namespace {

struct JoinCase {
    const char *text;
    tMatchMode mode;
    TStrings values;
    const char *joined;
    const char *joinedShort;
};

TEST(JoinWordsTest, JoinsByMatchMode) {
    const JoinCase cases[] = {
        {"a b c", mmAll, {"and=+AND+"}, "a+AND+b+AND+c", "a+AND+b+AND+c"},
        {"a b c", mmAll, {"andb=+"}, "+a +b +c", "+a+b+c"},
        {"a b c", mmAll, {"ande=*"}, "a *b *c*", "a b c"},
        {"a b c", mmAll, {"andb=+", "ande=*"}, "+a *+b *+c*", "+a+b+c"},
        {"a b c", mmAll, {"AND=&", "andb=+"}, "a&b&c", "a&b&c"},  // names ignore case; "and" wins
        {"a b c", mmExact, {"exactbe='"}, "'a b c'", "'a b c'"},
        {"a b", mmAny, {"or=|", "and=+"}, "a|b", "a|b"},
        {"a b", mmAny, {"orb=~"}, "~a ~b", "a b"},
        {"a b", mmBoolean, {"and=+", "exactbe='"}, "a b", "a b"},
        {"word", mmExact, {"exactbe='"}, "word", "word"},  // one word is never changed
        {"a b", mmAll, {}, "a b", "a b"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(JoinWords(c.text, c.mode, c.values), c.joined) << c.text << " mode " << c.mode;
        EXPECT_EQ(JoinWordsShort(c.text, c.mode, c.values), c.joinedShort) << c.text << " mode " << c.mode;
    }
}

struct EncodeCase {
    const char *value;
    tCharset charset;
    bool noEncode;
    const char *encoded;
};

TEST(EncodeRequestValueTest, EncodesForTheSite) {
    const EncodeCase cases[] = {
        {"+a +b", tCharset::None, false, "%2Ba+%2Bb"},
        {"a=b c?d", tCharset::None, false, "a%3Db+c%3Fd"},
        {"é", tCharset::None, false, "%C3%A9"},
        {"é", tCharset::Utf8, false, "%C3%A9"},
        {"é", tCharset::Utf8In, false, "%C3%A9"},
        {"а", tCharset::Koi8r, false, "%C1"},     // Cyrillic a in KOI8-R
        {"Яa", tCharset::Koi8r, false, "%F1a"},
        {"€?", tCharset::Koi8r, false, "%3F%3F"},  // a character KOI8-R lacks, and a real "?"
        {"a b", tCharset::None, true, "a b"},
        {"а", tCharset::Koi8r, true, "\xC1"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EncodeRequestValue(c.value, c.charset, c.noEncode), c.encoded) << c.value;
    }
}

TEST(NextPageNumberTest, StepsByKoeffTimesTen) {
    struct Case {
        int current;
        const char *koeff;
        int next;
    };
    const Case cases[] = {
        {0, "1", 10},    {10, "1", 20},        {1, "0.1", 2},         {0, "", 10},
        {0, "..", 10},   {0, "0.25", 2},       {0, "0.75", 8},        {5, "0", 5},
        {0, "2.", 20},   {INT_MAX, "1", INT_MAX}, {0, "99999999999999999999", INT_MAX},
    };
    for (const auto &c : cases) EXPECT_EQ(NextPageNumber(c.current, c.koeff), c.next) << c.current << " " << c.koeff;
}

TEST(SafeHeaderValueTest, DropsControlCharacters) {
    EXPECT_EQ(SafeHeaderValue("http://a/\r\nX-Evil: 1"), "http://a/X-Evil: 1");
    EXPECT_EQ(SafeHeaderValue(std::string("a\0b\tc\x7f", 6)), "abc");
    EXPECT_EQ(SafeHeaderValue("Mozilla/4.0 (compatible; Ünïcode)"), "Mozilla/4.0 (compatible; Ünïcode)");
}

}  // namespace
}  // namespace trawler::core
