// URL arithmetic shared by the search core, the result list and the black list:
// scheme and host, the "same page" test used to merge hits, host masks, parent
// addresses, and turning relative links of result pages into absolute ones.
//
// Addresses are byte strings (UTF-8 or percent-encoded bytes); nothing here
// decodes percent-escapes, because %2F or %26 inside a query is part of the
// address and decoding it would name a different page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trawler::text {

// The scheme of an address without its ":" ("http", "mailto"), or empty.
// A "user@host" text behind a colon and no slash counts as a mail link.
std::string UrlScheme(std::string_view url);

// The host of an address (after "://", before the next "/"), with user
// information, a leading "WWW." and the port removed; empty without "://".
std::string UrlHost(std::string_view url);

// The form two addresses are compared in: user information, a leading "WWW."
// (exact capitals; callers uppercase first) and the port are dropped, and with
// dropQuery everything from the first "?" too.
std::string NormalizeUrl(std::string_view url, bool dropQuery);

// 1 when a and b are byte-identical, 0 when they name the same page (case,
// "www.", user information, port), -1 otherwise.
int CompareUrls(std::string_view a, std::string_view b);

// Merges the addresses of one result into another's: 1 as soon as a candidate
// equals a target byte for byte; 0 when some candidate is equivalent to some
// target (each such candidate is appended to target unless target already
// holds it ignoring case); -1 when no candidate meets any target.
int MergeEquivalentUrl(std::vector<std::string>& target,
                       const std::vector<std::string>& candidates);

// Host masks, ignoring case: "*.a.lan" matches the host a.lan and every host
// below it (never "bada.lan"); "10.0.*" matches hosts that start with "10.0";
// any other mask matches only the host itself.
bool HostMatchesMask(std::string_view mask, std::string_view url);

// True when one of the ";"-separated masks matches the address's host.
bool UrlMatchesMaskList(std::string_view masks, std::string_view url);

// The address (normalized, query dropped, lowercased) and each of its parents:
// "h://h/a/b.html" gives "h://h/a/b.html", "h://h/a", "h://h".
std::vector<std::string> UrlParents(std::string_view url);

// An address relative to base made absolute. HTML entities in both are decoded
// first; percent-escapes are kept.
std::string ResolveUrl(std::string_view relative, std::string_view base);

// An HTML fragment whose href=, src= and action= values are made absolute
// against base.
std::string AbsolutizeLinks(std::string_view html, std::string_view base);

// The target of an anchor text ("<a href='x.html'>..." or a bare address),
// resolved against base when base is not empty. With cutAtSpace an unquoted
// target ends at its first space.
std::string ExtractHref(std::string_view text, std::string_view base, bool cutAtSpace);

}  // namespace trawler::text
