#include "support/text/word_match.h"

#include <array>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"

namespace trawler::text {

namespace {

// What one scan of a text tells about the characters HtmlToText works on.
struct TextTraits {
  bool markup = false;             // "<", "&", "%", "#", CR, LF or tab
  bool percent_or_hash = false;    // "%" or "#"
  bool line_break_or_tab = false;  // CR, LF or tab
  bool non_ascii = false;          // a byte above 0x7F
};

enum : unsigned char { kMarkup = 1, kPercentOrHash = 2, kLineBreakOrTab = 4, kNonAscii = 8 };

constexpr std::array<unsigned char, 256> kTraitOfByte = [] {
  std::array<unsigned char, 256> table{};
  for (int b = 0x80; b < 256; ++b) table[b] = kNonAscii;
  table['<'] = table['&'] = kMarkup;
  table['%'] = table['#'] = kMarkup | kPercentOrHash;
  table['\r'] = table['\n'] = table['\t'] = kMarkup | kLineBreakOrTab;
  return table;
}();

TextTraits ScanTraits(std::string_view text) {
  unsigned char seen = 0;
  for (const char c : text) seen |= kTraitOfByte[static_cast<unsigned char>(c)];
  return TextTraits{(seen & kMarkup) != 0, (seen & kPercentOrHash) != 0,
                    (seen & kLineBreakOrTab) != 0, (seen & kNonAscii) != 0};
}

// HtmlToText returns a text unchanged when it holds no markup, references, escapes or line
// breaks and starts and ends with a visible character; testing it again would only repeat
// the first test (and a filter over many results does that for every title and address).
bool PlainAlready(std::string_view text, const TextTraits& traits) {
  if (text.empty()) return true;
  if (static_cast<unsigned char>(text.front()) <= ' ' || static_cast<unsigned char>(text.back()) <= ' ')
    return false;
  return !traits.markup;
}

// Without "%" and "#" in a text (no percent codes, no numeric references, no "#$A"),
// HtmlToText changes it only by replacing entities and tags with separators (a space, a
// quote, "<", ">", "&", "©" or "·"), trimming blanks next to tags and at the ends, removing
// line breaks and tabs, and reshaping the line breaks that are left. The characters it keeps
// stay in order, and two of them stand side by side in the plain text only when nothing or
// only removed line breaks and tabs stood between them before. So a valid UTF-8 word without
// separators and control characters that the plain text holds is held by the text with its
// line breaks and tabs removed as well.
bool CannotBeCompletedByHtmlToText(std::string_view upper_word) {
  if (!IsValidUtf8(upper_word)) return false;
  for (const char c : upper_word)
    if (static_cast<unsigned char>(c) <= ' ') return false;
  if (upper_word.find_first_of("\"<>&") != std::string_view::npos) return false;
  return upper_word.find("©") == std::string_view::npos &&
         upper_word.find("·") == std::string_view::npos;
}

}  // namespace

WordMatcher::WordMatcher(std::string_view words, int mode)
    : FMode(mode), FUpperWords(mode >= 0 && mode <= 2 ? UpperText(words) : std::string()) {
  if (FMode < 0 || FMode > 2) return;
  const std::string_view upper = FUpperWords;
  if (static_cast<WordMatchMode>(FMode) == WordMatchMode::kPhrase) {
    FWordsSurviveOnlyAsWritten = CannotBeCompletedByHtmlToText(upper);
    return;
  }
  FWordsSurviveOnlyAsWritten = true;
  std::size_t start = 0;
  while (start <= upper.size()) {
    std::size_t end = upper.find(' ', start);
    if (end == std::string_view::npos) end = upper.size();
    // Two spaces in a row leave an empty piece; it is no word.
    if (end > start) {
      FPieces.emplace_back(start, end - start);
      if (!CannotBeCompletedByHtmlToText(upper.substr(start, end - start)))
        FWordsSurviveOnlyAsWritten = false;
    }
    start = end + 1;
  }
}

bool WordMatcher::Test(std::string_view upper_text) const {
  const std::string_view upper_words = FUpperWords;
  const auto mode = static_cast<WordMatchMode>(FMode);
  if (mode == WordMatchMode::kPhrase) {
    return !upper_words.empty() && upper_text.find(upper_words) != std::string_view::npos;
  }
  if (FPieces.empty()) return false;
  for (const auto& [offset, length] : FPieces) {
    const bool found = upper_text.find(upper_words.substr(offset, length)) != std::string_view::npos;
    if (mode == WordMatchMode::kAnyWord && found) return true;
    if (mode == WordMatchMode::kAllWords && !found) return false;
  }
  return mode == WordMatchMode::kAllWords;
}

bool WordMatcher::PlainTextCouldAddMatches(std::string_view text,
                                           const std::string& upper_text) const {
  const TextTraits traits = ScanTraits(text);
  if (PlainAlready(text, traits)) return false;
  if (!FWordsSurviveOnlyAsWritten || traits.percent_or_hash) return true;
  // The test already failed on the text itself.
  if (!traits.line_break_or_tab) return false;
  // An ASCII text is uppercased byte by byte, so removing its line breaks before or after
  // uppercasing gives the same text.
  return Test(traits.non_ascii ? UpperText(RemoveLineBreaksAndTabs(text))
                               : RemoveLineBreaksAndTabs(upper_text));
}

bool WordMatcher::Matches(std::string_view text) const {
  if (FMode < 0 || FMode > 2) return false;
  const std::string upper_text = UpperText(text);
  if (Test(upper_text)) return true;
  // Every word the plain text holds is held by the text in a cheaper form (see
  // CannotBeCompletedByHtmlToText); the costly retry runs only when that form passes.
  if (!PlainTextCouldAddMatches(text, upper_text)) return false;
  return Test(UpperText(HtmlToText(text)));
}

bool TextContainsWords(std::string_view text, std::string_view words, int mode) {
  return WordMatcher(words, mode).Matches(text);
}

}  // namespace trawler::text
