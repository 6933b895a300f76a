#include "support/text/code_pages.h"

#include <array>
#include <unordered_map>

#include "support/text/utf8.h"

namespace trawler::text {

namespace {

// Latin spelling of every Cyrillic letter of Windows-1251, by letter.
const std::unordered_map<char32_t, std::string_view>& LatinSpellings() {
  static const std::unordered_map<char32_t, std::string_view> spellings = [] {
    static constexpr std::array<std::string_view, 32> kCapitals = {
        "A", "B", "V", "G",  "D",  "E",    "ZH", "Z", "I",  "J",  "K",  "L", "M", "N",  "O",  "P",
        "R", "S", "T", "U",  "F",  "X",    "C",  "Ch", "Sh", "Shch", "~", "Y", "'", "E'", "Ju", "Ja"};
    static constexpr std::array<std::string_view, 32> kSmall = {
        "a", "b", "v", "g",  "d",  "e",    "zh", "z", "i",  "j",  "k",  "l", "m", "n",  "o",  "p",
        "r", "s", "t", "u",  "f",  "x",    "c",  "ch", "sh", "shch", "~", "y", "'", "e'", "ju", "ja"};
    std::unordered_map<char32_t, std::string_view> map;
    for (char32_t i = 0; i < 32; ++i) {
      map.emplace(0x0410 + i, kCapitals[i]);  // А..Я
      map.emplace(0x0430 + i, kSmall[i]);     // а..я
    }
    map.emplace(0x0401, "Yo");  // Ё
    map.emplace(0x0451, "yo");  // ё
    map.emplace(0x0404, "E");   // Є
    map.emplace(0x0454, "e");   // є
    map.emplace(0x0407, "Yi");  // Ї
    map.emplace(0x0457, "yi");  // ї
    return map;
  }();
  return spellings;
}

}  // namespace

std::string Transliterate(std::string_view text) {
  const auto& spellings = LatinSpellings();
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    const auto found = ch.code >= 0x80 ? spellings.find(ch.code) : spellings.end();
    if (found != spellings.end()) out.append(found->second);
    else out.append(text.substr(at, ch.length));
    at += ch.length;
  }
  return out;
}

}  // namespace trawler::text
