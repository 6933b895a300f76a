#pragma once

#include <filesystem>
#include <string_view>

namespace trawler::platform {

// Replaces the file's contents with `content` by writing a temporary file in
// the same folder and renaming it over the target, so readers see either the
// old or the new file, never a partial one. An existing file keeps its
// permission bits; a new one gets 0666 less the umask. False on any failure
// (the target is then untouched).
bool WriteFileAtomically(const std::filesystem::path &file, std::string_view content);

// Reads a whole file; false when it cannot be read. `limit` bounds the size
// accepted (larger files fail).
bool ReadWholeFile(const std::filesystem::path &file, std::string &content,
                   std::size_t limit = std::size_t{1} << 30);

}  // namespace trawler::platform
