// Hits and black-list entries as they come from result pages and from the
// user: any bytes. The list must never crash, and its counts and its index
// must stay true to the results whatever the addresses look like.
//
// Input: lines. A line "B<text>" adds a checked black-list entry, "D<text>"
// runs DeleteMatching, "S" switches the deleted view, anything else is a hit
// address (the first byte picks the engine and whether the hit is separate).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "results/results_list.h"
#include "support/text/url.h"

namespace {

using trawler::results::tHit;
using trawler::results::tResultsList;

void CheckInvariants(const tResultsList& list) {
  int deleted = 0, fresh = 0;
  for (int i = 0; i < list.Count(); ++i) {
    const auto* r = list.Items(i);
    deleted += r->Deleted() ? 1 : 0;
    fresh += r->IsNew() ? 1 : 0;
    if (list.IndexOf(r) != i) std::abort();
    // Every result with an address is found again through the index.
    if (!r->MainUrl().empty() && r->MainUrl().find("://") != std::string::npos) {
      const auto* found =
          list.FindByUrl(trawler::text::NormalizeUrl(r->MainUrl(), false), false, 0, false);
      if (!found || list.IndexOf(found) > i) std::abort();
    }
  }
  if (deleted != list.DeletedCount() || fresh != list.NewCount() ||
      list.Count() - fresh != list.OldCount())
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  tResultsList list;
  int lines = 0;
  while (!input.empty() && ++lines < 2000) {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    if (line.empty()) continue;
    switch (line[0]) {
      case 'B': list.AddBlack(std::string(line.substr(1)), true, (line.size() & 1) != 0); break;
      case 'D': list.DeleteMatching(std::string(line.substr(1))); break;
      case 'S': list.SetViewMode(list.ViewMode() ^ 4); break;
      default: {
        tHit hit;
        hit.Url = std::string(line.substr(1));
        hit.Engine = std::string(1, static_cast<char>('a' + (line[0] & 7)));
        hit.Separate = (line[0] & 8) != 0;
        hit.Date = (line[0] & 16) != 0 ? 40000.0 : 0.0;
        list.AddHit(hit, (line[0] & 32) != 0);
        break;
      }
    }
  }
  CheckInvariants(list);
  return 0;
}
