// Result pages hand the link functions arbitrary bytes: anchors, fragments
// and base addresses taken from hostile HTML.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/text/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first line is the base address, the rest the text to resolve.
  const std::size_t newline = input.find('\n');
  const std::string_view base = input.substr(0, newline);
  const std::string_view text =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  using namespace trawler::text;
  (void)ExtractHref(text, base, true);
  (void)ExtractHref(text, "", false);
  (void)ResolveUrl(text, base);
  (void)AbsolutizeLinks(text, base);
  (void)UrlParents(text);
  (void)UrlMatchesMaskList(base, text);
  std::vector<std::string> target{std::string(base)};
  (void)MergeEquivalentUrl(target, {std::string(text)});
  return 0;
}
