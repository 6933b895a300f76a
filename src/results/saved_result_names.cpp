#include "results/saved_result_names.h"

#include <filesystem>

#include "support/text/case_folding.h"

namespace trawler::results {

std::string HexName(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string name(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) name[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return name;
}

std::optional<std::uint32_t> ParseHexName(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

bool SamePath(const std::string& a, const std::string& b) {
  if (a == b) return true;
  if (!text::SameTextIgnoreCase(a, b)) return false;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

namespace {

bool HasExtension(const std::string& path, std::string_view extension) {
  return path.size() > extension.size() &&
         text::SameTextIgnoreCase(std::string_view(path).substr(path.size() - extension.size()),
                                  extension);
}

}  // namespace

bool IsResultSetFileName(const std::string& path) {
  return HasExtension(path, ".twf") || HasExtension(path, ".twr");
}

bool IsOldResultSetFileName(const std::string& path) { return HasExtension(path, ".twr"); }

}  // namespace trawler::results
