#include "support/settings/service_addresses.h"

#ifndef TRAWLER_SERVICE_BASE_URL
#define TRAWLER_SERVICE_BASE_URL "https://trawler.example.org"
#endif

namespace trawler::settings {

namespace {

// The base without a trailing slash, so paths can be appended with one.
std::string_view TrimmedBase() {
  std::string_view base = TRAWLER_SERVICE_BASE_URL;
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  return base;
}

// "host" of "scheme://user@host:port/path".
std::string_view BaseHost() {
  std::string_view host = TrimmedBase();
  if (auto scheme = host.find("://"); scheme != std::string_view::npos) host.remove_prefix(scheme + 3);
  if (auto path = host.find('/'); path != std::string_view::npos) host = host.substr(0, path);
  if (auto user = host.rfind('@'); user != std::string_view::npos) host.remove_prefix(user + 1);
  if (auto port = host.rfind(':'); port != std::string_view::npos && host.find(']') == std::string_view::npos)
    host = host.substr(0, port);
  return host;
}

}  // namespace

std::string_view ServiceBaseUrl() { return TRAWLER_SERVICE_BASE_URL; }

std::string ProductHomePage() { return std::string(TrimmedBase()) + "/trawler/"; }

std::string ServiceSiteRoot() { return std::string(TrimmedBase()) + "/"; }

UrlList DefaultHomeUrls() {
  return {{"0", ProductHomePage()}, {"1059", ServiceSiteRoot()}, {"1058", ServiceSiteRoot()}};
}

UrlList DefaultHelpUrls() { return DefaultHomeUrls(); }

UrlList DefaultEmailUrls() { return {{"0", "contact@" + std::string(BaseHost())}}; }

std::vector<std::string> DefaultUpdateUrls() {
  const std::string base(TrimmedBase());
  const std::string file(kUpdateDescriptorName);
  return {base + "/update/" + file, base + "/mirror/" + file};
}

}  // namespace trawler::settings
