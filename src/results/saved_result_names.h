// Small rules of the saved-results catalogue: the hexadecimal names of its
// entries and when two paths name the same file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trawler::results {

// 8 uppercase hexadecimal digits: 10 -> "0000000A".
std::string HexName(std::uint32_t value);
// The value of 1 to 8 hexadecimal digits (either case, nothing else);
// none for any other text.
std::optional<std::uint32_t> ParseHexName(std::string_view text);

// True when a and b are the same path, or differ only in letter case and
// name the same existing file (a file system that ignores case). On Linux
// "a.twf" and "A.twf" are usually two files with two sets of facts.
bool SamePath(const std::string& a, const std::string& b);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

// True for the extensions of result-set files, ".twf" and ".twr", in any
// letter case.
bool IsResultSetFileName(const std::string& path);
bool IsOldResultSetFileName(const std::string& path);

}  // namespace trawler::results
