#pragma once
// The integer conversion used wherever the program reads a number from text.

#include <string_view>

namespace trawler::text {

// The integer of `text`, or `default_value` when the text is not a whole number:
// leading blanks (space, tab, CR, LF) are skipped, then an optional "+" or "-", then either
// decimal digits, or hexadecimal digits after a leading "$", "x", "X", "0x" or "0X".
// Nothing may follow the digits (not even a blank). A value outside the 32-bit signed range
// gives the default (so "99999999999" and "$FFFFFFFF" are not numbers).
int IntOfText(std::string_view text, int default_value);

}  // namespace trawler::text
