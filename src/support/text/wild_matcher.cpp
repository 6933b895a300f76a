#include "support/text/wild_matcher.h"

#include <cstring>

#include "support/text/case_folding.h"
#include "support/text/utf8.h"

namespace trawler::text::detail {

WildMatcher::WildMatcher(std::string_view sub, bool ignore_case) {
  starts_with_continuation_ =
      !sub.empty() && IsContinuationByte(static_cast<unsigned char>(sub.front()));
  std::size_t at = 0;
  while (at < sub.size()) {
    const Utf8Char ch = DecodeUtf8(sub, at);
    if (ch.code == '?') {
      elements_.push_back({Kind::kAny, {}, 0, 0, 0});
    } else if (!ignore_case) {
      // Exact characters are compared as bytes; join neighbours into one run.
      if (!elements_.empty() && elements_.back().kind == Kind::kBytes) {
        std::string_view& run = elements_.back().bytes;
        run = std::string_view(run.data(), run.size() + ch.length);
      } else {
        elements_.push_back({Kind::kBytes, sub.substr(at, ch.length), 0, 0, 0});
      }
    } else if (ch.code < 0x80 && CasePartner(ch.code) < 0x80) {
      elements_.push_back({Kind::kByteEither, {}, static_cast<unsigned char>(ch.code),
                           static_cast<unsigned char>(CasePartner(ch.code)), 0});
    } else {
      elements_.push_back({Kind::kChar, {}, 0, 0, ch.code});
    }
    at += ch.length;
  }
  if (elements_.empty()) return;
  const Element& first = elements_.front();
  first_needs_lead_byte_ = first.kind == Kind::kChar && first.code >= 0x80 && !IsStrayByte(first.code) &&
                           CasePartner(first.code) >= 0x80;
}

bool WildMatcher::IsCandidate(std::string_view text, std::size_t at) const {
  return starts_with_continuation_ || !IsContinuationByte(static_cast<unsigned char>(text[at]));
}

std::size_t WildMatcher::MatchAt(std::string_view text, std::size_t at) const {
  std::size_t pos = at;
  const std::size_t size = text.size();
  for (const Element& element : elements_) {
    if (pos >= size) return std::string::npos;
    switch (element.kind) {
      case Kind::kBytes:
        if (size - pos < element.bytes.size() ||
            std::memcmp(text.data() + pos, element.bytes.data(), element.bytes.size()) != 0) {
          return std::string::npos;
        }
        pos += element.bytes.size();
        break;
      case Kind::kByteEither: {
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        if (byte != element.byte && byte != element.alt) return std::string::npos;
        ++pos;
        break;
      }
      case Kind::kAny:
        pos += DecodeUtf8(text, pos).length;
        break;
      case Kind::kChar: {
        const Utf8Char ch = DecodeUtf8(text, pos);
        if (!CharsMatchIgnoringCase(element.code, ch.code)) return std::string::npos;
        pos += ch.length;
        break;
      }
    }
  }
  return pos - at;
}

WildMatcher::Found WildMatcher::FindFrom(std::string_view text, std::size_t from) const {
  if (elements_.empty()) return {};
  const std::size_t size = text.size();
  const Element& first = elements_.front();
  std::size_t at = from;
  while (at < size) {
    // Jump to the next place where the first element can match.
    if (first.kind == Kind::kBytes || first.kind == Kind::kByteEither) {
      const unsigned char a =
          first.kind == Kind::kBytes ? static_cast<unsigned char>(first.bytes.front()) : first.byte;
      const unsigned char b = first.kind == Kind::kBytes ? a : first.alt;
      if (a == b) {
        const void* hit = std::memchr(text.data() + at, a, size - at);
        if (hit == nullptr) break;
        at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
      } else {
        while (at < size && static_cast<unsigned char>(text[at]) != a &&
               static_cast<unsigned char>(text[at]) != b) {
          ++at;
        }
        if (at >= size) break;
      }
    } else if (first.kind == Kind::kChar && first_needs_lead_byte_) {
      // A non-ASCII letter whose partners are all non-ASCII can only start at a lead byte.
      while (at < size && static_cast<unsigned char>(text[at]) < 0xC2) ++at;
      if (at >= size) break;
    }
    if (IsCandidate(text, at)) {
      const std::size_t length = MatchAt(text, at);
      if (length != std::string::npos) return {at, length};
    }
    ++at;
  }
  return {};
}

}  // namespace trawler::text::detail
