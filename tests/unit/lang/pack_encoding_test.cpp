#include <gtest/gtest.h>

#include <string>

#include "support/lang/pack_encoding.h"

namespace {

using trawler::lang::DecodePackText;

TEST(DecodePackText, Utf8StaysOtherwiseDecodedFromThePacksCharacterSet) {
  struct Case {
    const char *name;
    std::string bytes;
    int charset;
    int legacy;
    std::string expected;
  } cases[] = {
      {"valid UTF-8 kept", "Привет", 204, 1252, "Привет"},
      {"byte order mark dropped", "\xEF\xBB\xBF" "abc", -1, 1252, "abc"},
      {"Cyrillic charset", "\xCF\xF0\xE8\xE2\xE5\xF2", 204, 1252, "Привет"},
      {"Central European charset", "\xB9\xE6", 238, 1252, "ąć"},
      {"Greek charset", "\xE1\xE2", 161, 1252, "αβ"},
      {"Shift-JIS charset", "\x93\xFA\x96\x7B", 128, 1252, "日本"},
      {"GB2312 charset", "\xD6\xD0\xCE\xC4", 134, 1252, "中文"},
      {"no charset: legacy code page", "\xCF\xF0\xE8", -1, 1251, "При"},
      {"ANSI charset: legacy code page", "caf\xE9", 0, 1252, "café"},
      {"undefined byte replaced", "a\x98" "b", 204, 1252, "a\xEF\xBF\xBD" "b"},
      {"truncated multibyte sequence", "\x93", 128, 1252, "\xEF\xBF\xBD"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(DecodePackText(c.bytes, c.charset, c.legacy), c.expected) << c.name;
}

}  // namespace
