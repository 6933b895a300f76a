#pragma once

// Cutting pack texts into lines and characters.

#include <string>
#include <string_view>
#include <vector>

namespace trawler::lang {

// The text cut into characters: each element is one UTF-8 sequence, or one
// byte where the text is not valid UTF-8.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// The lines of a text: CR, LF and CR LF end a line; a final line break does
// not start another line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace trawler::lang
