#include "support/text/word_match.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace trawler::text
