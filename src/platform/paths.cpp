#include "platform/paths.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace trawler::platform {

namespace fs = std::filesystem;

namespace {

// An XDG variable counts only when it holds an absolute path.
fs::path XdgBase(const char *variable, const char *homeRelative) {
  const char *value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char *home = std::getenv("HOME");
  return fs::path(home && home[0] == '/' ? home : "/") / homeRelative;
}

fs::path SystemTemp() {
  const char *value = std::getenv("TMPDIR");
  return value && value[0] == '/' ? fs::path(value) : fs::path("/tmp");
}

// A folder that only we can use: created 0700, or an existing one owned by
// us and not open to others.
bool PrivateFolder(const fs::path &dir) {
  if (::mkdir(dir.c_str(), 0700) == 0) return true;
  struct stat st;
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

class ProcessTempDirectory {
 public:
  ~ProcessTempDirectory() {
    // A forked child that exits normally must not remove its parent's folder.
    if (!FPath.empty() && FOwner == ::getpid()) {
      std::error_code ec;
      fs::remove_all(FPath, ec);
    }
  }
  fs::path Get() {
    std::lock_guard lock(FMutex);
    if (FPath.empty() || FOwner != ::getpid()) {
      FPath.clear();
      std::string pattern = (SystemTemp() / "trawler-XXXXXX").string();
      if (::mkdtemp(pattern.data())) {
        FPath = pattern;
        FOwner = ::getpid();
      }
    }
    return FPath;
  }

 private:
  std::mutex FMutex;
  fs::path FPath;
  pid_t FOwner = 0;
};

bool BelowBuildTree(const fs::path &dir) {
  std::error_code ec;
  fs::path probe = dir;
  for (int level = 0; level < 4 && !probe.empty(); ++level) {
    if (fs::exists(probe / "CMakeCache.txt", ec)) return true;
    if (probe == probe.parent_path()) break;
    probe = probe.parent_path();
  }
  return false;
}

bool HoldsSites(const fs::path &dir) {
  std::error_code ec;
  return !dir.empty() && fs::is_directory(dir / "sites", ec);
}

}  // namespace

fs::path ConfigDirectory() { return XdgBase("XDG_CONFIG_HOME", ".config") / "trawler"; }

fs::path DataDirectory() { return XdgBase("XDG_DATA_HOME", ".local/share") / "trawler"; }

fs::path RuntimeDirectory() {
  const char *runtime = std::getenv("XDG_RUNTIME_DIR");
  const fs::path dir = runtime && runtime[0] == '/'
                           ? fs::path(runtime) / "trawler"
                           : SystemTemp() / ("trawler-" + std::to_string(::getuid()));
  return PrivateFolder(dir) ? dir : fs::path();
}

fs::path TempDirectory() {
  static ProcessTempDirectory directory;
  return directory.Get();
}

fs::path ExecutableDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}

ProgramDirectories ResolveProgramDirectories(const fs::path &executableDir,
                                             const fs::path &sourceDir,
                                             const fs::path &installedDir,
                                             const fs::path &dataDir) {
  if (HoldsSites(executableDir)) return {{executableDir}, executableDir};
  if (BelowBuildTree(executableDir) && HoldsSites(sourceDir)) return {{sourceDir}, sourceDir};
  return {{dataDir, installedDir}, dataDir};
}

ProgramDirectories ProgramDirectory() {
#ifdef TRAWLER_SOURCE_DIR
  const fs::path source = TRAWLER_SOURCE_DIR;
#else
  const fs::path source;
#endif
  return ResolveProgramDirectories(ExecutableDirectory(), source, "/usr/share/trawler",
                                   DataDirectory());
}

fs::path FindProgramFile(const ProgramDirectories &dirs, const fs::path &relative) {
  std::error_code ec;
  for (const fs::path &dir : dirs.Search)
    if (fs::exists(dir / relative, ec)) return dir / relative;
  return dirs.Writable / relative;
}

}  // namespace trawler::platform
