#pragma once

// Pack files are UTF-8. Older packs were written in the single-byte or CJK
// code page of their language; such a file (one that is not valid UTF-8) is
// decoded from the code page that the pack's character set names, else from
// the legacy code page.

#include <string>
#include <string_view>

namespace trawler::lang {

// The Windows code page of a font character-set number (204 -> 1251,
// 238 -> 1250, 128 -> 932 ...); 0 for numbers that name no particular code
// page (ANSI, default, symbol, OEM and unknown sets).
int CodePageOfCharset(int charset);

// Converts a text of the given Windows code page to UTF-8. Bytes the code
// page does not define become U+FFFD; an unsupported code page falls back to
// Windows-1252.
std::string DecodeCodePage(std::string_view bytes, int codePage);

// A pack file's text as UTF-8: a leading UTF-8 byte order mark is dropped;
// valid UTF-8 stays as it is; anything else is decoded from the code page of
// `charset`, or from `legacyCodePage` when the character set names none.
std::string DecodePackText(std::string_view bytes, int charset, int legacyCodePage);

}  // namespace trawler::lang
