#include "support/text/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace trawler::text {
namespace {

struct ValidityCase {
  std::string text;
  bool valid;
};

TEST(Utf8, ValidityFollowsWellFormedSequencesOnly) {
  const ValidityCase cases[] = {
      {"", true},
      {"abc", true},
      {"Привет", true},
      {"日本語", true},
      {"😀", true},
      {"\xC3", false},              // truncated
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xFF", false},
      {"a\x80" "b", false},         // stray continuation byte
      {"\xE6\x97", false},          // cut inside 日
  };
  for (const ValidityCase& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

TEST(Utf8, DecodesCharactersAndStrayBytes) {
  struct Case {
    std::string text;
    std::size_t at;
    char32_t code;
    std::size_t length;
  };
  const Case cases[] = {
      {"a", 0, U'a', 1},
      {"Ж", 0, U'Ж', 2},
      {"x日", 1, U'日', 3},
      {"😀", 0, U'😀', 4},
      {"\xFF", 0, kStrayByteBase + 0xFF, 1},
      {"日", 1, kStrayByteBase + 0x97, 1},  // inside a character
      {"\xC3", 0, kStrayByteBase + 0xC3, 1},
      {"abc", 3, 0, 0},
  };
  for (const Case& c : cases) {
    const Utf8Char ch = DecodeUtf8(c.text, c.at);
    EXPECT_EQ(ch.code, c.code) << c.text << " at " << c.at;
    EXPECT_EQ(ch.length, c.length) << c.text << " at " << c.at;
  }
}

TEST(Utf8, AppendRestoresStrayBytesAndRejectsNonCharacters) {
  std::string out;
  AppendUtf8(out, U'é');
  AppendUtf8(out, kStrayByteBase + 0xFE);
  AppendUtf8(out, 0xD800);
  AppendUtf8(out, 0x110000);
  EXPECT_EQ(out, "é\xFE\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, CutsNeverSplitACharacter) {
  struct Case {
    std::string text;
    std::size_t max_chars;
    std::string expected;
  };
  const Case cases[] = {
      {"Привет", 3, "При"}, {"日本語", 2, "日本"}, {"ab", 5, "ab"},
      {"😀x", 1, "😀"},      {"a\xFF" "b", 2, "a\xFF"}, {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    const std::string cut = CutToChars(c.text, c.max_chars);
    EXPECT_EQ(cut, c.expected);
    EXPECT_EQ(Utf8Length(cut), std::min(c.max_chars, Utf8Length(c.text)));
  }
}

TEST(Utf8, MakeValidReplacesOnlyBrokenBytes) {
  EXPECT_EQ(MakeValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(MakeValidUtf8("Привет"), "Привет");
  EXPECT_EQ(MakeValidUtf8("\xE6\x97"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_TRUE(IsValidUtf8(MakeValidUtf8("\xC0\xAF\xED\xA0\x80 x")));
  EXPECT_EQ(StripUtf8Bom("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(StripUtf8Bom("abc"), "abc");
}

}  // namespace
}  // namespace trawler::text
