#pragma once
// Tests whether result text contains the query words.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trawler::text {

enum class WordMatchMode { kAllWords = 0, kAnyWord = 1, kPhrase = 2 };

// Both texts are compared uppercased. Words are the pieces between spaces; empty pieces (two
// spaces in a row) are ignored. kAllWords: every word occurs and there is at least one;
// kAnyWord: some word occurs; kPhrase: the whole words text occurs. When the test fails on
// the text it is repeated once on HtmlToText of the text. A mode outside 0..2 gives false.
bool TextContainsWords(std::string_view text, std::string_view words, int mode);

// The same test prepared once for many texts (a filter over a whole result list): the words
// are uppercased and split when the matcher is made, not for every text.
class WordMatcher {
 public:
  WordMatcher(std::string_view words, int mode);

  // TextContainsWords(text, words, mode) for the words and mode given at construction.
  bool Matches(std::string_view text) const;

 private:
  bool Test(std::string_view upper_text) const;
  // Whether the plain-text retry could find a word the text itself lacks.
  bool PlainTextCouldAddMatches(std::string_view text, const std::string& upper_text) const;

  int FMode;
  std::string FUpperWords;
  // Offset and length of each word in FUpperWords (offsets survive copies of the matcher).
  std::vector<std::pair<std::size_t, std::size_t>> FPieces;
  // No searched-for text holds a character that HtmlToText can bring into the text or set
  // next to other characters (see PlainTextCouldAddMatches).
  bool FWordsSurviveOnlyAsWritten = false;
};

}  // namespace trawler::text
