#include "support/text/string_toolkit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/text/case_folding.h"
#include "support/text/file_name_chars.h"
#include "support/text/utf8.h"
#include "text_globals_guard.h"

namespace trawler::text {
namespace {

using testing::TextGlobalsGuard;

struct SearchCase {
  std::string text;
  std::string sub;
  TextPos start;
  TextPos expected;
};

TEST(PosFrom, FindsExactBytesFromStart) {
  const SearchCase cases[] = {
      {"abcabc", "bc", 1, 2}, {"abcabc", "bc", 3, 5}, {"abcabc", "bc", 6, 0},
      {"abc", "c", 3, 3},     {"abc", "c", 4, 0},     {"abc", "a", 0, 0},
      {"abc", "a", -1, 0},    {"abc", "", 1, 0},      {"", "a", 1, 0},
      {"a?c", "?", 1, 2},     {"ABC", "b", 1, 0},     {"Привет", "ив", 1, 5},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(PosFrom(c.text, c.sub, c.start), c.expected) << c.text << " / " << c.sub << " @" << c.start;
  }
}

TEST(PosWild, WildcardMatchesOneCharacterAndNegativeStartIgnoresCase) {
  TextGlobalsGuard guard;
  const SearchCase cases[] = {
      {"xabcx", "a?c", 1, 2},
      {"xAbC", "a?c", 1, 0},
      {"xAbC", "a?c", -1, 2},
      {"aXc aYc", "a?c", -2, 5},   // the search begins at 2
      {"Привет", "П?ивет", 1, 1},   // "?" takes the two bytes of р
      {"日本語", "?語", 1, 4},       // "?" takes the three bytes of 本
      {"日本語", "??", 1, 1},
      {"日本語", "??", 2, 4},        // never starts inside 日
      {"日本語", "????", 1, 0},
      {"ab", "abc", 1, 0},
      {"ПРИВЕТ мир", "привет", -1, 1},
      {"abc ПрИвЕт", "привет", -1, 5},
      {"ΣΟΦΌΣ", "σοφός", -1, 1},     // final sigma and accented omicron
      {"ÉCOLE", "école", -1, 1},
      {"STRASSE", "straße", -1, 0},  // no multi-character folding
      {"Kelvin", "\u212Aelvin", -1, 0},  // the Kelvin sign is not ASCII K
      {"a\xFF\xFE" "b", "\xFE", 1, 3},
      {"a\xFF" "b", "a?b", -1, 1},   // "?" takes a stray byte as one character
      {"\xFF", "\xFF", -1, 1},
      {"abc", "", 1, 0},
      {"abc", "a", 0, 0},
      {"abc", "c", 4, 0},
      {"abc", "c", -4, 0},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(PosWild(c.text, c.sub, c.start), c.expected) << c.text << " / " << c.sub << " @" << c.start;
  }
}

// Character-by-character search by the published rule, for comparison with the fast one.
TextPos NaivePosWild(std::string_view text, std::string_view sub, TextPos start) {
  const bool ignore_case = start < 0;
  const std::size_t from = static_cast<std::size_t>(ignore_case ? -start : start) - 1;
  std::vector<char32_t> pattern;
  for (std::size_t at = 0; at < sub.size(); at += DecodeUtf8(sub, at).length) {
    pattern.push_back(DecodeUtf8(sub, at).code);
  }
  for (std::size_t begin = from; begin < text.size(); ++begin) {
    if (IsContinuationByte(static_cast<unsigned char>(text[begin]))) continue;
    std::size_t at = begin;
    bool matched = true;
    for (const char32_t wanted : pattern) {
      const Utf8Char ch = DecodeUtf8(text, at);
      const bool same = ch.length > 0 && (wanted == U'?' || wanted == ch.code ||
                                          (ignore_case && CharsMatchIgnoringCase(wanted, ch.code)));
      if (!same) {
        matched = false;
        break;
      }
      at += ch.length;
    }
    if (matched) return static_cast<TextPos>(begin) + 1;
  }
  return 0;
}

TEST(PosWild, AgreesWithACharacterByCharacterSearch) {
  TextGlobalsGuard guard;
  const std::vector<std::string> pieces = {"a", "A", "b", "?", "п", "П", "ё", "Ё", "σ", "ς", "Σ",
                                           "µ", "μ", "日", "\xFF", " ", "\xD0"};
  std::mt19937 random(4242);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  auto make = [&](int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += pieces[pick(random)];
    return out;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = make(static_cast<int>(random() % 12));
    const std::string sub = make(1 + static_cast<int>(random() % 3));
    const TextPos start = (round % 2 == 0 ? 1 : -1) * (1 + static_cast<TextPos>(random() % 3));
    // Exact searches compare bytes, so a broken pattern may match the first byte of a
    // character; the character-by-character rule applies to valid patterns.
    if (start > 0 && !IsValidUtf8(sub)) continue;
    ASSERT_EQ(PosWild(text, sub, start), NaivePosWild(text, sub, start))
        << "text [" << text << "] sub [" << sub << "] start " << start;
  }
}

TEST(PosWildBack, FindsTheLastOccurrenceEndingWithinTheLimit) {
  TextGlobalsGuard guard;
  const SearchCase cases[] = {
      {"abcabc", "bc", 0, 5},
      {"abcabc", "bc", 6, 5},
      {"abcabc", "bc", 5, 2},   // "bc" at 5 ends at 6, beyond the limit
      {"abcabc", "bc", 3, 2},
      {"abcabc", "bc", 2, 0},
      {"abcabc", "bc", 99, 5},
      {"abcABC", "bc", 0, 2},
      {"abcABC", "bc", -6, 5},
      {"abcABC", "b?", -6, 5},
      {"abc", "x", 0, 0},
      {"日本日本", "日", 0, 7},
      {"日本日本", "?", 0, 10},
      {"日本日本", "?", 11, 7},   // the last 本 ends at 12: the wildcard takes 日 instead
      {"пРИВЕТ привет", "ПРИВЕТ", -13, 1},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(PosWildBack(c.text, c.sub, c.start), c.expected) << c.text << " / " << c.sub << " @" << c.start;
  }
}

TEST(CharSearches, PositionsCountsAndSets) {
  EXPECT_EQ(CharPos("a,b,c", ',', 1), 2);
  EXPECT_EQ(CharPos("a,b,c", ',', 3), 4);
  EXPECT_EQ(CharPos("a,b,c", ',', 5), 0);
  EXPECT_EQ(CharPos("a,b,c", ',', 0), 2);
  EXPECT_EQ(CharPos("", ',', 1), 0);
  EXPECT_EQ(CharPosBack("a,b,c", ',', 0), 4);
  EXPECT_EQ(CharPosBack("a,b,c", ',', 3), 2);
  EXPECT_EQ(CharPosBack("a,b,c", ',', 1), 0);
  EXPECT_EQ(CharPosBack("a,b,c", ',', 50), 4);
  EXPECT_EQ(CharCount("a,b,c", ',', 1), 2u);
  EXPECT_EQ(CharCount("a,b,c", ',', 3), 1u);
  EXPECT_EQ(CharCount("a,b,c", ',', 9), 0u);
  EXPECT_EQ(CharSetPos("hello, world", "ow", 1), 5);
  EXPECT_EQ(CharSetPos("hello, world", "ow", 6), 8);
  EXPECT_EQ(CharSetPos("Привет, мир", "ми", 1), 5);   // и at byte 5
  EXPECT_EQ(CharSetPos("Привет", "\xD0", 1), 0);      // a set byte is not half a character
  EXPECT_EQ(CharSetPos("abc", "", 1), 0);
}

struct ReplaceCase {
  std::string text;
  std::string find;
  std::string repl;
  bool ignore_case;
  std::string expected;
  std::size_t count;
};

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
  TextGlobalsGuard guard;
  const ReplaceCase cases[] = {
      {"aaa", "a", "b", false, "bbb", 3},
      {"abcAXC", "a?c", "-", true, "--", 2},     // "?" is a wildcard when case is ignored
      {"abc", "a?c", "-", false, "abc", 0},      // and an ordinary character otherwise
      {"a?c", "a?c", "-", false, "-", 1},
      {"aaaa", "aa", "b", false, "bb", 2},
      {"aaa", "aa", "b", false, "ba", 1},
      {"abab", "", "x", false, "abab", 0},
      {"", "a", "x", false, "", 0},
      {"aaa", "a", "aa", false, "aaaaaa", 3},
      {"x", "x", "", false, "", 1},
      {"Привет ПРИВЕТ", "привет", "hi", true, "hi hi", 2},
      {"日本 日本", "日?", "X", true, "X X", 2},
      {"µ and μ", "Μ", "mu", true, "mu and mu", 2},
      {"a\xFF" "b\xFF", "\xFF", "?", false, "a?b?", 2},
  };
  for (const ReplaceCase& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ReplaceAll(text, c.find, c.repl, c.ignore_case), c.count) << c.text << " / " << c.find;
    EXPECT_EQ(text, c.expected) << c.text << " / " << c.find;
  }
}

TEST(ReplaceAll, WildcardReplacementKeepsValidUtf8Valid) {
  TextGlobalsGuard guard;
  const std::string inputs[] = {"日本語テキスト", "Привет, мир!", "a😀b😀c", "ÀÉÎÕÜ"};
  for (const std::string& input : inputs) {
    for (const std::string find : {"?", "??", "?b", "?и?"}) {
      std::string text = input;
      ReplaceAll(text, find, "*", true);
      EXPECT_TRUE(IsValidUtf8(text)) << input << " / " << find;
    }
  }
}

TEST(CharReplacement, SetsSingleCharactersAndFileNames) {
  std::string text = "Привет";
  ReplaceChars(text, "ие", "*");
  EXPECT_EQ(text, "Пр*в*т");

  text = "a.b.c";
  ReplaceChar(text, '.', '/');
  EXPECT_EQ(text, "a/b/c");
  text = "é";
  ReplaceChar(text, '\xC3', 'x');  // would break the character: refused
  EXPECT_EQ(text, "é");

  EXPECT_EQ(FileNameFromText("a/b\\c:d*e?f\"g<h>i|j Пример"), "a_b_c_d_e_f_g_h_i_j Пример");
  EXPECT_EQ(LogNameFromText("what? a/b"), "what? a_b");
}

TEST(TrimAndCase, TrimCharsAndUpperPart) {
  EXPECT_EQ(TrimCharLeft("xxaxx", 'x'), "axx");
  EXPECT_EQ(TrimCharRight("xxaxx", 'x'), "xxa");
  EXPECT_EQ(TrimCharLeft("xxx", 'x'), "");
  EXPECT_EQ(TrimCharRight("", 'x'), "");
  EXPECT_EQ(TrimBlanks(" \t\r\na b\x01 "), "a b");

  struct Case {
    std::string text;
    TextPos start;
    std::size_t count;
    std::string expected;
  };
  const Case cases[] = {
      {"hello world", 7, 0, "hello WORLD"}, {"hello", 1, 2, "HEllo"},
      {"abc", 2, 10, "aBC"},                {"abc", 0, 1, "abc"},
      {"abc", 4, 1, "abc"},                 {"привет", 3, 2, "пРИвет"},
      {"привет", 4, 1, "пРивет"},           // byte 4 lies inside р
      {"日本", 2, 1, "日本"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    UpperPart(text, c.start, c.count);
    EXPECT_EQ(text, c.expected) << c.text << " @" << c.start;
  }
}

TEST(Digits, OnlyDigitsAndFirstRun) {
  EXPECT_EQ(DigitsOnly("a1b2c3"), "123");
  EXPECT_EQ(DigitsOnly("١٢٣"), "");
  EXPECT_EQ(FirstDigitRun("about 1,234 results"), "1");
  EXPECT_EQ(FirstDigitRun("ab 12 34"), "12");
  EXPECT_EQ(FirstDigitRun("page 7"), "7");
  EXPECT_EQ(FirstDigitRun("none"), "");
}

}  // namespace
}  // namespace trawler::text
