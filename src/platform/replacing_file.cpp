#include "platform/replacing_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trawler::platform {

namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 16;

mode_t NewFileMode() {
  // umask can only be read by setting it; the core runs on one thread.
  const mode_t mask = ::umask(0077);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target) : FTarget(std::move(target)) {}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Fail(const std::string &what, int error_number) {
  if (!FError.empty()) return;
  FError = what + " " + FTarget.string() + ": " + std::strerror(error_number);
}

void ReplacingFile::Discard() {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  if (!FTemp.empty()) ::unlink(FTemp.c_str());
  FTemp.clear();
}

bool ReplacingFile::Open() {
  struct stat existing;
  if (::stat(FTarget.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      Fail("Cannot replace", EISDIR);
      return false;
    }
    FMode = existing.st_mode & 07777;
  } else {
    FMode = NewFileMode();
  }
  std::string temp = FTarget.string() + ".XXXXXX";
  FFd = ::mkstemp(temp.data());
  if (FFd < 0) {
    Fail("Cannot create", errno);
    return false;
  }
  FTemp = std::move(temp);
  return true;
}

bool ReplacingFile::Flush() {
  std::string_view rest = FBuffer;
  while (!rest.empty()) {
    const ssize_t written = ::write(FFd, rest.data(), rest.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write", errno);
      return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  FBuffer.clear();
  return true;
}

void ReplacingFile::Write(std::string_view text) {
  if (FFd < 0 || Failed()) return;
  FBuffer.append(text);
  if (FBuffer.size() >= kFlushSize) Flush();
}

bool ReplacingFile::Commit() {
  if (FFd < 0 || Failed()) {
    Discard();
    if (!Failed()) Fail("Cannot write", EBADF);
    return false;
  }
  if (!Flush()) {
    Discard();
    return false;
  }
  if (::fchmod(FFd, FMode) != 0 || ::fsync(FFd) != 0) {
    Fail("Cannot write", errno);
    Discard();
    return false;
  }
  const int fd = FFd;
  FFd = -1;
  if (::close(fd) != 0) {
    Fail("Cannot write", errno);
    Discard();
    return false;
  }
  if (::rename(FTemp.c_str(), FTarget.c_str()) != 0) {
    Fail("Cannot replace", errno);
    Discard();
    return false;
  }
  FTemp.clear();
  return true;
}

}  // namespace trawler::platform
