// Date patterns come from site descriptions and the texts from result pages;
// neither may crash the date finder.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/text/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first line is the pattern, the rest the text searched for a date.
  const std::size_t newline = input.find('\n');
  const std::string_view pattern = input.substr(0, newline);
  const std::string_view text =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  using namespace trawler::text;
  const TDateTime found = ParseDateByPattern(text, pattern);
  (void)ParseDateFields(text, pattern);
  (void)FormatDateByPattern(pattern, found);
  (void)FormatDateShort(found);
  return 0;
}
