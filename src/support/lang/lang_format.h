#pragma once

// A format of a language pack: a character conversion applied to every text
// of the pack (a transliteration, another script), chosen with the pack.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trawler::lang {

struct tALangFormat {
  std::string Name;      // what the LanguageEncoding setting stores
  std::string TableIn;   // characters to replace
  std::string TableOut;  // their replacements, character for character
  // One character to a text, in description order: (in, out).
  std::vector<std::pair<std::string, std::string>> Symbols;
};

// Each character of text becomes the table-out character at the position of
// its first occurrence in table-in; else the out text of the first symbol
// whose in equals it ignoring case; else it stays. A character whose position
// in table-in lies beyond the end of table-out stays unchanged. No format
// leaves the text as it is.
std::string ApplyFormat(std::string_view text, const tALangFormat *format);

}  // namespace trawler::lang
