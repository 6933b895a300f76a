#include "support/text/case_folding.h"

#include <array>
#include <unordered_map>
#include <vector>

#include "support/text/utf8.h"

namespace trawler::text {

namespace {

// Simple case mapping for the scripts the program meets in result pages. Code points below
// kTableEnd are looked up in arrays; the two later blocks are regular and computed.
constexpr char32_t kTableEnd = 0x0590;

struct CaseTables {
  std::array<char16_t, kTableEnd> lower{};
  std::array<char16_t, kTableEnd> upper{};

  void Pair(char32_t up, char32_t low) {
    lower[up] = static_cast<char16_t>(low);
    upper[low] = static_cast<char16_t>(up);
  }
  // Upper at first + k, lower at first + k + offset.
  void Shifted(char32_t first, char32_t last, char32_t offset) {
    for (char32_t c = first; c <= last; ++c) Pair(c, c + offset);
  }
  // Alternating pairs starting with an uppercase letter at `first`.
  void Alternating(char32_t first, char32_t last) {
    for (char32_t c = first; c + 1 <= last; c += 2) Pair(c, c + 1);
  }

  CaseTables() {
    for (char32_t c = 0; c < kTableEnd; ++c) lower[c] = upper[c] = static_cast<char16_t>(c);
    Shifted('A', 'Z', 0x20);
    // Latin-1 Supplement (without the multiplication sign) and y with diaeresis.
    Shifted(0x00C0, 0x00D6, 0x20);
    Shifted(0x00D8, 0x00DE, 0x20);
    Pair(0x0178, 0x00FF);
    // Latin Extended-A; the dotted/dotless i and the long s map to ASCII and are left out.
    Alternating(0x0100, 0x012F);
    Alternating(0x0132, 0x0137);
    Alternating(0x0139, 0x0148);
    Alternating(0x014A, 0x0177);
    Alternating(0x0179, 0x017E);
    // The regular parts of Latin Extended-B.
    Alternating(0x01CD, 0x01DC);
    Alternating(0x01DE, 0x01EF);
    Alternating(0x01F8, 0x021F);
    Alternating(0x0222, 0x0233);
    // Greek.
    Pair(0x0386, 0x03AC);
    Shifted(0x0388, 0x038A, 0x25);
    Pair(0x038C, 0x03CC);
    Shifted(0x038E, 0x038F, 0x3F);
    Shifted(0x0391, 0x03A1, 0x20);
    Shifted(0x03A3, 0x03AB, 0x20);
    Alternating(0x03D8, 0x03EF);
    upper[0x03C2] = 0x03A3;  // final sigma
    upper[0x00B5] = 0x039C;  // micro sign
    // Cyrillic.
    Shifted(0x0400, 0x040F, 0x50);
    Shifted(0x0410, 0x042F, 0x20);
    Alternating(0x0460, 0x0481);
    Alternating(0x048A, 0x04BF);
    Pair(0x04C0, 0x04CF);
    Alternating(0x04C1, 0x04CE);
    Alternating(0x04D0, 0x052F);
    // Armenian.
    Shifted(0x0531, 0x0556, 0x30);
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

bool InLatinExtendedAdditional(char32_t c) {
  return (c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF);
}

// The installable pair table: ASCII entries in an array, anything else in a map.
struct PairTable {
  std::array<char32_t, 128> ascii{};
  std::unordered_map<char32_t, char32_t> other;

  PairTable() {
    ResetToIdentity();
    for (char32_t c = 'a'; c <= 'z'; ++c) Link(c, c - 0x20);
  }
  void ResetToIdentity() {
    for (char32_t c = 0; c < 128; ++c) ascii[c] = c;
    other.clear();
  }
  void Set(char32_t from, char32_t to) {
    if (from < 128) ascii[from] = to;
    else other[from] = to;
  }
  void Link(char32_t a, char32_t b) {
    Set(a, b);
    Set(b, a);
  }
  char32_t Partner(char32_t c) const {
    if (c < 128) return ascii[c];
    const auto found = other.find(c);
    return found == other.end() ? c : found->second;
  }
};

PairTable& Pairs() {
  static PairTable table;
  return table;
}

std::vector<char32_t> DecodeAll(std::string_view text) {
  std::vector<char32_t> codes;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    codes.push_back(ch.code);
    at += ch.length;
  }
  return codes;
}

template <typename Map>
std::string MapText(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(map(byte)));
      ++at;
      continue;
    }
    const Utf8Char ch = DecodeUtf8(text, at);
    AppendUtf8(out, map(ch.code));
    at += ch.length;
  }
  return out;
}

}  // namespace

void SetCasePairs(std::string_view lower, std::string_view upper) {
  if (lower.empty() && upper.empty()) return;
  if (!IsValidUtf8(lower) || !IsValidUtf8(upper)) return;
  const std::vector<char32_t> low = DecodeAll(lower);
  const std::vector<char32_t> up = DecodeAll(upper);
  if (low.size() != up.size()) return;
  PairTable& table = Pairs();
  table.ResetToIdentity();
  for (std::size_t i = 0; i < low.size(); ++i) table.Link(low[i], up[i]);
}

char32_t CasePartner(char32_t code) { return Pairs().Partner(code); }

bool CharsMatchIgnoringCase(char32_t pattern, char32_t candidate) {
  if (pattern == candidate) return true;
  if (CasePartner(pattern) == candidate) return true;
  if (pattern < 0x80 || candidate < 0x80 || IsStrayByte(pattern) || IsStrayByte(candidate)) {
    return false;
  }
  return FoldChar(pattern) == FoldChar(candidate);
}

char32_t LowerChar(char32_t code) {
  if (code < kTableEnd) return Tables().lower[code];
  if (InLatinExtendedAdditional(code)) return (code & 1) == 0 ? code + 1 : code;
  if (code >= 0xFF21 && code <= 0xFF3A) return code + 0x20;
  return code;
}

char32_t UpperChar(char32_t code) {
  if (code < kTableEnd) return Tables().upper[code];
  if (InLatinExtendedAdditional(code)) return (code & 1) == 1 ? code - 1 : code;
  if (code >= 0xFF41 && code <= 0xFF5A) return code - 0x20;
  return code;
}

char32_t FoldChar(char32_t code) {
  if (code == 0x03C2) return 0x03C3;
  if (code == 0x00B5) return 0x03BC;
  return LowerChar(code);
}

std::string UpperText(std::string_view text) { return MapText(text, UpperChar); }
std::string LowerText(std::string_view text) { return MapText(text, LowerChar); }
std::string FoldText(std::string_view text) { return MapText(text, FoldChar); }

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const Utf8Char ca = DecodeUtf8(a, i);
    const Utf8Char cb = DecodeUtf8(b, j);
    const char32_t fa = FoldChar(ca.code);
    const char32_t fb = FoldChar(cb.code);
    if (fa != fb) return fa < fb ? -1 : 1;
    i += ca.length;
    j += cb.length;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
  return CompareTextIgnoreCase(a, b) == 0;
}

}  // namespace trawler::text
