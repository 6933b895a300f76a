#include "support/lang/lang_text.h"

#include "support/text/utf8.h"

namespace trawler::lang {

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = text::DecodeUtf8(text, i).length;
    if (length == 0) length = 1;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace trawler::lang
