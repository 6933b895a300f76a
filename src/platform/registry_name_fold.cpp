#include "platform/registry_name_fold.h"

#include <cstdint>

namespace trawler::platform {
namespace {

// Length of the valid UTF-8 sequence at text[i] and its code point; 0 when
// the bytes there are not a valid, shortest-form sequence.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t &cp) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t b0 = byte(i);
  std::size_t len;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void EncodeUtf8(char32_t cp, std::string &out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool Even(char32_t cp) { return cp % 2 == 0; }

char32_t FoldLetter(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
  if (cp < 0xC0) return cp;
  // Latin-1: À..Þ except the multiplication sign.
  if (cp <= 0xDE) return cp == 0xD7 ? cp : cp + 0x20;
  // Latin Extended-A: upper/lower pairs, with the odd runs and two loners.
  if (cp >= 0x100 && cp <= 0x17F) {
    if (cp == 0x178) return 0xFF;  // Ÿ
    if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    const bool oddRun = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    return oddRun ? (Even(cp) ? cp : cp + 1) : (Even(cp) ? cp + 1 : cp);
  }
  // Greek.
  if (cp >= 0x391 && cp <= 0x3A9) return cp == 0x3A2 ? cp : cp + 0x20;
  if (cp == 0x386) return 0x3AC;
  if (cp >= 0x388 && cp <= 0x38A) return cp + 0x25;
  if (cp == 0x38C) return 0x3CC;
  if (cp == 0x38E || cp == 0x38F) return cp + 0x3F;
  if (cp == 0x3C2) return 0x3C3;  // final sigma
  // Cyrillic.
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
  if ((cp >= 0x460 && cp <= 0x481) || (cp >= 0x48A && cp <= 0x4BF)) return Even(cp) ? cp + 1 : cp;
  return cp;
}

}  // namespace

std::string FoldRegistryName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  std::size_t i = 0;
  while (i < name.size()) {
    char32_t cp;
    const std::size_t len = DecodeUtf8(name, i, cp);
    if (len == 0) {
      out += name[i++];
      continue;
    }
    EncodeUtf8(FoldLetter(cp), out);
    i += len;
  }
  return out;
}

}  // namespace trawler::platform
