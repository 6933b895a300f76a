#include "support/text/case_folding.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"
#include "text_globals_guard.h"

namespace trawler::text {
namespace {

using testing::TextGlobalsGuard;

struct CasingCase {
  std::string text;
  std::string upper;
  std::string lower;
};

TEST(TextCasing, MapsLatinGreekCyrillicAndLeavesTheRest) {
  const CasingCase cases[] = {
      {"Hello", "HELLO", "hello"},
      {"привет ёжик", "ПРИВЕТ ЁЖИК", "привет ёжик"},
      {"Їжак Єва Іра Ґ", "ЇЖАК ЄВА ІРА Ґ", "їжак єва іра ґ"},
      {"ΑΒΓ σοφός", "ΑΒΓ ΣΟΦΌΣ", "αβγ σοφός"},
      {"çà ÿ ł ő", "ÇÀ Ÿ Ł Ő", "çà ÿ ł ő"},
      {"straße", "STRAßE", "straße"},     // no one-character uppercase of ß
      {"× ÷", "× ÷", "× ÷"},             // signs in the Latin-1 letter block
      {"日本語 123", "日本語 123", "日本語 123"},
      {"ıİ", "ıİ", "ıİ"},                // would map to ASCII: left alone
      {"ａｂＣ", "ＡＢＣ", "ａｂｃ"},
      {"ệ", "Ệ", "ệ"},
  };
  for (const CasingCase& c : cases) {
    EXPECT_EQ(UpperText(c.text), c.upper) << c.text;
    EXPECT_EQ(LowerText(c.text), c.lower) << c.text;
  }
}

TEST(TextCasing, KeepsBrokenBytesAndValidity) {
  EXPECT_EQ(UpperText("a\xFF" "b\xC3"), "A\xFF" "B\xC3");
  for (const std::string& text : {std::string("Привет, мир"), std::string("ΣΊΣΥΦΟΣ"), std::string("日本")}) {
    EXPECT_TRUE(IsValidUtf8(UpperText(text)));
    EXPECT_TRUE(IsValidUtf8(LowerText(text)));
    EXPECT_TRUE(IsValidUtf8(FoldText(text)));
  }
}

TEST(TextCasing, IgnoreCaseComparisonFoldsAllLetters) {
  struct Case {
    std::string a;
    std::string b;
    int order;
  };
  const Case cases[] = {
      {"Ёлка", "ёЛКА", 0},   {"σοφός", "ΣΟΦΌΣ", 0}, {"µ", "Μ", 0},  {"ABC", "abc", 0},
      {"abc", "abd", -1},    {"abd", "ABC", 1},     {"ab", "abc", -1}, {"абв", "АБ", 1},
      {"a\xFF", "A\xFF", 0}, {"a\xFE", "a\xFF", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareTextIgnoreCase(c.a, c.b), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareTextIgnoreCase(c.b, c.a), -c.order) << c.b << " vs " << c.a;
    EXPECT_EQ(SameTextIgnoreCase(c.a, c.b), c.order == 0);
  }
}

TEST(CasePairs, StartupPairsFindCyrillicAcrossCase) {
  TextGlobalsGuard guard;
  EXPECT_EQ(PosWild("пРИВЕТ", "Привет", -1), 1);
  EXPECT_EQ(PosWild("ёЖИК Її Єє Іі", "ЁжиК її єЄ іІ", -1), 1);
  EXPECT_EQ(PosWild("пРИВЕТ", "Привет", 1), 0);  // exact search still respects case
}

TEST(CasePairs, ResetToIdentityThenPairByCharacter) {
  TextGlobalsGuard guard;
  SetCasePairs("ab", "AB");
  EXPECT_EQ(PosWild("xA", "a", -1), 2);
  EXPECT_EQ(PosWild("xC", "c", -1), 0);        // c lost its partner
  EXPECT_EQ(PosWild("ПРИВЕТ", "привет", -1), 1);  // other letters still fold by Unicode

  // A pair may join an ASCII letter with a letter of another byte length.
  SetCasePairs("e", "€");
  EXPECT_EQ(PosWild("x€y", "xey", -1), 1);
  EXPECT_EQ(PosWild("xey", "x€y", -1), 1);
  std::string text = "a€b€";
  EXPECT_EQ(ReplaceAll(text, "e", "E", true), 2u);
  EXPECT_EQ(text, "aEbE");
}

TEST(CasePairs, RejectedPairListsLeaveTheTableAlone) {
  TextGlobalsGuard guard;
  const std::pair<std::string, std::string> rejected[] = {
      {"", ""}, {"ab", "A"}, {"\xFF", "A"}, {"абв", "AB"},
  };
  for (const auto& [lower, upper] : rejected) {
    SetCasePairs(lower, upper);
    EXPECT_EQ(PosWild("xC", "c", -1), 2) << lower;
    EXPECT_EQ(PosWild("xZ", "z", -1), 2) << lower;
  }
}

}  // namespace
}  // namespace trawler::text
