#pragma once

#include <string>
#include <string_view>

namespace trawler::platform {

// The form under which the registry store compares key and value names:
// UTF-8 text with every letter that has a simple lowercase partner replaced
// by it, for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic. Bytes
// that are not valid UTF-8 are kept as they are, so any name folds to
// something and equal bytes always compare equal.
std::string FoldRegistryName(std::string_view name);

}  // namespace trawler::platform
