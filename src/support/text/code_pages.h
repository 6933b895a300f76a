#pragma once
// Single-byte code pages at the edges of the program, and the classic Cyrillic byte tables.
//
// Inside the program text is UTF-8. Pages of sites in KOI8-R, old files and language packs
// in single-byte character sets are decoded at the edge; request values for KOI8-R sites
// are encoded at the edge. Characters a code page lacks become "?".

#include <optional>
#include <string>
#include <string_view>

namespace trawler::text {

enum class CodePage { kUtf8, kWindows1251, kWindows1252, kKoi8R, kCp866 };

// The code page for a charset label such as "koi8-r", "windows-1251", "cp866", "utf-8",
// "iso-8859-1" (read as Windows-1252, as browsers do). Labels compare ignoring case and
// surrounding blanks and quotes. Unknown labels give nullopt.
std::optional<CodePage> CodePageFromLabel(std::string_view label);

// Bytes in `page` to UTF-8. A byte the page leaves undefined (0x98 in Windows-1251) becomes
// the C1 control of the same value, so every byte survives a round trip. For kUtf8 the bytes
// are returned with stray bytes replaced by U+FFFD.
std::string DecodeFromCodePage(std::string_view bytes, CodePage page);
// UTF-8 to bytes in `page`; a character the page lacks (and a stray byte) becomes
// `unmappable`. For kUtf8 the text is returned unchanged.
std::string EncodeToCodePage(std::string_view text, CodePage page, std::string_view unmappable = "?");

// The legacy code page: the one single-byte page used for text that carries no charset and
// is not valid UTF-8. Windows-1252 until set; the main window sets it from the locale.
CodePage LegacyCodePage();
void SetLegacyCodePage(CodePage page);
// Windows-1251 for Cyrillic locales (ru, uk, be, bg, sr, mk, kk, ky, tg, mn), else
// Windows-1252. Takes a POSIX locale name such as "ru_RU.UTF-8".
CodePage LegacyCodePageForLocale(std::string_view locale_name);
// The locale from LC_ALL, LC_CTYPE or LANG (first that is set), mapped as above.
CodePage LegacyCodePageFromEnvironment();

std::string DecodeLegacy(std::string_view bytes);
std::string EncodeLegacy(std::string_view text);
// The text itself when it is valid UTF-8 (without a byte order mark), else decoded from the
// legacy code page.
std::string DecodeUtf8OrLegacy(std::string_view bytes);

// The classic Cyrillic tables, as raw bytes in Windows-1251 terms.
// KOI8-R to Windows-1251 (127 entries, from byte 0x81).
extern const std::string_view KoiToWinTable;
// DOS Cyrillic (cp866) to Windows-1251 (128 entries, from byte 0x80).
extern const std::string_view DosToWinTable;
// Windows-1251 to KOI8-R (128 entries, from byte 0x80); bytes without a counterpart give 0.
extern const std::string_view WinToKoiTable;

// Applies a byte table to characters. Each character is taken as its Windows-1251 byte b
// (characters Windows-1251 lacks are copied); with L the table's length, b >= 256 - L is
// replaced by the character of Windows-1251 byte table[b - (256 - L)]; other characters are
// copied. So KoiToWinTable repairs KOI8-R text that was read as Windows-1251.
std::string ConvertByTable(std::string_view text, std::string_view table);

// Cyrillic letters to Latin letters ("Щука" gives "Shchuka"); other characters are copied.
std::string Transliterate(std::string_view text);

}  // namespace trawler::text
