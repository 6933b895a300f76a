#include "support/settings/proxy_discovery.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace trawler::settings {

namespace {

// Longer texts are not proxy addresses; refusing them keeps every later step
// cheap whatever the environment holds.
constexpr std::size_t kMaxProxyText = 2048;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
  return lower;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters, digits, "." "-" "_" and the bytes of non-ASCII (IDN) names.
bool IsHostNameChar(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 0x80 || IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
         c == '-' || c == '_';
}

bool IsBracketedAddressChar(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

std::optional<std::int32_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
  std::int32_t port = 0;
  std::from_chars(text.data(), text.data() + text.size(), port);
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

bool IsIpv4Literal(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) { return IsDigit(c) || c == '.'; });
}

std::vector<std::string_view> SplitList(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',' || text[i] == ';' || IsBlank(text[i])) {
      if (i > start) parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::optional<std::string> FirstNonEmpty(const EnvironmentLookup &environment,
                                         std::initializer_list<const char *> names) {
  for (const char *name : names) {
    std::optional<std::string> value = environment(name);
    if (value && !Trim(*value).empty()) return value;
  }
  return std::nullopt;
}

}  // namespace

EnvironmentLookup ProcessEnvironment() {
  return [](const std::string &name) -> std::optional<std::string> {
    const char *value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
}

std::optional<ProxyAddress> ParseProxyAddress(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > kMaxProxyText) return std::nullopt;

  std::int32_t defaultPort = 80;
  if (auto scheme = text.find("://"); scheme != std::string_view::npos) {
    const std::string name = AsciiLower(text.substr(0, scheme));
    if (name == "https")
      defaultPort = 443;
    else if (name != "http")
      return std::nullopt;
    text.remove_prefix(scheme + 3);
  }
  std::string_view authority = text.substr(0, text.find_first_of("/?#"));
  if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);

  std::string_view host;
  std::string_view afterHost;
  if (!authority.empty() && authority.front() == '[') {
    auto close = authority.find(']');
    if (close == std::string_view::npos || close < 2) return std::nullopt;
    if (!std::all_of(authority.begin() + 1, authority.begin() + close, IsBracketedAddressChar)) return std::nullopt;
    host = authority.substr(0, close + 1);
    afterHost = authority.substr(close + 1);
  } else {
    auto colon = authority.find(':');
    host = authority.substr(0, colon);
    if (colon != std::string_view::npos) afterHost = authority.substr(colon);
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostNameChar)) return std::nullopt;
  }

  ProxyAddress address{std::string(host), defaultPort};
  if (!afterHost.empty()) {
    if (afterHost.front() != ':') return std::nullopt;
    std::string_view portText = afterHost.substr(1);
    if (!portText.empty()) {  // "host:" means the default port, as curl reads it
      std::optional<std::int32_t> port = ParsePort(portText);
      if (!port) return std::nullopt;
      address.Port = *port;
    }
  }
  return address;
}

std::string NoProxyToMasks(std::string_view noProxy, bool *bypassAll) {
  if (bypassAll) *bypassAll = false;
  if (noProxy.size() > kMaxProxyText * 16) noProxy = noProxy.substr(0, kMaxProxyText * 16);
  std::string masks;
  for (std::string_view entry : SplitList(noProxy)) {
    if (entry == "*") {
      if (bypassAll) *bypassAll = true;
      continue;
    }
    if (entry.find('/') != std::string_view::npos) continue;  // a network range
    std::string mask;
    if (entry.front() == '[') {
      auto close = entry.find(']');
      if (close == std::string_view::npos || close < 2 ||
          !std::all_of(entry.begin() + 1, entry.begin() + close, IsBracketedAddressChar))
        continue;
      mask = entry.substr(0, close + 1);
    } else if (std::count(entry.begin(), entry.end(), ':') > 1) {
      if (!std::all_of(entry.begin(), entry.end(), IsBracketedAddressChar)) continue;
      mask = entry;  // a bare IPv6 address
    } else {
      std::string_view host = entry.substr(0, entry.find(':'));
      while (!host.empty() && (host.front() == '*' || host.front() == '.')) host.remove_prefix(1);
      if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostNameChar)) continue;
      mask = IsIpv4Literal(host) ? std::string(host) : "*." + std::string(host);
    }
    if (!masks.empty()) masks += ';';
    masks += mask;
  }
  return masks;
}

std::optional<DiscoveredProxy> ReadEnvironmentProxy(const EnvironmentLookup &environment) {
  std::optional<ProxyAddress> address;
  for (const char *name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"}) {
    std::optional<std::string> value = environment(name);
    if (!value) continue;
    address = ParseProxyAddress(*value);
    if (address) break;
  }
  if (!address) return std::nullopt;

  DiscoveredProxy proxy{address->Host, address->Port, {}};
  if (std::optional<std::string> noProxy = FirstNonEmpty(environment, {"no_proxy", "NO_PROXY"})) {
    bool bypassAll = false;
    proxy.Bypass = NoProxyToMasks(*noProxy, &bypassAll);
    if (bypassAll) {
      proxy.Host.clear();
      proxy.Bypass.clear();
    }
  }
  return proxy;
}

}  // namespace trawler::settings
