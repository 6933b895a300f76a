#pragma once
// The check of the program version the site descriptions require. Each dotted version
// becomes one number: for every dot-separated part in order, number * 1000 + the part's
// integer value (0 for a part that is not a number). So «1.2» is 1002 and «1.1.0.0» is
// 1001000000: the comparison is by this number, not part by part.

#include <cstdint>
#include <string_view>

namespace trawler::mainwin {

std::int64_t VersionNumber(std::string_view dotted);

// True when the descriptions require a version (non-empty after trimming) whose number is
// above the program's.
bool NeedsNewerProgram(std::string_view required, std::string_view program);

}  // namespace trawler::mainwin
