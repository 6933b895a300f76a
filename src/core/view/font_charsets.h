// The Font charset entries of the web-view menu. Each names one of the
// classic font character sets; on this platform it selects the nearest
// writing system, so the preview takes a font that has those letters.
#pragma once

#include <span>
#include <string_view>

namespace trawler::core::view {

enum class tScript { Any, Latin, Arabic, Chinese, Cyrillic, Greek, Hebrew, Symbol, Thai };

struct FontCharset {
  int Tag;                   // the entry's number, 0 to 13
  std::string_view Caption;  // the entry's text
  int PlatformNumber;        // the classic character set number
  tScript Script;            // the nearest writing system here
};

// In menu order, Tag 0 to 13.
std::span<const FontCharset> FontCharsets();

// The entry of a tag; the Default entry for a tag out of range.
const FontCharset& FontCharsetOfTag(int tag);

// The entries the program starts with: Cyrillic(1251) for a Cyrillic
// language pack or locale, else Ansi.
inline constexpr int kAnsiCharsetTag = 1;
inline constexpr int kCyrillicCharsetTag = 7;

}  // namespace trawler::core::view
