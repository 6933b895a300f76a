// The extractor runs a user's expression over result texts from the web: any expression and
// any text must end (the engine's limits stop runaway backtracking) without a crash, and every
// gathered line must be a piece of the searched text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "results/expr_run.h"
#include "support/text/regex_match.h"

using namespace trawler;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Expression and text are separated by the first NUL byte.
  const std::size_t split = input.find('\0');
  if (split == std::string_view::npos) return 0;
  const std::string_view expression = input.substr(0, split);
  const std::string_view text = input.substr(split + 1);

  text::RegexError error;
  const auto regex = text::CompiledRegex::Get(expression, false, &error);
  if (!regex) {
    if (results::ExprCompileErrorText(expression, error).empty()) std::abort();
    return 0;
  }
  for (const bool unique : {true, false}) {
    results::tExprLines lines;
    int added = 0;
    results::CollectExprMatches(*regex, text, unique, lines, added, error);
    if (added != lines.Count()) std::abort();
    if (static_cast<std::size_t>(lines.Count()) > text.size() + 1) std::abort();
    for (const std::string& line : lines.Lines())
      if (text.find(line) == std::string_view::npos) std::abort();
  }
  return 0;
}
