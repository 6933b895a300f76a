#pragma once
// The string toolkit: searches with a one-character wildcard and the installable case table,
// replace-all and character-set operations on UTF-8 text.
//
// Positions are 1-based BYTE positions into the UTF-8 string; 0 means "not found". Results
// are always the start of a character when the searched text is valid UTF-8.
//
// Wildcard and case rules (PosWild, PosWildBack, ReplaceAll ignoring case):
//  * "?" in the searched-for text matches exactly one character of the text (one to four
//    bytes), never part of one.
//  * Ignoring case, a character matches itself, its partner in the pair table and, for
//    non-ASCII letters, any character with the same simple case folding (case_folding.h).
//    A folded partner may be encoded with a different number of bytes than the pattern
//    character (possible through installed pairs), so a match can span a different number of
//    bytes than the pattern: positions returned are always match starts, and ReplaceAll
//    replaces exactly the matched bytes.
//  * Candidate starts are never continuation bytes (unless the pattern itself begins with
//    one), so a match never starts inside a character.
// Stray bytes (invalid UTF-8) never crash any function here. Ignoring case they match only
// themselves; exact searches compare bytes, so a broken pattern may match part of a character.

#include <cstddef>
#include <string>
#include <string_view>

namespace trawler::text {

using TextPos = std::ptrdiff_t;

// First position of sub at or after start; exact bytes. 0 if text or sub is empty, start is
// below 1 or beyond the text.
TextPos PosFrom(std::string_view text, std::string_view sub, TextPos start = 1);

// Like PosFrom, but "?" in sub matches any one character; with a negative start the search
// begins at -start and case is ignored (see above).
TextPos PosWild(std::string_view text, std::string_view sub, TextPos start);

// Start of the last occurrence of sub that ends at or before byte position limit
// (0 = end of text; a limit beyond the text means the end). A negative limit ignores case
// and uses -limit. Same matching as PosWild.
TextPos PosWildBack(std::string_view text, std::string_view sub, TextPos limit = 0);

// Byte searches (ch is one byte, normally an ASCII character). A start below 1 counts
// from 1; a start beyond the text finds nothing.
TextPos CharPos(std::string_view text, char ch, TextPos start = 1);
// Last position of ch within the first limit bytes (limit 0, negative or beyond the text
// means the whole text).
TextPos CharPosBack(std::string_view text, char ch, TextPos limit = 0);
// Number of occurrences of ch from start on.
std::size_t CharCount(std::string_view text, char ch, TextPos start = 1);

// First position at or after start of any character (not byte) that occurs in set.
TextPos CharSetPos(std::string_view text, std::string_view set, TextPos start = 1);

// Replaces every occurrence of find, left to right and non-overlapping, and returns their
// number. Without ignore_case the match is exact bytes ("?" is an ordinary character); with
// it the match is that of PosWild with a negative start ("?" is a wildcard). An empty find
// changes nothing and returns 0. The result is built in one allocation.
std::size_t ReplaceAll(std::string& text, std::string_view find, std::string_view repl,
                       bool ignore_case);

// Every character that occurs in set becomes `replacement` (normally one character).
void ReplaceChars(std::string& text, std::string_view set, std::string_view replacement);

// Every byte `from` becomes `to`. Both must be ASCII; otherwise nothing changes (replacing
// single bytes of multi-byte characters would break the text).
void ReplaceChar(std::string& text, char from, char to);

// Text without leading (trailing) copies of the byte ch.
std::string TrimCharLeft(std::string_view text, char ch);
std::string TrimCharRight(std::string_view text, char ch);

// Uppercases `count` characters starting at the character that contains byte position
// start (the whole rest when count is 0 or beyond the end). A start below 1 or beyond the
// text changes nothing.
void UpperPart(std::string& text, TextPos start, std::size_t count);

// The digits "0" to "9" of the text, in order.
std::string DigitsOnly(std::string_view text);
// The first unbroken run of digits (empty if none).
std::string FirstDigitRun(std::string_view text);

// Whitespace trimming as the program uses it everywhere: every byte up to and including the
// space (control characters and the space) is removed from the ends.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimBlanksLeft(std::string_view text);
std::string_view TrimBlanksRight(std::string_view text);

}  // namespace trawler::text
