// Result-page fragments are hostile input: HtmlToText and its companions must never crash,
// and must keep valid UTF-8 valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"
#include "support/text/word_match.h"

using namespace trawler::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool pairs_installed = [] {
    SetCasePairs(kStartupLowerLetters, kStartupUpperLetters);
    return true;
  }();
  (void)pairs_installed;

  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool valid = IsValidUtf8(input);

  const std::string text = HtmlToText(input);
  if (valid && !IsValidUtf8(text)) std::abort();
  // The result is one trimmed line: no blank at either end.
  if (!text.empty() && (static_cast<unsigned char>(text.front()) <= ' ' ||
                        static_cast<unsigned char>(text.back()) <= ' ')) {
    std::abort();
  }

  if (XmlUnescape(XmlEscape(input)) != input) std::abort();
  // The last pass drops spaces after line breaks (it may bring two breaks together, which
  // the earlier pass has already handled): no break is left followed by a space.
  const std::string normalized = NormalizeLineBreaks(input);
  if (normalized.find("\r\n ") != std::string::npos) std::abort();

  // The first line is taken as the query words, the rest as the page.
  const std::size_t cut = input.find('\n');
  const std::string_view words = input.substr(0, cut == std::string_view::npos ? 0 : cut);
  const std::string_view page = cut == std::string_view::npos ? input : input.substr(cut + 1);
  const std::string highlighted = HighlightWords(page, words);
  if (valid && !IsValidUtf8(highlighted)) std::abort();
  TextContainsWords(page, words, static_cast<int>(size % 4));
  return 0;
}
