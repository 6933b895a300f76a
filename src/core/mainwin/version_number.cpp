#include "core/mainwin/version_number.h"

#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"

namespace trawler::mainwin {

std::int64_t VersionNumber(std::string_view dotted) {
  // Unsigned arithmetic wraps instead of overflowing on absurdly long versions.
  std::uint64_t number = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = dotted.find('.', start);
    const std::string_view part =
        dotted.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    number = number * 1000u + static_cast<std::uint64_t>(static_cast<std::int64_t>(
                                  text::IntOfText(part, 0)));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return static_cast<std::int64_t>(number);
}

bool NeedsNewerProgram(std::string_view required, std::string_view program) {
  const std::string_view trimmed = text::TrimBlanks(required);
  if (trimmed.empty()) return false;
  return VersionNumber(program) < VersionNumber(trimmed);
}

}  // namespace trawler::mainwin
