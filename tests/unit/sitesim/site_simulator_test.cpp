// The simulator is the ground truth of the end-to-end tests, so its own
// behaviours are pinned here with plain blocking libcurl requests.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sitesim/site_simulator.h"

namespace trawler::sitesim {
namespace {

struct Answer {
  long status = 0;
  std::string headers, body;
};

size_t Collect(char *data, size_t size, size_t n, void *out) {
  static_cast<std::string *>(out)->append(data, size * n);
  return size * n;
}

Answer Fetch(const std::string &url, const std::string &postBody = {}, const std::string &cookie = {}) {
  Answer a;
  CURL *curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &a.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &a.headers);
  if (!postBody.empty()) curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody.c_str());
  if (!cookie.empty()) curl_easy_setopt(curl, CURLOPT_COOKIE, cookie.c_str());
  curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &a.status);
  curl_easy_cleanup(curl);
  return a;
}

int CountOf(const std::string &text, const std::string &what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

SimSite Plain(const std::string &id) {
  SimSite s;
  s.id = id;
  s.caption = "Site " + id;
  return s;
}

TEST(SimPages, HitsAreDeterministicAndPagesEndAtTheTotal) {
  SimSite s = Plain("a");
  s.total = 25;
  EXPECT_EQ(HitAt(s, "Red  Fox", 3).url, HitAt(s, "red fox", 3).url);
  EXPECT_EQ(HitsOnPage(s, "q", 1).size(), 10u);
  EXPECT_EQ(HitsOnPage(s, "q", 3).size(), 5u);
  EXPECT_TRUE(HitsOnPage(s, "q", 4).empty());
}

TEST(SimPages, SharedHitsNameTheSamePageUnderEachSitesSpelling) {
  SimSite a = Plain("a"), b = Plain("b");
  a.overlapPercent = b.overlapPercent = 100;
  b.spelling = 3;
  const SimHit ha = HitAt(a, "q", 0), hb = HitAt(b, "q", 0);
  ASSERT_TRUE(ha.shared && hb.shared);
  EXPECT_EQ(ha.url.substr(0, 11), "http://www.");
  EXPECT_EQ(hb.url, "http://guest@" + ha.url.substr(7));
  a.overlapPercent = 0;
  EXPECT_NE(HitAt(a, "q", 0).url, HitAt(b, "q", 0).url);
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SimSite pre = Plain("pre");
    pre.presearch = pre.requireCookie = true;
    SimSite refresh = Plain("ref");
    refresh.refreshCount = 2;
    SimSite slow = Plain("slow");
    slow.latencyMs = 300;
    SimSite broken = Plain("err");
    broken.errorStatus = 503;
    SimSite next = Plain("next");
    next.paging = SimPaging::RelativeNext;
    next.total = 15;
    sim = std::make_unique<SiteSimulator>(std::vector<SimSite>{Plain("a"), pre, refresh, slow, broken, next});
    ASSERT_NE(sim->start(), 0);
    base = sim->baseUrl();
  }
  std::unique_ptr<SiteSimulator> sim;
  std::string base;
};

TEST_F(SimulatorTest, SearchAnswersGetAndPostAlike) {
  const Answer get = Fetch(base + "/site/a/search?q=red+fox&page=2");
  const Answer post = Fetch(base + "/site/a/search", "q=red%20fox&page=2");
  EXPECT_EQ(get.status, 200);
  EXPECT_EQ(CountOf(get.body, "<li class=\"hit\">"), 10);
  EXPECT_EQ(get.body, post.body);
  EXPECT_NE(get.body.find(HitAt(sim->sites()[0], "red fox", 10).title), std::string::npos);
}

TEST_F(SimulatorTest, PresearchSiteWantsSessionValueAndCookie) {
  const Answer pre = Fetch(base + "/site/pre/pre");
  const std::string sid = SessionValueFor(sim->sites()[1]);
  EXPECT_NE(pre.body.find("value=\"" + sid + "\""), std::string::npos);
  EXPECT_NE(pre.headers.find("Set-Cookie: simsid=" + sid), std::string::npos);
  EXPECT_EQ(Fetch(base + "/site/pre/search?q=x&sid=" + sid).status, 403);
  EXPECT_EQ(Fetch(base + "/site/pre/search?q=x").status, 403);
  EXPECT_EQ(Fetch(base + "/site/pre/search?q=x&sid=" + sid, {}, "simsid=" + sid).status, 200);
}

TEST_F(SimulatorTest, RefreshIsAnsweredTheConfiguredNumberOfTimes) {
  for (int i = 0; i < 2; ++i) {
    const Answer a = Fetch(base + "/site/ref/search?q=x");
    EXPECT_NE(a.headers.find("Refresh: 0"), std::string::npos);
  }
  const Answer page = Fetch(base + "/site/ref/search?q=x");
  EXPECT_EQ(page.headers.find("Refresh:"), std::string::npos);
  EXPECT_EQ(CountOf(page.body, "<li class=\"hit\">"), 10);
}

TEST_F(SimulatorTest, ErrorsRedirectsAndDocuments) {
  EXPECT_EQ(Fetch(base + "/site/err/search?q=x").status, 503);
  EXPECT_EQ(Fetch(base + "/gone/x").status, 404);
  const Answer moved = Fetch(base + "/moved/x");
  EXPECT_EQ(moved.status, 301);
  EXPECT_NE(moved.headers.find("Location: /doc/x"), std::string::npos);
  EXPECT_EQ(Fetch(base + "/nowhere").status, 404);
}

TEST_F(SimulatorTest, RelativeNextLinkOnlyWhileHitsRemain) {
  EXPECT_NE(Fetch(base + "/site/next/search?q=x&page=1").body.find(
                "href=\"/site/next/search?q=x&amp;page=2\""),
            std::string::npos);
  EXPECT_EQ(Fetch(base + "/site/next/search?q=x&page=2").body.find("class=\"next\""), std::string::npos);
}

TEST_F(SimulatorTest, CountsConnectionsOpenAtOnce) {
  std::vector<std::thread> clients;
  for (int i = 0; i < 4; ++i) clients.emplace_back([&] { Fetch(base + "/site/slow/search?q=x"); });
  for (auto &t : clients) t.join();
  EXPECT_EQ(sim->maxOpenConnections(), 4);
  EXPECT_EQ(sim->requestsTo("/site/slow/").size(), 4u);
}

TEST_F(SimulatorTest, StatisticsAreRecordedAndAnsweredWithTheChosenStatus) {
  sim->setStatsStatus(403);
  EXPECT_EQ(Fetch(base + "/stats?server=a&query=b&agent=c").status, 403);
  ASSERT_EQ(sim->requestsTo("/stats").size(), 1u);
  EXPECT_EQ(sim->requestsTo("/stats")[0].target, "/stats?server=a&query=b&agent=c");
}

TEST_F(SimulatorTest, WritesItsSiteFile) {
  const auto dir = std::filesystem::temp_directory_path() / ("sitesim-test-" + std::to_string(getpid()));
  ASSERT_TRUE(sim->writeSiteFiles(dir.string()));
  std::ifstream in(dir / "sitesim.sdf");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("-1=" + base + "/site/pre/pre"), std::string::npos);
  EXPECT_NE(text.str().find("%BASENEXTPAGE%"), std::string::npos);
  EXPECT_EQ(CountOf(text.str(), "\n  site\n"), 6);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace trawler::sitesim
