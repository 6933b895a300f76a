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

// Joins the lines of `text` with CR LF after each line, as the reader sees a
// file: CR, LF and CR LF all end a line, and a last line without a line
// break gets one.
std::string JoinLines(std::string_view text);

// Tokenizes text whose lines are already joined by JoinLines. Markup is never
// validated: a "<" without ">" is dropped, a CDATA section without "]]>"
// takes the rest of the text.
std::vector<std::string> Tokenize(std::string_view joined);

}  // namespace trawler::xml
