#include "support/text/utf8.h"

namespace trawler::text {

Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
  if (at >= text.size()) return {0, 0};
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  const Utf8Char stray{kStrayByteBase + lead, 1};

  std::size_t length;
  char32_t code;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return stray;
  }
  if (text.size() - at < length) return stray;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if (!IsContinuationByte(next)) return stray;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return stray;
  return {code, length};
}

bool IsValidUtf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    // Plain ASCII runs are the common case.
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const Utf8Char ch = DecodeUtf8(text, at);
    if (IsStrayByte(ch.code)) return false;
    at += ch.length;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (IsStrayByte(code)) {
    out.push_back(static_cast<char>(code - kStrayByteBase));
    return;
  }
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacementCharacter;
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::string EncodeUtf8(char32_t code) {
  std::string out;
  AppendUtf8(out, code);
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += DecodeUtf8(text, at).length) ++count;
  return count;
}

std::size_t Utf8PrefixBytes(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  while (count > 0 && at < text.size()) {
    at += DecodeUtf8(text, at).length;
    --count;
  }
  return at;
}

std::string CutToChars(std::string_view text, std::size_t max_chars) {
  return std::string(text.substr(0, Utf8PrefixBytes(text, max_chars)));
}

std::string MakeValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const Utf8Char ch = DecodeUtf8(text, at);
    if (IsStrayByte(ch.code)) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      out.append(text.substr(at, ch.length));
    }
    at += ch.length;
  }
  return out;
}

std::string_view StripUtf8Bom(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text;
}

}  // namespace trawler::text
