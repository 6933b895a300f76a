#include <gtest/gtest.h>

#include <string>

#include "support/lang/lang_format.h"

namespace {

using trawler::lang::ApplyFormat;
using trawler::lang::tALangFormat;

TEST(ApplyFormat, TablesThenSymbolsThenTheCharacterItself) {
  const tALangFormat plain{"plain", "ab", "xy", {}};
  const tALangFormat with_symbol{"sym", "ab", "xy", {{"c", "ch"}}};
  const tALangFormat short_out{"short", "abc", "x", {{"b", "never"}}};
  const tALangFormat cyrillic{"TRANSLIT", "абв", "abv", {{"ж", "zh"}, {"Ж", "first wins"}, {"щ", "shch"}}};
  const tALangFormat first_in{"dup", "aa", "12", {}};
  struct Case {
    const char *name;
    const tALangFormat *format;
    const char *text;
    const char *expected;
  } cases[] = {
      {"no format", nullptr, "abc", "abc"},
      {"table", &plain, "abc", "xyc"},
      {"table and symbol", &with_symbol, "abc", "xych"},
      {"symbol ignores case", &with_symbol, "C", "ch"},
      {"tables keep case", &plain, "AB", "AB"},
      {"table-out shorter than table-in", &short_out, "abcd", "xbcd"},
      {"characters, not bytes", &cyrillic, "вабжый", "vabzhый"},
      {"cyrillic symbol ignoring case", &cyrillic, "ЖЩ", "zhshch"},
      {"first occurrence in table-in", &first_in, "a", "1"},
      {"broken UTF-8 passes through", &plain, "a\xFF" "b", "x\xFFy"},
  };
  for (const Case &c : cases) EXPECT_EQ(ApplyFormat(c.text, c.format), c.expected) << c.name;
}

}  // namespace
