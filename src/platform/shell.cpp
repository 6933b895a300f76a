#include "platform/shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

extern char **environ;

namespace trawler::platform {

namespace {

bool IsExecutableFile(const std::filesystem::path &p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
}

}  // namespace

std::filesystem::path FindExecutable(const std::string &program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos)
    return IsExecutableFile(program) ? std::filesystem::path(program) : std::filesystem::path();
  const char *env = std::getenv("PATH");
  const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::filesystem::path candidate = std::filesystem::path(dir) / program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

bool StartProgram(const std::string &program, const std::vector<std::string> &args,
                  const std::filesystem::path &workingDirectory) {
  const std::filesystem::path exe = FindExecutable(program);
  if (exe.empty()) return false;
  std::vector<std::string> argvText;
  argvText.push_back(exe.string());
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (auto &a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The browser must not hold our terminal's input.
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // A new session: closing our window must not take the browser with it.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, exe.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

bool ShellOpen(const std::string &target) { return StartProgram("xdg-open", {target}); }

}  // namespace trawler::platform
