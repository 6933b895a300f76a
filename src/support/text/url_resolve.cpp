// Turning the links of result pages into absolute addresses.

#include <string>

#include "support/text/html_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"

namespace trawler::text {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Finds an ASCII word ignoring the case of ASCII letters; other bytes exact.
std::size_t FindNoCase(std::string_view text, std::string_view word, std::size_t from = 0) {
  if (word.empty() || text.size() < word.size()) return std::string_view::npos;
  for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < word.size() && AsciiLower(text[i + k]) == AsciiLower(word[k])) ++k;
    if (k == word.size()) return i;
  }
  return std::string_view::npos;
}

// Stands in for "%" while the text passes the HTML decoder, so that
// percent-escapes survive it: %2F and %26 are part of an address and decoding
// them would name another page. U+E000 is a private-use character; one that
// is already in the text is percent-encoded first.
constexpr std::string_view kPercentStandIn = "\xEE\x80\x80";

// Decodes the HTML of an address (entities, numeric references, line breaks
// and tabs) but keeps its percent-escapes as they are.
std::string DecodeAddressHtml(std::string_view address) {
  // Most addresses hold nothing the decoder would change but the blanks at
  // their ends: no entity or reference ("&"), no tag ("<"), no line break or
  // tab, no "#$A".
  const bool plain = address.find_first_of("&<\r\n\t") == std::string_view::npos &&
                     address.find("#$") == std::string_view::npos;
  if (plain) return std::string(TrimBlanks(address));
  std::string guarded;
  guarded.reserve(address.size());
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (address.compare(i, kPercentStandIn.size(), kPercentStandIn) == 0) {
      guarded += "%EE%80%80";
      i += kPercentStandIn.size() - 1;
    } else if (address[i] == '%') {
      guarded += kPercentStandIn;
    } else {
      guarded.push_back(address[i]);
    }
  }
  std::string decoded = HtmlToText(guarded);
  std::string out;
  out.reserve(decoded.size());
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    if (decoded.compare(i, kPercentStandIn.size(), kPercentStandIn) == 0) {
      out.push_back('%');
      i += kPercentStandIn.size() - 1;
    } else {
      out.push_back(decoded[i]);
    }
  }
  return out;
}

// The root of base: scheme, ":", the slashes after it and the host, ending in "/".
std::string RootOf(std::string_view base) {
  const std::string scheme = UrlScheme(base);
  std::size_t i = scheme.empty() ? 0 : scheme.size() + 1;
  while (i < base.size() && base[i] == '/') ++i;
  const std::size_t slash = base.find('/', i);
  std::string root(base.substr(0, slash == std::string_view::npos ? base.size() : slash + 1));
  if (root.empty() || root.back() != '/') root.push_back('/');
  return root;
}

// Where the path of base starts (after "scheme://host"), or 0 when base has
// no "://"; the directory of base never climbs above it.
std::size_t PathStart(std::string_view base) {
  const std::size_t mark = base.find("://");
  if (mark == std::string_view::npos) return 0;
  const std::size_t slash = base.find('/', mark + 3);
  return slash == std::string_view::npos ? base.size() : slash + 1;
}

}  // namespace

std::string ResolveUrl(std::string_view relativeIn, std::string_view baseIn) {
  std::string relative = DecodeAddressHtml(TrimBlanks(relativeIn));
  const std::string base = DecodeAddressHtml(TrimBlanks(baseIn));
  if (relative.empty()) return base;
  if (base.empty()) return relative;
  if (!UrlScheme(relative).empty()) return relative;

  // The part of base before its query or fragment; a "/" inside a query is
  // no directory.
  const std::string_view baseNoQuery =
      std::string_view(base).substr(0, std::min(base.find('?'), base.find('#')));

  if (relative.compare(0, 2, "./") == 0) relative.erase(0, 2);
  if (relative.compare(0, 2, "//") == 0) {
    // A network-path reference keeps only the scheme of base.
    const std::string scheme = UrlScheme(base);
    return scheme.empty() ? relative : scheme + ":" + relative;
  }
  const char first = relative.empty() ? '\0' : relative.front();
  if (first == '/') return RootOf(base) + relative.substr(1);
  if (first == '?') return std::string(baseNoQuery) + relative;
  if (first == '#') {
    return std::string(std::string_view(base).substr(0, base.find('#'))) + relative;
  }

  const std::size_t pathStart = PathStart(baseNoQuery);
  std::string directory(baseNoQuery);
  if (pathStart == directory.size() && pathStart > 0 && directory.back() != '/') {
    directory.push_back('/');  // "h://host" alone: its directory is "h://host/"
  } else {
    const std::size_t last = directory.rfind('/');
    directory.erase(last == std::string::npos ? 0 : last + 1);
  }
  const std::size_t floor = pathStart > 0 ? std::min(PathStart(directory), directory.size()) : 0;
  // Every "../" (wherever it stands) takes the directory one level up, but
  // never above the host; the relative part continues after the last one.
  std::size_t consumed = 0;
  for (std::size_t up; (up = relative.find("../", consumed)) != std::string::npos;
       consumed = up + 3) {
    if (directory.size() <= floor) continue;
    const std::size_t last = directory.size() < 2 ? std::string::npos
                                                  : directory.rfind('/', directory.size() - 2);
    const std::size_t cut = last == std::string::npos ? 0 : last + 1;
    if (cut >= floor) directory.resize(cut);
  }
  relative.erase(0, consumed);
  if (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
  return directory + relative;
}

std::string AbsolutizeLinks(std::string_view html, std::string_view base) {
  if (FindNoCase(html, "href=") == std::string_view::npos &&
      FindNoCase(html, "src=") == std::string_view::npos)
    return std::string(html);
  if (html.find("javascript:") != std::string_view::npos) return std::string(html);
  if (html.find("mailto:") != std::string_view::npos)
    return html.size() >= 8 ? std::string(html) : std::string();
  if (const std::size_t mark = html.find("://"); mark == 3 || mark == 4) return std::string(html);

  static constexpr std::string_view kAttributes[] = {"href=", "src=", "action="};
  std::string out;
  std::size_t rest = 0;
  // Next occurrence of each attribute at or after rest; kept between rounds
  // so the whole walk stays linear in the fragment.
  std::size_t next[3];
  for (int k = 0; k < 3; ++k) next[k] = FindNoCase(html, kAttributes[k]);
  while (html.find('=', rest) != std::string_view::npos) {
    std::size_t best = std::string_view::npos;
    int which = -1;
    for (int k = 0; k < 3; ++k) {
      if (next[k] != std::string_view::npos && next[k] < rest)
        next[k] = FindNoCase(html, kAttributes[k], rest);
      if (next[k] < best) {
        best = next[k];
        which = k;
      }
    }
    if (which < 0) {
      const std::size_t eq = html.find('=', rest);
      out.append(html.substr(rest, eq + 1 - rest));
      rest = eq + 1;
      continue;
    }
    const std::size_t valueStart = best + kAttributes[which].size();
    out.append(html.substr(rest, valueStart - rest));
    std::size_t v = valueStart;
    if (v < html.size() && html[v] == '"') {
      out.push_back('"');
      ++v;
    }
    if (v < html.size() && html[v] == '\'') {
      out.push_back('\'');
      ++v;
    }
    std::size_t end = html.find_first_of(" \"'>", v);
    if (end == std::string_view::npos) end = html.size();
    const std::string_view url = html.substr(v, end - v);
    if (!url.empty()) out += ResolveUrl(url, base);
    rest = end;
  }
  out.append(html.substr(rest));
  return out;
}

std::string ExtractHref(std::string_view text, std::string_view base, bool cutAtSpace) {
  std::string_view s = text;
  // The attribute, not a query parameter "&href=" of some other link.
  std::size_t at = FindNoCase(s, "href=");
  while (at != std::string_view::npos && at > 0 && s[at - 1] == '&')
    at = FindNoCase(s, "href=", at + 1);
  if (at != std::string_view::npos) s.remove_prefix(at + 5);
  if (!s.empty() && (s.front() == '"' || s.front() == '\'')) s.remove_prefix(1);
  if (const std::size_t gt = s.find('>'); gt != std::string_view::npos) s = s.substr(0, gt);
  if (const std::size_t quote = s.find_first_of("\"'"); quote != std::string_view::npos) {
    s = s.substr(0, quote);
  } else if (cutAtSpace) {
    if (const std::size_t space = s.find(' '); space != std::string_view::npos)
      s = s.substr(0, space);
  }
  const std::string result = base.empty() ? std::string(s) : ResolveUrl(s, base);
  return std::string(TrimBlanks(DecodeAddressHtml(result)));
}

}  // namespace trawler::text
