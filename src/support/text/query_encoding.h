#pragma once
// The two encodings applied to request parameter values. A request value goes through
// EncodeQueryValue, then the site's code page conversion (code_pages.h), then PercentEncode.

#include <string>
#include <string_view>

#include "support/text/code_pages.h"

namespace trawler::text {

// "+" ";" "&" "|" "!" "," "'" "#" "/" "\" "?" become %2B %3B %26 %7C %21 %2C %27 %23 %2F %5C
// %3F, and a space becomes "+". "%", "=", ":" and the double quote are left for PercentEncode.
std::string EncodeQueryValue(std::string_view text);

// Every byte from 0x80 up, every "=", every byte below "!" and every double quote becomes
// "%" and two uppercase hexadecimal digits. Works on bytes: a UTF-8 "é" gives %C3%A9, a
// KOI8-R "а" (byte 0xC1) gives %C1.
std::string PercentEncode(std::string_view bytes);

// The whole road of a request value: EncodeQueryValue, conversion to the site's code page
// (characters the page lacks are sent as "%3F", a question mark that cannot end the value),
// then PercentEncode. "а" for a KOI8-R site gives "%C1", for a UTF-8 site "%D0%B0".
std::string EncodeRequestValue(std::string_view value, CodePage page);

}  // namespace trawler::text
