// A link check reads the header lines of any server's answer to a HEAD request.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "results/check_answer.h"

namespace results = trawler::results;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  results::tBotResult out;
  results::ReadCheckAnswer(lines, 200, "http://h.example/a/b?c", out);
  // The code is always a number written in decimal.
  if (out.Code.empty() || out.Code.find_first_not_of("-0123456789") != std::string::npos)
    __builtin_trap();
  if (out.Reason != lines.front()) __builtin_trap();
  // A redirect target is an address without line breaks.
  if (out.Location.find_first_of("\r\n") != std::string::npos) __builtin_trap();
  results::ParseHttpDate(text);
  return 0;
}
