// trawler-cli run as a process against the site simulator on 127.0.0.1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/registry.h"
#include "results/results_list.h"
#include "sitesim/site_simulator.h"

namespace trawler::cli {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int code = -1;
  std::string out, err;
};

std::string ReadFile(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int Count(const std::string &text, const std::string &what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    root_ = fs::temp_directory_path() / ("trawler-cli-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(std::random_device{}()));
    fs::create_directories(root_);
  }
  ~CliTest() override {
    if (sim_) sim_->stop();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void StartSites(std::vector<sitesim::SimSite> sites) {
    sim_ = std::make_unique<sitesim::SiteSimulator>(std::move(sites));
    ASSERT_NE(sim_->start(), 0);
    ASSERT_TRUE(sim_->writeSiteFiles((root_ / "sites").string()));
  }
  static std::vector<sitesim::SimSite> Sites(int n) {
    std::vector<sitesim::SimSite> sites;
    for (int i = 0; i < n; ++i) {
      sitesim::SimSite s;
      s.id = "s0" + std::to_string(i + 1);
      s.caption = "Site " + std::to_string(i + 1);
      s.spelling = i % 4;
      sites.push_back(s);
    }
    return sites;
  }

  // Runs trawler-cli with the test's sites and profile (unless the arguments name others).
  CliRun Cli(std::vector<std::string> args, bool withSites = true) {
    std::vector<std::string> all = {TRAWLER_CLI_PATH, "--profile", (root_ / "profile").string()};
    if (withSites) {
      all.push_back("--sites");
      all.push_back((root_ / "sites").string());
    }
    all.insert(all.end(), args.begin(), args.end());
    const fs::path out = root_ / "stdout", err = root_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(o, 1);
      dup2(e, 2);
      std::vector<char *> argv;
      for (auto &a : all) argv.push_back(a.data());
      argv.push_back(nullptr);
      // No proxy from the test machine's environment may stand between us and 127.0.0.1.
      ::unsetenv("http_proxy");
      ::unsetenv("HTTP_PROXY");
      execv(argv[0], argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CliRun r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    return r;
  }

  fs::path root_;
  std::unique_ptr<sitesim::SiteSimulator> sim_;
};

TEST_F(CliTest, SearchMergesResultsAndReportsEveryEngineInJson) {
  StartSites(Sites(4));
  const CliRun r = Cli({"search", "red", "fox", "--format", "json", "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("{\"query\":\"red fox\",", 0), 0u) << r.out.substr(0, 300);
  EXPECT_EQ(Count(r.out, "\"state\":\"done\""), 4);
  EXPECT_NE(r.out.find("\"key\":\"sitesim:s01\",\"caption\""), std::string::npos);
  EXPECT_NE(r.out.find("\"first_byte_ms\":"), std::string::npos);
  // 4 sites x 30 hits, half of them pages every site returns: far fewer results than hits.
  const int results = Count(r.out, "\"other_urls\":");
  EXPECT_GT(results, 30);
  EXPECT_LT(results, 120);
}

TEST_F(CliTest, EveryOutputFormat) {
  StartSites(Sites(2));
  const CliRun text = Cli({"search", "red", "--quiet"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_NE(text.out.find("\n  http://"), std::string::npos);
  EXPECT_NE(text.out.find("Site 1"), std::string::npos);

  const CliRun csv = Cli({"search", "red", "--quiet", "--format", "csv"});
  EXPECT_EQ(csv.out.rfind("URL;Title;Engines;Date;Description\r\n", 0), 0u);

  const CliRun html = Cli({"search", "red", "--quiet", "--format", "html", "-o", (root_ / "r.html").string()});
  ASSERT_EQ(html.code, 0) << html.err;
  EXPECT_EQ(html.out, "");
  EXPECT_NE(ReadFile(root_ / "r.html").find("<a href=\"http://"), std::string::npos);

  const CliRun twf = Cli({"search", "red", "--quiet", "--format", "twf", "-o", (root_ / "r.twf").string()});
  ASSERT_EQ(twf.code, 0) << twf.err;
  EXPECT_NE(ReadFile(root_ / "r.twf").find("<twr"), std::string::npos);
}

TEST_F(CliTest, LimitsAndFailingSites) {
  auto sites = Sites(3);
  sites[2].errorStatus = 503;
  StartSites(sites);
  const CliRun r = Cli({"search", "red", "--max-per-engine", "10", "--format", "json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Count(r.out, "\"pages\":1,"), 3);
  EXPECT_NE(r.out.find("\"state\":\"error\""), std::string::npos);
  EXPECT_NE(r.out.find("\"error\":\"503 Service Unavailable\""), std::string::npos);
  // Progress on a pipe: one line per finished engine.
  EXPECT_NE(r.err.find("Site 3: error, 1 page, 0 hits"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Site 1: done, 1 page, 10 hits"), std::string::npos) << r.err;
}

TEST_F(CliTest, BlackListedPagesStayOutOfTheOutput) {
  StartSites(Sites(2));
  {
    platform::RegistryStore store(root_ / "profile");
    results::tResultsList list(nullptr);
    list.LoadBlackList(store);
    list.AddBlack("*.s01.example", true, true);
    ASSERT_TRUE(list.SaveBlackList());
  }
  const CliRun r = Cli({"search", "red", "--quiet"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.find("s01.example"), std::string::npos);
  EXPECT_NE(r.out.find("s02.example"), std::string::npos);
}

TEST_F(CliTest, ConvertRoundTripsAndReadsTheOldFormat) {
  StartSites(Sites(2));
  ASSERT_EQ(Cli({"search", "red", "--quiet", "--format", "twf", "-o", (root_ / "a.twf").string()}).code, 0);
  const CliRun json = Cli({"convert", (root_ / "a.twf").string(), (root_ / "a.json").string()});
  ASSERT_EQ(json.code, 0) << json.err;
  const CliRun direct = Cli({"convert", (root_ / "a.twf").string(), (root_ / "b.twf").string()});
  ASSERT_EQ(direct.code, 0) << direct.err;
  EXPECT_EQ(Count(ReadFile(root_ / "a.json"), "\"other_urls\":"), Count(ReadFile(root_ / "b.twf"), "<result>"));
  EXPECT_GT(Count(ReadFile(root_ / "a.json"), "\"other_urls\":"), 0);

  std::ofstream(root_ / "old.twr") << "0\n\nold query\n0\n\n\n#%An old page\n%0http://old.example/\n%1x:y\n%5 7.3.2001\n";
  const CliRun old = Cli({"convert", (root_ / "old.twr").string(), (root_ / "old.csv").string()});
  ASSERT_EQ(old.code, 0) << old.err;
  EXPECT_NE(ReadFile(root_ / "old.csv").find("\"http://old.example/\";\"An old page\""), std::string::npos)
      << ReadFile(root_ / "old.csv");

  const CliRun bad = Cli({"convert", (root_ / "old.csv").string(), (root_ / "x.json").string()});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("Bad file format"), std::string::npos) << bad.err;
}

TEST_F(CliTest, UsageErrorsAndNothingToSearch) {
  StartSites(Sites(1));
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } cases[] = {
      {{"search", "x", "--colour", "red"}, 2, "unknown option \"--colour\""},
      {{"search", "x", "--engine", "nope:none"}, 2, "no site \"nope:none\""},
      {{"convert", "a.twf", "b.doc"}, 2, "convert writes .twf, .json, .csv, .htm or .html"},
      {{"search", "x", "--category", "77"}, 3, "no site serves category \"77\""},
  };
  for (const auto &c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(Count(r.err, "\n"), 1) << "one clear line: " << r.err;
  }
}

TEST_F(CliTest, EverySiteFailingIsExitCodeThree) {
  auto sites = Sites(2);
  for (auto &s : sites) s.errorStatus = 500;
  StartSites(sites);
  const CliRun r = Cli({"search", "x", "--quiet"});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("every site failed (Site 1: 500 Internal Server Error)"), std::string::npos) << r.err;
}

TEST_F(CliTest, DemoSearchesTheSimulatedSitesOffline) {
  const CliRun r = Cli({"--demo", "search", "offline", "--format", "json", "--quiet"}, false);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Count(r.out, "\"state\":\"done\""), 20) << r.out.substr(r.out.find("\"engines\""));
  const CliRun sites = Cli({"--demo", "sites"}, false);
  EXPECT_NE(sites.out.find("* sitesim:s01\tSim Alpha"), std::string::npos) << sites.out;
}

TEST_F(CliTest, CheckSitesNamesTheBrokenOnes) {
  auto sites = Sites(3);
  sites[1].total = 0;  // the site answers, but with no hits
  StartSites(sites);
  const CliRun r = Cli({"check-sites"});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.out.find("ok     sitesim:s01"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("BROKEN sitesim:s02"), std::string::npos) << r.out;
  const CliRun one = Cli({"check-sites", "--engine", "sitesim:s03"});
  EXPECT_EQ(one.code, 0) << one.out << one.err;
  EXPECT_EQ(Count(one.out, "\n"), 1);
}

}  // namespace
}  // namespace trawler::cli
