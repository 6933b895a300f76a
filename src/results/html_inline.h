#pragma once

// Makes a result description safe to place inside an HTML page of our own:
// only a few inline tags that cannot run code or load anything survive.

#include <string>
#include <string_view>

namespace trawler::results {

// The description with every tag dropped except b, i, em, strong and br
// (written back without attributes; tags left open are closed at the end),
// character references kept, every other "&", "<", ">" and quote escaped,
// and each line break turned into "<br>".
std::string SafeInlineHtml(std::string_view html);

// True when the address is one a page may link to: http, https, ftp or
// mailto (in any letter case).
bool IsLinkableUrl(std::string_view url);

}  // namespace trawler::results
