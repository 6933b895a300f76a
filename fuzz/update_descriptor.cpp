// Feeds arbitrary bytes to the update descriptor reader and checks what a
// read descriptor promises: one checksum slot per download address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/update/update_descriptor.h"
#include "support/update/version_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  trawler::update::UpdateDescriptor d;
  if (trawler::update::ParseUpdateDescriptor(text, d)) {
    for (const auto &u : d.updates) {
      if (u.sha256.size() != u.urls.size()) std::abort();
      (void)trawler::update::UpdateCounts(u, "1.9");
      (void)trawler::update::UpdateListed(u, u.version);
    }
  }
  // Comparison is antisymmetric for any pair of texts.
  const size_t half = size / 2;
  const int ab = trawler::update::CompareVersions(text.substr(0, half), text.substr(half));
  const int ba = trawler::update::CompareVersions(text.substr(half), text.substr(0, half));
  if (ab != -ba) std::abort();
  return 0;
}
