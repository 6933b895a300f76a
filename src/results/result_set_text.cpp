#include "results/result_set_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/text/string_toolkit.h"

namespace trawler::results {

std::string FormatFileDateTime(text::TDateTime value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  const auto done = std::to_chars(buffer, buffer + sizeof buffer, value,
                                  std::chars_format::general, 15);
  return std::string(buffer, done.ptr);
}

text::TDateTime ParseFileDateTime(std::string_view text) {
  std::string number(text::TrimBlanks(text));
  std::replace(number.begin(), number.end(), ',', '.');
  if (!number.empty() && number.front() == '+') number.erase(0, 1);
  double value = 0;
  const char* end = number.data() + number.size();
  const auto parsed = std::from_chars(number.data(), end, value);
  if (number.empty() || parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value))
    return 0;
  return value;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

int ClampCheckState(int state) { return std::clamp(state, 0, 2); }

std::string ReadFileForLoad(const std::string& fileName, std::size_t limit) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ResultSetError("Cannot open " + fileName + ": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw ResultSetError("Cannot read " + fileName + ": " + std::strerror(EISDIR));
  }
  std::string data;
  // Read into room of the file's size: growing a large file's text step by
  // step would copy it several times over.
  if (static_cast<std::uintmax_t>(st.st_size) <= limit) data.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      throw ResultSetError("Cannot read " + fileName + ": " + std::strerror(error));
    }
    if (got == 0) break;
    if (data.size() + static_cast<std::size_t>(got) > limit) {
      ::close(fd);
      throw ResultSetError("Cannot read " + fileName + ": " + std::strerror(EFBIG));
    }
    data.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return data;
}

}  // namespace trawler::results
