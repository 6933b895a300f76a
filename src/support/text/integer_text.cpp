#include "support/text/integer_text.h"

#include <cstdint>
#include <limits>

namespace trawler::text {

namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

int IntOfText(std::string_view text, int default_value) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' ||
                              text[at] == '\n')) {
    ++at;
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  int base = 10;
  if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
    base = 16;
    ++at;
  } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    base = 16;
    at += 2;
  }
  if (at >= text.size()) return default_value;

  // Accumulate in 64 bits and stop as soon as the value leaves the 32-bit range, so any
  // number of digits is safe.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                      : std::numeric_limits<int>::max();
  std::int64_t value = 0;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) return default_value;
    value = value * base + digit;
    if (value > limit) return default_value;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace trawler::text
