#include "support/text/query_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text/code_pages.h"

namespace trawler::text {
namespace {

struct Conversion {
  std::string input;
  std::string expected;
};

TEST(EncodeQueryValue, EscapesParameterBreakersAndTurnsSpacesIntoPlus) {
  const Conversion cases[] = {
      {"a+b c?d", "a%2Bb+c%3Fd"},
      {"+;&|!,'#/\\?", "%2B%3B%26%7C%21%2C%27%23%2F%5C%3F"},
      {"100% = \"x:y\"", "100%+=+\"x:y\""},  // left for PercentEncode
      {"Привет мир", "Привет+мир"},
      {"", ""},
  };
  for (const Conversion& c : cases) EXPECT_EQ(EncodeQueryValue(c.input), c.expected) << c.input;
}

TEST(PercentEncode, EscapesBytesAboveAsciiControlsEqualsAndQuotes) {
  const Conversion cases[] = {
      {"a%2Bb+c%3Fd", "a%2Bb+c%3Fd"},
      {"a=b", "a%3Db"},
      {"é", "%C3%A9"},                     // the bytes of the UTF-8 value
      {"\xE0", "%E0"},
      {std::string(1, '\0'), "%00"},
      {" \t\"!~", "%20%09%22!~"},
  };
  for (const Conversion& c : cases) EXPECT_EQ(PercentEncode(c.input), c.expected) << c.input;
  // A KOI8-R site: the value is converted first, then its bytes are escaped.
  EXPECT_EQ(PercentEncode(EncodeToCodePage("а", CodePage::kKoi8R)), "%C1");
}

TEST(EncodeRequestValue, RunsTheWholeRoadForEachCodePage) {
  struct Case {
    std::string value;
    CodePage page;
    std::string expected;
  };
  const Case cases[] = {
      {"а", CodePage::kKoi8R, "%C1"},
      {"а", CodePage::kUtf8, "%D0%B0"},
      {"Щука и рыба", CodePage::kKoi8R, "%FD%D5%CB%C1+%C9+%D2%D9%C2%C1"},
      {"a+b=c", CodePage::kWindows1251, "a%2Bb%3Dc"},
      // A character the page lacks is sent as an escaped question mark, never a bare one.
      {"日本?", CodePage::kKoi8R, "%3F%3F%3F"},
      {"café", CodePage::kWindows1252, "caf%E9"},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeRequestValue(c.value, c.page), c.expected) << c.value;
}

}  // namespace
}  // namespace trawler::text
