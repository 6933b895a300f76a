// Feeds arbitrary bytes to the reader of the older line format, full and
// merging: nothing may crash and every result read has an address.
#include <cstddef>
#include <cstdint>
#include <string>

#include "results/old_format_loader.h"

using namespace trawler::results;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string content(reinterpret_cast<const char *>(data), size);
  tResultsList list;
  const bool merge = size > 0 && (data[0] & 1) != 0;
  LoadOldText(list, content, "/nonexistent/fuzz.twr", merge);
  for (int i = 0; i < list.Count(); ++i) {
    const tUrlResult &r = *list.Items(i);
    if (r.MainUrl().empty()) __builtin_trap();
    if (r.CheckState < 0 || r.CheckState > 2) __builtin_trap();
  }
  if (list.OldCount() != list.Count()) __builtin_trap();
  return 0;
}
