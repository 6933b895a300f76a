#pragma once

// First pass of the forgiving XML reader: the whole text becomes a list of
// tokens, each a three-character kind marker followed by the token text.

#include <string>
#include <string_view>
#include <vector>

namespace trawler::xml {

inline constexpr std::string_view kTextMarker = "TX:";        // text between tags
inline constexpr std::string_view kCDataMarker = "CD:";       // content of a CDATA section
inline constexpr std::string_view kOpenTagMarker = "OT:";     // text between "<" and ">"
inline constexpr std::string_view kCloseTagMarker = "CT:";    // text after "</" up to ">"
inline constexpr std::string_view kEmptyTagMarker = "ET:";    // "<x/>" without the slash

// Tokenizes a file's text. CR, LF and CR LF each end a line. Text and tag
// texts are trimmed, with every line break and tab made one space; CDATA
// content keeps its blanks, with line breaks written «\n » and tabs «\t ».
// Markup is never validated: a "<" without ">" is dropped, a CDATA section
// without "]]>" takes the rest of the text (its last line included).
std::vector<std::string> Tokenize(std::string_view text);

}  // namespace trawler::xml
