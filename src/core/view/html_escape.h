// Escaping of untrusted text (page titles, addresses, descriptions, server
// answers) before it is placed into an HTML page the program builds itself.
#pragma once

#include <string>
#include <string_view>

namespace trawler::core::view {

// Text between tags: "&", "<" and ">" become character references, so no
// tag or entity can come from the text. Quotes stay as they are.
std::string EscapeHtmlText(std::string_view text);

// A value inside a double-quoted attribute: as above, and the double and
// single quote are escaped too, so the value cannot end the attribute.
std::string EscapeHtmlAttribute(std::string_view text);

}  // namespace trawler::core::view
