#pragma once
// Tests whether result text contains the query words.

#include <string_view>

namespace trawler::text {

enum class WordMatchMode { kAllWords = 0, kAnyWord = 1, kPhrase = 2 };

// Both texts are compared uppercased. Words are the pieces between spaces; empty pieces (two
// spaces in a row) are ignored. kAllWords: every word occurs and there is at least one;
// kAnyWord: some word occurs; kPhrase: the whole words text occurs. When the test fails on
// the text it is repeated once on HtmlToText of the text. A mode outside 0..2 gives false.
bool TextContainsWords(std::string_view text, std::string_view words, int mode);

}  // namespace trawler::text
