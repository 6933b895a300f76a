#include "support/browsers/browsers.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace trawler::browsers;

namespace {

// A folder of fake browser programs placed alone on PATH (plus the folders
// /bin/sh needs); each records the arguments it received, one per line
// after their count, in <name>.args.
class FakeBrowsers : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/trawler-browsers-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    if (const char *p = ::getenv("PATH")) oldPath_ = p;
    ::setenv("PATH", (dir_.string() + ":/usr/bin:/bin").c_str(), 1);
    if (const char *h = ::getenv("XDG_DATA_HOME")) oldData_ = h;
    ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    Install("xdg-open");
  }
  void TearDown() override {
    ::setenv("PATH", oldPath_.c_str(), 1);
    if (oldData_.empty()) ::unsetenv("XDG_DATA_HOME"); else ::setenv("XDG_DATA_HOME", oldData_.c_str(), 1);
    fs::remove_all(dir_);
  }
  void Install(const std::string &program) {
    const fs::path script = dir_ / program;
    std::ofstream(script) << "#!/bin/sh\nout=\"" << (dir_ / program).string()
                          << ".args\"\nprintf '%s\\n' \"$*\" >> \"$out.log\"\n"
                          << "printf '%s\\n' \"$#\" \"$@\" > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n";
    fs::permissions(script, fs::perms::owner_all);
  }
  // The arguments `program` was started with; empty when it did not run
  // within a few seconds.
  std::vector<std::string> ArgsOf(const std::string &program) {
    const fs::path file = dir_ / (program + ".args");
    for (int i = 0; i < 100 && !fs::exists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(file);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    if (lines.empty()) return {};
    EXPECT_EQ(lines[0], std::to_string(lines.size() - 1));
    return {lines.begin() + 1, lines.end()};
  }
  fs::path dir_;
  std::string oldPath_, oldData_;
};

TEST(BrowserNames, MapTrimmedUppercasedNames) {
  struct Case {
    const char *name;
    bool system;
    const char *program;
    bool dde;
  } cases[] = {
      {"", true, "", false},          {"  system ", true, "", false},
      {"Firefox", false, "firefox", true}, {" google chrome", false, "google-chrome", true},
      {"Opera", false, "opera", true},   {"NetCaptor", false, "NetCaptor", false},
      {"my-browser", false, "my-browser", true},
  };
  for (const auto &c : cases) {
    const BrowserTarget t = MapBrowserName(c.name);
    EXPECT_EQ(t.System, c.system) << c.name;
    EXPECT_EQ(t.Program, c.program) << c.name;
    EXPECT_EQ(t.UseDde, c.dde) << c.name;
  }
}

TEST(BrowserNames, ConversationItemsQuoteTheAddress) {
  EXPECT_EQ(DdeOpenUrlItem(" http://a/ ", true), "\"http://a/\",,0x0,0,,,");
  EXPECT_EQ(DdeOpenUrlItem("http://a/", false), "\"http://a/\",,-1x0,0x3,,,");
  EXPECT_EQ(DdeAutoStartItem(" http://a/", true), "\" http://a/\",,0");
  EXPECT_EQ(DdeAutoStartItem("http://a/", false), "\"http://a/\",,-1");
}

TEST_F(FakeBrowsers, EachOpenOperationReachesTheExpectedProgram) {
  Install("firefox");
  Install("chromium-browser");  // the second name a browser may go by
  enum Op { Launch, Dde, AutoStart };
  struct Case {
    Op op;
    const char *browser;
    const char *expectedProgram;
  } cases[] = {
      {Launch, "System", "xdg-open"},
      {Launch, "firefox ", "firefox"},
      {Launch, "Opera", "xdg-open"},  // not installed: default handler
      {Dde, "", "xdg-open"},
      {Dde, "Chromium", "chromium-browser"},
      {Dde, "Brave", "xdg-open"},
      {AutoStart, "FIREFOX", "firefox"},
      {AutoStart, "Epiphany", "xdg-open"},
  };
  int n = 0;
  for (const auto &c : cases) {
    const std::string address = "http://127.0.0.1/page?n=" + std::to_string(n++);
    bool ok = false;
    switch (c.op) {
      case Launch: ok = LaunchUrl(c.browser, address); break;
      case Dde: ok = DdeOpenUrl(c.browser, address, false, true); break;
      case AutoStart: ok = DdeOpenUrlAutoStart(c.browser, address, false, false); break;
    }
    EXPECT_TRUE(ok);
    EXPECT_EQ(ArgsOf(c.expectedProgram), std::vector<std::string>{address}) << c.browser;
    fs::remove(dir_ / (std::string(c.expectedProgram) + ".args"));
  }
}

TEST_F(FakeBrowsers, ShellCharactersReachTheBrowserAsOneArgument) {
  Install("firefox");
  const std::string address = "http://x/?q=a;touch " + (dir_ / "pwned").string() + "&r=$(id)`id` |cat 'b\"";
  LaunchUrl("Firefox", address);
  EXPECT_EQ(ArgsOf("firefox"), std::vector<std::string>{address});
  DdeOpenUrl("System", address, true, true);
  EXPECT_EQ(ArgsOf("xdg-open"), std::vector<std::string>{address});
  EXPECT_FALSE(fs::exists(dir_ / "pwned"));
}

TEST_F(FakeBrowsers, NoFallbackRequestedLeavesMissingBrowserUnopened) {
  DdeOpenUrlAutoStart("Brave", "http://a/", true, true);
  // A later open proves the launcher ran; the first must not have reached xdg-open.
  LaunchUrl("System", "http://b/");
  EXPECT_EQ(ArgsOf("xdg-open"), std::vector<std::string>{"http://b/"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::ifstream log(dir_ / "xdg-open.args.log");
  std::stringstream all;
  all << log.rdbuf();
  EXPECT_EQ(all.str(), "http://b/\n");
}

TEST_F(FakeBrowsers, InstalledBrowsersListSystemThenFoundOnes) {
  Install("epiphany");
  Install("firefox-esr");
  EXPECT_EQ(InstalledBrowsers(), (std::vector<std::string>{"System", "Firefox", "Epiphany"}));
  EXPECT_EQ(BrowserPath("Firefox"), (dir_ / "firefox-esr").string());
  EXPECT_EQ(BrowserPath("Opera"), "");
}

TEST_F(FakeBrowsers, FavoritesFolderIsCreatedInTheDataDirectory) {
  const fs::path fav = FavoritesFolder();
  EXPECT_EQ(fav, dir_ / "data" / "trawler" / "Favorites");
  EXPECT_TRUE(fs::is_directory(fav));
}

}  // namespace
