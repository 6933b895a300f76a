// Proxy settings taken from the environment: any bytes in http_proxy and
// no_proxy must give a bounded, well-formed result or none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/settings/proxy_discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  // The first line is the proxy, the rest the bypass list.
  const std::size_t cut = input.find('\n');
  const std::string proxy = input.substr(0, cut);
  const std::string noProxy = cut == std::string::npos ? std::string() : input.substr(cut + 1);

  auto environment = [&](const std::string &name) -> std::optional<std::string> {
    if (name == "http_proxy") return proxy;
    if (name == "no_proxy") return noProxy;
    return std::nullopt;
  };
  if (auto found = trawler::settings::ReadEnvironmentProxy(environment)) {
    if (found->Port < 1 || found->Port > 65535) __builtin_trap();
    if (found->Host.find_first_of(" \t\r\n;/@") != std::string::npos) __builtin_trap();
    if (found->Bypass.find_first_of(" \t\r\n,") != std::string::npos) __builtin_trap();
  }
  bool all = false;
  const std::string masks = trawler::settings::NoProxyToMasks(input, &all);
  if (masks.size() > input.size() * 3 + 2) __builtin_trap();
  return 0;
}
