// URL arithmetic: scheme, host, the "same page" test, host masks and parents.
// Resolving relative links lives in url_resolve.cpp.

#include "support/text/url.h"

#include "support/text/case_folding.h"

namespace trawler::text {
namespace {

bool Contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

}  // namespace

std::string UrlScheme(std::string_view url) {
  const std::size_t colon = url.find(':');
  const std::size_t slash = url.find('/');
  if (colon == std::string_view::npos) return {};
  if (slash == std::string_view::npos) {
    // "mailto:someone@host": no slash, an "@" after the colon, no "?" before it.
    if (!Contains(url.substr(0, colon + 1), "?") && Contains(url.substr(colon), "@"))
      return std::string(url.substr(0, colon));
    return {};
  }
  if (colon > 0 && colon < slash && colon < 7) return std::string(url.substr(0, colon));
  return {};
}

std::string NormalizeUrl(std::string_view url, bool dropQuery) {
  std::string prefix;
  std::string rest(url);
  if (const std::size_t mark = rest.find("://"); mark != std::string::npos) {
    prefix = rest.substr(0, mark + 3);
    rest.erase(0, mark + 3);
  }
  const bool hasSlash = Contains(rest, "/");
  if (hasSlash) {
    const std::size_t slash = rest.find('/');
    const std::size_t at = rest.find('@');
    if (at != std::string::npos && at < slash) rest.erase(0, at + 1);
  }
  if (rest.compare(0, 4, "WWW.") == 0) rest.erase(0, 4);
  if (hasSlash) {
    const std::size_t slash = rest.find('/');
    const std::size_t colon = rest.find(':');
    if (slash != std::string::npos && colon != std::string::npos && colon < slash)
      rest.erase(colon, slash - colon);
  }
  if (dropQuery) {
    if (const std::size_t q = rest.find('?'); q != std::string::npos) rest.erase(q);
  }
  return prefix + rest;
}

int CompareUrls(std::string_view a, std::string_view b) {
  if (a == b) return 1;
  const std::string ua = UpperText(a);
  const std::string ub = UpperText(b);
  if (ua == ub || NormalizeUrl(ua, false) == NormalizeUrl(ub, false)) return 0;
  return -1;
}

int MergeEquivalentUrl(std::vector<std::string>& target,
                       const std::vector<std::string>& candidates) {
  int result = -1;
  // Only the addresses the target had on entry take part: an appended
  // candidate would otherwise meet itself and read as identical.
  const std::size_t original = target.size();
  for (const std::string& candidate : candidates) {
    for (std::size_t i = 0; i < original; ++i) {
      const int c = CompareUrls(target[i], candidate);
      if (c == 1) return 1;
      if (c == 0) {
        bool held = false;
        for (const std::string& url : target)
          if (SameTextIgnoreCase(url, candidate)) held = true;
        if (!held) target.push_back(candidate);
        result = 0;
      }
    }
  }
  return result;
}

std::string UrlHost(std::string_view url) {
  const std::string normal = NormalizeUrl(url, true);
  const std::size_t mark = normal.find("://");
  if (mark == std::string::npos) return {};
  const std::size_t start = mark + 3;
  const std::size_t slash = normal.find('/', start);
  return normal.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
}

bool HostMatchesMask(std::string_view mask, std::string_view url) {
  const std::string host = LowerText(UrlHost(url));
  const std::string m = LowerText(mask);
  if (const std::size_t star = m.find("*."); star != std::string::npos) {
    // "*.a.lan" covers a.lan itself and every host below it, but only at a
    // label boundary: "bada.lan" is a different domain.
    const std::string_view domain = std::string_view(m).substr(star + 2);
    if (domain.empty()) return true;
    if (host.size() < domain.size()) return false;
    if (host == domain) return true;
    return host.size() > domain.size() &&
           std::string_view(host).substr(host.size() - domain.size()) == domain &&
           host[host.size() - domain.size() - 1] == '.';
  }
  if (const std::size_t star = m.find(".*"); star != std::string::npos) {
    const std::string_view start = std::string_view(m).substr(0, star);
    return std::string_view(host).substr(0, start.size()) == start;
  }
  return host == m;
}

bool UrlMatchesMaskList(std::string_view masks, std::string_view url) {
  const std::string normal = NormalizeUrl(url, true);
  for (;;) {
    const std::size_t semi = masks.find(';');
    const std::string_view mask = masks.substr(0, semi);
    // An empty piece ("a.lan;;b.lan", a trailing ";") is no mask at all.
    if (!mask.empty() && HostMatchesMask(mask, normal)) return true;
    if (semi == std::string_view::npos) return false;
    masks.remove_prefix(semi + 1);
  }
}

std::vector<std::string> UrlParents(std::string_view url) {
  std::vector<std::string> list;
  std::string u = LowerText(NormalizeUrl(url, true));
  while (!u.empty()) {
    list.push_back(u);
    if (const std::size_t q = u.find('?'); q != std::string::npos) {
      u.erase(q);
      continue;
    }
    const std::size_t slash = u.rfind('/');
    if (slash == std::string::npos) {
      u.clear();
      continue;
    }
    u.erase(slash);
    while (!u.empty() && u.back() == '/') u.pop_back();
    if (u.find('/') == std::string::npos) u.clear();
  }
  return list;
}

}  // namespace trawler::text
