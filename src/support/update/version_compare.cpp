#include "support/update/version_compare.h"

namespace trawler::update {

namespace {

// Reads the part starting at `pos` as digits without leading zeros, so parts
// of any length compare exactly (first by length, then by text).
std::string_view NextPart(std::string_view text, size_t &pos) {
  size_t end = text.find('.', pos);
  if (end == std::string_view::npos) end = text.size();
  std::string_view part = text.substr(pos, end - pos);
  pos = end < text.size() ? end + 1 : text.size() + 1;
  size_t b = 0;
  while (b < part.size() && (part[b] == ' ' || part[b] == '\t')) ++b;
  size_t e = b;
  while (e < part.size() && part[e] >= '0' && part[e] <= '9') ++e;
  std::string_view digits = part.substr(b, e - b);
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
  size_t pa = 0, pb = 0;
  while (pa <= a.size() || pb <= b.size()) {
    const std::string_view x = pa <= a.size() ? NextPart(a, pa) : std::string_view();
    const std::string_view y = pb <= b.size() ? NextPart(b, pb) : std::string_view();
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    if (const int c = x.compare(y); c != 0) return c < 0 ? -1 : 1;
  }
  return 0;
}

}  // namespace trawler::update
