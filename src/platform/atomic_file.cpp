#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trawler::platform {

namespace {

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

mode_t CurrentUmask() {
  // Read from /proc so that no other thread sees a changed umask; setting
  // and restoring it is the fallback for kernels without the field.
  std::FILE *status = std::fopen("/proc/self/status", "re");
  if (status) {
    char line[256];
    unsigned mask;
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "Umask: %o", &mask) == 1) {
        std::fclose(status);
        return static_cast<mode_t>(mask & 0777);
      }
    }
    std::fclose(status);
  }
  const mode_t mask = ::umask(0077);
  ::umask(mask);
  return mask;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path &file, std::string_view content) {
  struct stat existing;
  const bool exists = ::stat(file.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return false;
  const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());

  std::string temp = file.string() + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), file.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

bool ReadWholeFile(const std::filesystem::path &file, std::string &content, std::size_t limit) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string data;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || data.size() + static_cast<std::size_t>(got) > limit) {
      ok = false;
      break;
    }
    if (got == 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (ok) content = std::move(data);
  return ok;
}

}  // namespace trawler::platform
