#pragma once
// Small UTF-8 helpers shared by the text toolkit.
//
// Every std::string in the program holds UTF-8. Text from outside may still be broken, so the
// decoder never fails: a byte that does not start a well-formed sequence decodes as one
// "stray byte" code point in U+DC80..U+DCFF (the byte value plus 0xDC00). Such code points are
// never produced from well-formed UTF-8 (surrogates are not encodable), so stray bytes compare
// equal only to the same stray byte, and AppendUtf8 writes them back as the original byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace trawler::text {

struct Utf8Char {
  char32_t code = 0;        // the code point, or 0xDC00 + byte for a stray byte
  std::size_t length = 0;   // bytes consumed, at least 1 unless the input was empty
};

inline constexpr char32_t kStrayByteBase = 0xDC00;
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// True for a code point produced by DecodeUtf8 from a byte that is not well-formed UTF-8.
constexpr bool IsStrayByte(char32_t code) { return code >= 0xDC80 && code <= 0xDCFF; }

// True when every byte belongs to a well-formed UTF-8 sequence (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Decodes the character that starts at byte index `at` (0-based). At or past the end it
// returns {0, 0}.
Utf8Char DecodeUtf8(std::string_view text, std::size_t at);

// Appends the encoding of `code`; a stray-byte code point appends its original byte, and a
// value that is not a code point (a lone surrogate, above U+10FFFF) appends U+FFFD.
void AppendUtf8(std::string& out, char32_t code);
std::string EncodeUtf8(char32_t code);

// Number of characters (stray bytes count one each).
std::size_t Utf8Length(std::string_view text);

// Byte length of the first `count` characters of text (the whole text when it is shorter).
std::size_t Utf8PrefixBytes(std::string_view text, std::size_t count);

// The first `max_chars` characters of text; never splits a character.
std::string CutToChars(std::string_view text, std::size_t max_chars);

// Text with every stray byte replaced by U+FFFD: the result is always valid UTF-8.
std::string MakeValidUtf8(std::string_view text);

// Text without a leading UTF-8 byte order mark.
std::string_view StripUtf8Bom(std::string_view text);

// True for a byte that can only continue a multi-byte sequence (10xxxxxx).
constexpr bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace trawler::text
