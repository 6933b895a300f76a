#include "support/text/word_match.h"

#include <string>
#include <vector>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"

namespace trawler::text {

namespace {

std::vector<std::string_view> SplitWords(std::string_view words) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start <= words.size()) {
    std::size_t end = words.find(' ', start);
    if (end == std::string_view::npos) end = words.size();
    // Two spaces in a row leave an empty piece; it is no word.
    if (end > start) pieces.push_back(words.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

bool Test(std::string_view upper_text, std::string_view upper_words, WordMatchMode mode) {
  if (mode == WordMatchMode::kPhrase) {
    return !upper_words.empty() && upper_text.find(upper_words) != std::string_view::npos;
  }
  const std::vector<std::string_view> pieces = SplitWords(upper_words);
  if (pieces.empty()) return false;
  for (const std::string_view word : pieces) {
    const bool found = upper_text.find(word) != std::string_view::npos;
    if (mode == WordMatchMode::kAnyWord && found) return true;
    if (mode == WordMatchMode::kAllWords && !found) return false;
  }
  return mode == WordMatchMode::kAllWords;
}

// HtmlToText returns a text unchanged when it holds no markup, references, escapes or line
// breaks and starts and ends with a visible character; testing it again would only repeat
// the first test (and a filter over many results does that for every title and address).
bool PlainAlready(std::string_view text) {
  if (text.empty()) return true;
  if (static_cast<unsigned char>(text.front()) <= ' ' || static_cast<unsigned char>(text.back()) <= ' ')
    return false;
  return text.find_first_of("<&%#\r\n\t") == std::string_view::npos;
}

}  // namespace

bool TextContainsWords(std::string_view text, std::string_view words, int mode) {
  if (mode < 0 || mode > 2) return false;
  const auto match_mode = static_cast<WordMatchMode>(mode);
  const std::string upper_words = UpperText(words);
  if (Test(UpperText(text), upper_words, match_mode)) return true;
  if (PlainAlready(text)) return false;
  return Test(UpperText(HtmlToText(text)), upper_words, match_mode);
}

}  // namespace trawler::text
