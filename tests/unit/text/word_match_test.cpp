#include "support/text/word_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"
#include "text_globals_guard.h"

namespace trawler::text {
namespace {

TEST(TextContainsWords, ModesCaseAndHtmlFallback) {
  testing::TextGlobalsGuard guard;
  struct Case {
    std::string text;
    std::string words;
    int mode;
    bool expected;
  };
  const Case cases[] = {
      {"Hello World", "hello world", 0, true},
      {"Hello", "hello world", 0, false},
      {"Hello", "hello world", 1, true},
      {"Nothing", "hello world", 1, false},
      {"Hello World", "world hello", 2, false},
      {"Hello World", "o w", 2, true},
      {"ПРИВЕТ мир", "привет", 0, true},
      {"Ελληνικά", "ΕΛΛΗΝΙΚΆ", 2, true},
      // Empty pieces from doubled spaces are not words. (Counting them as words that never
      // occur made every text fail in mode 0.)
      {"a b", "a  b", 0, true},
      {"b", "  b  ", 1, true},
      {"abc", "", 0, false},
      {"abc", "   ", 1, false},
      {"abc", "", 2, false},
      // Entities and tags: the test is repeated on the plain text.
      {"Hello&nbsp;World", "hello world", 2, true},
      {"<b>Hel</b>lo", "hel lo", 2, true},
      // Unknown modes.
      {"abc", "abc", 3, false},
      {"abc", "abc", -1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextContainsWords(c.text, c.words, c.mode), c.expected)
        << c.text << " / " << c.words << " / mode " << c.mode;
  }
}

// The retry on the plain text is skipped when it cannot find more than the text holds; these
// are the ways HtmlToText can bring a word together, each of which must still be found.
TEST(TextContainsWords, FindsWordsThatOnlyThePlainTextHolds) {
  testing::TextGlobalsGuard guard;
  struct Case {
    std::string text;
    std::string words;
    int mode;
  };
  const Case cases[] = {
      {"HAD\r\nDOCK <b>x</b>", "haddock", 0},    // line break removed
      {"HAD\tDOCK", "haddock", 1},               // tab removed
      {"HAD&#68;OCK", "haddock", 0},            // numeric reference
      {"HAD&amp;#68;OCK", "haddock", 2},        // reference formed by a replacement
      {"HAD%2DDOCK", "had-dock", 0},            // percent code
      {"HAD#$ADOCK", "haddock", 0},             // "#$A" removed
      {"fish&nbsp;\r\npie", "fish pie", 2},     // phrase across a replaced entity
      {"a&lt;b", "a<b", 0},                     // separator made by an entity
      {"&copy; 2001", "©", 1},
      {"x\r\r  y", "x\r\ny", 2},                // CR CR becomes CR LF, spaces dropped
      {"\xD0\n\xB7", "З", 0},                    // a character joined across a line break
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(TextContainsWords(c.text, c.words, c.mode)) << c.text << " / " << c.words;
  }
}

// The definition: both texts uppercased, the words split at spaces, tested on the text and,
// failing that, on its plain text.
bool ContainsWordsByDefinition(std::string_view text, std::string_view words, int mode) {
  auto test = [&](const std::string& upper_text) {
    const std::string upper_words = UpperText(words);
    if (mode == 2) return !upper_words.empty() && upper_text.find(upper_words) != std::string::npos;
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= upper_words.size()) {
      std::size_t end = upper_words.find(' ', start);
      if (end == std::string::npos) end = upper_words.size();
      if (end > start) pieces.push_back(upper_words.substr(start, end - start));
      start = end + 1;
    }
    if (pieces.empty()) return false;
    for (const std::string& piece : pieces) {
      const bool found = upper_text.find(piece) != std::string::npos;
      if (mode == 1 && found) return true;
      if (mode == 0 && !found) return false;
    }
    return mode == 0;
  };
  return test(UpperText(text)) || test(UpperText(HtmlToText(text)));
}

// Random texts made of the pieces HtmlToText works on, against the definition.
TEST(TextContainsWords, AgreesWithTheDefinitionOnMarkupMixtures) {
  testing::TextGlobalsGuard guard;
  const std::vector<std::string> pieces = {
      "had", "DOCK", "d", "o", " ", "  ", "\r\n", "\n", "\r", "\t", "&amp;", "&lt;", "&gt;",
      "&nbsp;", "&quot;", "&copy;", "&middot;", "&#68;", "&#x44;", "&#", ";", "%2D", "%20",
      "%2520", "#$A", "#", "%", "<b>", "</b>", "<br>", "<", ">", "\"", "&", "©", "·", "з",
      "\xD0", "\xB7", "\xC2", "\xA9", "щ", "Щ", "-"};
  const std::vector<std::string> words = {
      "haddock", "had dock", "dock", "had-dock", "d<b", "d&d", "h\"d", "з", "©", "·d",
      "dd", "d d", "hadd", "ЗЩ", "d\r\nd", "\xD0\xB7", "a  b", ""};
  std::mt19937 random(5);
  for (int round = 0; round < 1500; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    for (const std::string& w : words) {
      for (int mode = 0; mode <= 2; ++mode) {
        ASSERT_EQ(TextContainsWords(text, w, mode), ContainsWordsByDefinition(text, w, mode))
            << "text «" << text << "» words «" << w << "» mode " << mode;
      }
    }
  }
}

TEST(WordMatcher, AnswersLikeTextContainsWordsForEveryText) {
  testing::TextGlobalsGuard guard;
  const WordMatcher matcher("fish PIE", 0);
  for (const char* text : {"Fish and pie", "fish", "<i>pie</i> fish", "FI\r\nSH PIE", ""}) {
    EXPECT_EQ(matcher.Matches(text), TextContainsWords(text, "fish PIE", 0)) << text;
  }
  EXPECT_FALSE(WordMatcher("abc", 5).Matches("abc"));
}

}  // namespace
}  // namespace trawler::text
