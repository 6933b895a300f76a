#pragma once

// SHA-256 of a file or of bytes, as lowercase hex, for checking downloads.

#include <filesystem>
#include <string>
#include <string_view>

namespace trawler::update {

std::string Sha256Hex(std::string_view bytes);
// Empty when the file cannot be read.
std::string Sha256HexOfFile(const std::filesystem::path &file);

}  // namespace trawler::update
