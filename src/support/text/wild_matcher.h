#pragma once
// The matcher behind PosWild, PosWildBack and ReplaceAll: a searched-for text compiled once
// into elements, then tried at candidate positions. Internal to the text toolkit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::text::detail {

class WildMatcher {
 public:
  // `sub` must not be empty. "?" is always a wildcard for one character; ignore_case
  // applies the pair table and simple case folding.
  WildMatcher(std::string_view sub, bool ignore_case);

  // Byte length of the match that starts at byte index `at`, or npos.
  std::size_t MatchAt(std::string_view text, std::size_t at) const;

  // First match starting at or after byte index `from`: {start, length}, start npos if none.
  struct Found {
    std::size_t start = std::string::npos;
    std::size_t length = 0;
  };
  Found FindFrom(std::string_view text, std::size_t from) const;

  // True when a match may start at byte index `at` (not inside a character).
  bool IsCandidate(std::string_view text, std::size_t at) const;

 private:
  enum class Kind { kAny, kBytes, kByteEither, kChar };
  struct Element {
    Kind kind;
    std::string_view bytes;   // kBytes: literal run of sub
    unsigned char byte = 0;   // kByteEither: the byte and its partner
    unsigned char alt = 0;
    char32_t code = 0;        // kChar: compared by CharsMatchIgnoringCase
  };
  std::vector<Element> elements_;
  bool starts_with_continuation_ = false;
  bool first_needs_lead_byte_ = false;  // the first element cannot match an ASCII byte
};

}  // namespace trawler::text::detail
