#pragma once
// Decoding of numeric character references ("&#65;", "&#x41;"). Internal to HtmlToText.

#include <string>
#include <string_view>

namespace trawler::text::detail {

// Repeatedly replaces the first "&#" that has a ";" after it, together with the text up to
// that ";", until none is left: a number that names a character becomes that character,
// anything else is replaced by the text between "&#" and ";". Replacements can form new
// references with their neighbours ("&#38;#65;" gives "A"), exactly as the repeated
// replacement would, but the whole text is processed in linear time.
std::string DecodeNumericReferences(std::string_view text);

// The character a reference number names: U+N for a Unicode scalar value from 1 up, with
// 128..159 read as their Windows-1252 characters (as browsers do). False when N names none.
bool CharacterForReference(int number, char32_t* character);

}  // namespace trawler::text::detail
