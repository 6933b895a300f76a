// The wildcard and ignore-case searches run on page text with patterns from site
// descriptions: any input must give an in-range answer, never a position inside a character
// of valid text, and replacements must keep valid text valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/text/case_folding.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"

using namespace trawler::text;

namespace {

void CheckPosition(std::string_view text, TextPos position, bool valid) {
  if (position < 0 || position > static_cast<TextPos>(text.size())) std::abort();
  if (position > 0 && valid && IsContinuationByte(static_cast<unsigned char>(text[position - 1]))) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool pairs_installed = [] {
    SetCasePairs(kStartupLowerLetters, kStartupUpperLetters);
    return true;
  }();
  (void)pairs_installed;
  if (size < 2) return 0;

  // Byte 0: start position; then "sub" up to the first NUL, the rest is the text.
  const int start = static_cast<int8_t>(data[0]);
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t nul = rest.find('\0');
  if (nul == std::string_view::npos) return 0;
  const std::string_view sub = rest.substr(0, nul);
  const std::string_view text = rest.substr(nul + 1);
  const bool valid = IsValidUtf8(text) && IsValidUtf8(sub);

  const TextPos forward = PosWild(text, sub, start);
  CheckPosition(text, forward, valid);
  if (forward > 0 && forward < (start < 0 ? -start : start)) std::abort();

  const TextPos backward = PosWildBack(text, sub, start);
  CheckPosition(text, backward, valid);
  // An ignore-case search finds at least what the exact one finds (exact searches compare
  // bytes, so this holds for whole characters only).
  if (valid && PosWild(text, sub, 1) > 0 && PosWild(text, sub, -1) == 0) std::abort();

  std::string replaced(text);
  const std::size_t count = ReplaceAll(replaced, sub, "[x]", true);
  if (valid && !IsValidUtf8(replaced)) std::abort();
  if (count > 0 && PosWild(text, sub, -1) == 0) std::abort();

  CheckPosition(text, CharSetPos(text, sub, start), valid);
  std::string upper(text);
  UpperPart(upper, start, static_cast<std::size_t>(size % 5));
  if (valid && !IsValidUtf8(upper)) std::abort();
  return 0;
}
