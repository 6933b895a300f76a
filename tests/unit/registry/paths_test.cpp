#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/paths.h"
#include "scratch_dir.h"

using namespace trawler::platform;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char *name, const char *value) : FName(name) {
    if (const char *old = std::getenv(name)) FOld = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~EnvVar() { FOld ? ::setenv(FName, FOld->c_str(), 1) : ::unsetenv(FName); }

 private:
  const char *FName;
  std::optional<std::string> FOld;
};

TEST(Paths, UserFoldersFollowTheXdgVariables) {
  EnvVar home("HOME", "/home/ann");
  struct Case {
    const char *Config, *Data;
    const char *ExpectedConfig, *ExpectedData;
  };
  const Case cases[] = {
      {"/xdg/config", "/xdg/data", "/xdg/config/trawler", "/xdg/data/trawler"},
      {nullptr, nullptr, "/home/ann/.config/trawler", "/home/ann/.local/share/trawler"},
      {"", "", "/home/ann/.config/trawler", "/home/ann/.local/share/trawler"},
      // Relative values are not to be trusted.
      {"rel/config", "rel/data", "/home/ann/.config/trawler", "/home/ann/.local/share/trawler"},
  };
  for (const auto &c : cases) {
    EnvVar config("XDG_CONFIG_HOME", c.Config);
    EnvVar data("XDG_DATA_HOME", c.Data);
    EXPECT_EQ(ConfigDirectory(), fs::path(c.ExpectedConfig));
    EXPECT_EQ(DataDirectory(), fs::path(c.ExpectedData));
  }
}

TEST(Paths, RuntimeAndTempFoldersArePrivate) {
  ScratchDir dir;
  EnvVar runtime("XDG_RUNTIME_DIR", dir.Path().c_str());
  const fs::path folders[] = {RuntimeDirectory(), TempDirectory()};
  EXPECT_EQ(folders[0], dir.Path() / "trawler");
  EXPECT_EQ(TempDirectory(), folders[1]);  // one per process
  for (const auto &folder : folders) {
    struct stat st;
    ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }
  // A runtime folder that others can enter is refused.
  ASSERT_EQ(::chmod(folders[0].c_str(), 0755), 0);
  EXPECT_EQ(RuntimeDirectory(), fs::path());
}

TEST(Paths, ProgramDirectoryRule) {
  ScratchDir dir;
  const fs::path portable = dir.Path() / "portable", build = dir.Path() / "build" / "src",
                 source = dir.Path() / "source", installed = dir.Path() / "usr-share",
                 data = dir.Path() / "data", plain = dir.Path() / "bin";
  for (const auto &made : {portable / "sites", build, source / "sites", installed / "sites", plain})
    fs::create_directories(made);
  std::ofstream(dir.Path() / "build" / "CMakeCache.txt") << "#\n";

  struct Case {
    fs::path Exe, Source;
    std::vector<fs::path> Search;
    fs::path Writable;
  };
  const Case cases[] = {
      {portable, source, {portable}, portable},
      {build, source, {source}, source},
      {build, dir.Path() / "nosites", {data, installed}, data},
      {plain, source, {data, installed}, data},  // not a build tree
  };
  for (const auto &c : cases) {
    const ProgramDirectories dirs = ResolveProgramDirectories(c.Exe, c.Source, installed, data);
    EXPECT_EQ(dirs.Search, c.Search) << c.Exe;
    EXPECT_EQ(dirs.Writable, c.Writable) << c.Exe;
  }

  // The overlay is searched first, the installed copy after it.
  const ProgramDirectories installedDirs = ResolveProgramDirectories(plain, source, installed, data);
  fs::create_directories(data / "sites");
  std::ofstream(data / "sites" / "updated.sdf") << "x";
  std::ofstream(installed / "sites" / "updated.sdf") << "x";
  std::ofstream(installed / "sites" / "shipped.sdf") << "x";
  EXPECT_EQ(FindProgramFile(installedDirs, "sites/updated.sdf"), data / "sites/updated.sdf");
  EXPECT_EQ(FindProgramFile(installedDirs, "sites/shipped.sdf"), installed / "sites/shipped.sdf");
  EXPECT_EQ(FindProgramFile(installedDirs, "sites/new.sdf"), data / "sites/new.sdf");
}

TEST(Paths, TheTempFolderGoesAwayWithTheProcess) {
  const fs::path ours = TempDirectory();
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const std::string path = TempDirectory().string();
    std::ofstream(TempDirectory() / "scratch.txt") << "x";
    (void)!::write(report[1], path.c_str(), path.size());
    std::exit(0);  // a normal exit runs the clean-up
  }
  ::close(report[1]);
  char buffer[4096];
  const ssize_t got = ::read(report[0], buffer, sizeof buffer);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_GT(got, 0);
  const fs::path made(std::string(buffer, static_cast<std::size_t>(got)));
  EXPECT_EQ(made.filename().string().rfind("trawler-", 0), 0u);
  EXPECT_FALSE(fs::exists(made));
  // A child has a folder of its own and leaves its parent's in place.
  EXPECT_NE(made, ours);
  EXPECT_TRUE(fs::is_directory(ours));
  EXPECT_EQ(TempDirectory(), ours);
}

}  // namespace
