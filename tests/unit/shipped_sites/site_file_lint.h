#pragma once

// A maintainer's check of a site description file: the loader ignores every line it does not
// understand, so a misspelt key ("dateformt=") or a block in the wrong place silently changes
// a site. This walks the file's blocks the way the loader does and reports such lines.

#include <string>
#include <string_view>
#include <vector>

namespace trawler::core::testing {

// One text per doubtful line: "line N: <why>: <line>". Empty when every key, keyword and
// brace is one the loader uses where it stands (the site key "example=" included).
std::vector<std::string> LintSiteFile(std::string_view text);

}  // namespace trawler::core::testing
