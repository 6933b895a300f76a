#pragma once

// Comparing dotted version texts part by part: "1.10" is newer than "1.9",
// "1.2" is newer than "1.1.0.0", and a large part never spills into the
// next one. Missing parts count as 0, so "1.2" equals "1.2.0".

#include <string_view>

namespace trawler::update {

// <0, 0 or >0 as `a` is older than, equal to or newer than `b`. Each part is
// the leading digits of the text between dots (a part without digits is 0);
// surrounding blanks are ignored.
int CompareVersions(std::string_view a, std::string_view b);

}  // namespace trawler::update
