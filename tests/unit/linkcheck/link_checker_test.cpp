// The link checker against real servers on 127.0.0.1: the site simulator for
// ordinary pages, the scripted server for slow, bare and counted answers.

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "closing_listener.h"
#include "fixed_zone.h"
#include "platform/poll_event_loop.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"
#include "sitesim/site_simulator.h"
#include "support/scripted_http_server.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedHttpServer;
using Connection = ScriptedHttpServer::Connection;
using Request = ScriptedHttpServer::Request;

// Holds each answer back a while, so that checks overlap.
ScriptedHttpServer::Handler Held(std::chrono::milliseconds delay) {
  return [delay](const Request&, Connection& c) {
    c.Sleep(delay);
    c.SendResponse(200, "OK", {"Content-Type: text/plain"}, "held");
  };
}

class LinkChecker : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(sim.start(), 0);
    bots.OnResult = [this](const tBotResult& r) { results.push_back(r); };
  }

  // Dispatches and runs the loop until every queued address is checked.
  bool CheckAll(std::chrono::milliseconds limit = 10s) {
    bots.Dispatch();
    return loop.runUntil([&] { return bots.Idle(); }, limit);
  }

  const tBotResult* ResultFor(const std::string& url) const {
    for (const tBotResult& r : results)
      if (r.Url == url) return &r;
    return nullptr;
  }

  sitesim::SiteSimulator sim{{}};
  ScriptedHttpServer server;
  platform::PollEventLoop loop;
  tListSearchBot bots{loop};
  std::vector<tBotResult> results;
};

TEST_F(LinkChecker, ChecksSimulatorPagesAndAppliesTheOutcome) {
  FixedZone zone;  // nine hours east of UTC
  const std::string base = sim.baseUrl();
  struct Case {
    std::string path;
    bool deleteBad;
    bool kept;
    int state;
    std::string mainUrl;  // after the check
    std::vector<std::string> urls;
  } cases[] = {
      {"/doc/a", false, true, csGood, base + "/doc/a", {base + "/doc/a"}},
      {"/gone/b", false, true, csBad, base + "/gone/b", {base + "/gone/b"}},
      {"/gone/b", true, false, 0, "", {}},
      {"/moved/c", true, true, csGood, base + "/doc/c", {base + "/moved/c", base + "/doc/c"}},
      {"/found/d", true, true, csGood, base + "/found/d", {base + "/found/d"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + (c.deleteBad ? " deleting bad links" : ""));
    tResultsList list;
    tHit hit;
    hit.Url = base + c.path;
    hit.Title = c.path;
    hit.Engine = "e";
    hit.CheckState = csUnchecked;
    list.AddHit(hit, false);
    bots.OnResult = [&](const tBotResult& r) {
      results.push_back(r);
      list.ApplyCheckResult(r, c.deleteBad);
    };
    ASSERT_TRUE(bots.Enqueue(hit.Url));
    ASSERT_TRUE(CheckAll());
    ASSERT_EQ(list.Count(), c.kept ? 1 : 0);
    if (!c.kept) continue;
    tUrlResult& r = *list.Items(0);
    EXPECT_EQ(r.CheckState, c.state);
    EXPECT_EQ(r.MainUrl(), c.mainUrl);
    EXPECT_EQ(r.Urls(), c.urls);
  }

  // What the answers said, as the checker read them.
  const tBotResult* doc = ResultFor(base + "/doc/a");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Code, "200");
  EXPECT_EQ(doc->Reason, "HTTP/1.1 200 OK");
  EXPECT_EQ(doc->Server, " trawler-sitesim");
  EXPECT_EQ(doc->ContentType, " text/html; charset=utf-8");
  EXPECT_EQ(doc->Size, "55 bytes");
  // Last-Modified 2023-11-14 22:13:20 UTC is 07:13:20 the next morning here.
  text::CalendarDateTime local = text::DecodeDateTime(doc->Date);
  EXPECT_EQ((std::vector<int>{local.Year, local.Month, local.Day, local.Hour, local.Minute, local.Second}),
            (std::vector<int>{2023, 11, 15, 7, 13, 20}));
  const tBotResult* gone = ResultFor(base + "/gone/b");
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->Code, "404");
  EXPECT_EQ(gone->Reason, "HTTP/1.1 404 Not Found");
  EXPECT_EQ(gone->Size, "36");  // no Accept-Ranges
  EXPECT_EQ(gone->Date, 0);
  const tBotResult* found = ResultFor(base + "/found/d");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Code, "302");
  EXPECT_EQ(found->Location, "");
}

TEST_F(LinkChecker, AsksHttpsServersAndAnswersOtherSchemesAtOnce) {
  ClosingListener listener;
  ASSERT_NE(listener.Port(), 0);
  const std::string https = "https://127.0.0.1:" + std::to_string(listener.Port()) + "/page";
  struct Case {
    std::string url;
    std::string code;
    std::string reason;
  } cases[] = {
      // The listener speaks no TLS: the check was made and failed.
      {https, "", kCheckConnectionFailed},
      {"ftp://files.example/a.zip", "0", "Protocol FTP not supported"},
      {"mailto:someone@example.org", "0", "Protocol MAILTO not supported"},
      {"gopher://old.example/", "0", "Protocol GOPHER not supported"},
  };
  for (const Case& c : cases) ASSERT_TRUE(bots.Enqueue(c.url));
  ASSERT_TRUE(CheckAll());
  for (const Case& c : cases) {
    const tBotResult* r = ResultFor(c.url);
    ASSERT_NE(r, nullptr) << c.url;
    EXPECT_EQ(r->Code, c.code) << c.url;
    EXPECT_EQ(r->Reason, c.reason) << c.url;
  }
  EXPECT_EQ(listener.Accepted(), 1);
  EXPECT_EQ(results.size(), std::size(cases));
}

TEST_F(LinkChecker, ARefusedConnectionIsNoAnswer) {
  const std::string url = "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/doc/a";
  tResultsList list;
  tHit hit;
  hit.Url = url;
  hit.Title = "t";
  hit.CheckState = csUnchecked;
  tUrlResult& r = *list.AddHit(hit, false).Result;
  bots.OnResult = [&](const tBotResult& result) { list.ApplyCheckResult(result, true); };
  bots.Enqueue(url);
  ASSERT_TRUE(CheckAll());
  EXPECT_EQ(r.CheckState, csUnchecked);
  EXPECT_EQ(r.Reason, kCheckConnectionFailed);
  EXPECT_EQ(r.Code, 0);
}

TEST_F(LinkChecker, ATimedOutCheckReportsOnceAndTheCheckerGoesOn) {
  // Header lines trickle in, so only the checker's own time limit ends it.
  server.Handle("/slow", [](const Request&, Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\n");
    for (int i = 0; i < 30 && c.Send("X-Wait: 1\r\n"); ++i) c.Sleep(100ms);
  });
  server.Handle("/quick", [](const Request&, Connection& c) {
    c.SendResponse(200, "OK", {"Server: quick"}, "");
  });
  bots.MaxBots = 0;  // one checker for both addresses
  bots.Timeout = 1;
  const std::string slow = server.Url("/slow");
  const std::string quick = server.Url("/quick");
  bots.Enqueue(slow);
  bots.Enqueue(quick);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(CheckAll());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2500ms);
  loop.runFor(300ms);  // anything late would arrive now
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].Url, slow);
  EXPECT_EQ(results[0].Code, "");
  EXPECT_EQ(results[0].Reason, kCheckTimedOut);
  EXPECT_EQ(results[1].Url, quick);
  EXPECT_EQ(results[1].Code, "200");
  EXPECT_EQ(results[1].Server, " quick");
  EXPECT_EQ(bots.BotCount(), 1);
}

TEST_F(LinkChecker, AsksWithAHeadRequestPastAnyCache) {
  server.Handle("/page", ScriptedHttpServer::Echo());
  for (const char* agent : {"", "Trawler/2.0"}) {
    bots.UserAgent = agent;
    bots.Enqueue(server.Url("/page"));
    ASSERT_TRUE(CheckAll());
    const Request request = server.LastRequest();
    EXPECT_EQ(request.method, "HEAD");
    EXPECT_EQ(request.Header("Pragma"), "no-cache");
    EXPECT_EQ(request.Header("User-Agent"), agent);
    EXPECT_EQ(request.HasHeader("User-Agent"), agent[0] != 0);
  }
}

TEST_F(LinkChecker, AReusedCheckerStartsWithAnEmptySize) {
  server.Handle("/bare", [](const Request&, Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
  });
  bots.MaxBots = 0;
  const std::string doc = sim.baseUrl() + "/doc/a";
  bots.Enqueue(doc);
  bots.Enqueue(server.Url("/bare"));
  ASSERT_TRUE(CheckAll());
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].Size, "55 bytes");
  EXPECT_NE(results[0].Date, 0);
  EXPECT_EQ(results[1].Code, "200");
  EXPECT_EQ(results[1].Size, "");
  EXPECT_EQ(results[1].Server, "");
  EXPECT_EQ(results[1].Date, 0);
}

// Counts, on the server's side, the requests whose answers are being held
// at one moment. (A count of open connections would also see a connection
// whose answer was sent but whose socket is not closed yet.)
class HeldCounter {
 public:
  ScriptedHttpServer::Handler Handler(std::chrono::milliseconds delay) {
    return [this, delay](const Request&, Connection& c) {
      {
        std::lock_guard<std::mutex> lock(FMutex);
        FMost = std::max(FMost, ++FHeld);
      }
      c.Sleep(delay);
      {
        std::lock_guard<std::mutex> lock(FMutex);
        --FHeld;
      }
      c.SendResponse(200, "OK", {"Content-Type: text/plain"}, "held");
    };
  }
  int Most() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FMost;
  }

 private:
  std::mutex FMutex;
  int FHeld = 0;
  int FMost = 0;
};

TEST_F(LinkChecker, MaxBotsGivesOneCheckerMoreThanItsValue) {
  struct Case {
    int maxBots;
    int urls;
    int parallel;
  } cases[] = {{0, 4, 1}, {10, 15, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE("MaxBots " + std::to_string(c.maxBots));
    HeldCounter counter;
    ScriptedHttpServer counted;
    counted.Handle("/held", counter.Handler(250ms));
    results.clear();
    bots.MaxBots = c.maxBots;
    for (int i = 0; i < c.urls; ++i) bots.Enqueue(counted.Url("/held") + "?n=" + std::to_string(i));
    ASSERT_TRUE(CheckAll());
    EXPECT_EQ(counter.Most(), c.parallel);
    EXPECT_EQ(static_cast<int>(results.size()), c.urls);
    EXPECT_EQ(bots.BotCount(), c.maxBots + 1);
    bots.Stop();
  }
}

TEST_F(LinkChecker, QueuesAnAddressOnceIgnoringCase) {
  EXPECT_TRUE(bots.Enqueue("  http://h.example/Page  "));
  EXPECT_FALSE(bots.Enqueue("HTTP://H.EXAMPLE/page"));
  EXPECT_FALSE(bots.Enqueue("   "));
  EXPECT_TRUE(bots.Enqueue("http://h.example/other"));
  EXPECT_EQ(bots.Queue(), (std::deque<std::string>{"http://h.example/Page", "http://h.example/other"}));
  bots.ClearQueue();
  EXPECT_TRUE(bots.Queue().empty());
  // Once it left the queue, the address may be queued again.
  EXPECT_TRUE(bots.Enqueue("http://h.example/page"));
}

TEST_F(LinkChecker, OneDispatchWorksThroughAddressesThatEndAtOnce) {
  bots.MaxBots = 0;
  for (const char* url : {"ftp://a.example/1", "ftp://a.example/2", "news:comp.lang"})
    bots.Enqueue(url);
  bots.Dispatch();
  EXPECT_EQ(results.size(), 3u);
  EXPECT_TRUE(bots.Queue().empty());
  EXPECT_FALSE(bots.Dispatching());
}

TEST_F(LinkChecker, RebalancePutsRunningChecksBackAndEveryAddressReportsOnce) {
  server.Handle("/held", Held(250ms));
  bots.MaxBots = 10;
  std::set<std::string> urls;
  for (int i = 0; i < 15; ++i) {
    urls.insert(server.Url("/held") + "?n=" + std::to_string(i));
    bots.Enqueue(server.Url("/held") + "?n=" + std::to_string(i));
  }
  bots.Dispatch();
  EXPECT_EQ(bots.BusyCount(), 11);
  bots.MaxBots = 1;
  bots.Rebalance();
  EXPECT_EQ(bots.BotCount(), 2);
  EXPECT_EQ(bots.BusyCount(), 2);
  EXPECT_EQ(bots.Queue().size(), 13u);
  ASSERT_TRUE(loop.runUntil([&] { return bots.Idle(); }, 10s));
  loop.runFor(100ms);
  std::multiset<std::string> reported;
  for (const tBotResult& r : results) {
    reported.insert(r.Url);
    EXPECT_EQ(r.Code, "200") << r.Url;
  }
  EXPECT_EQ(reported, std::multiset<std::string>(urls.begin(), urls.end()));
}

TEST_F(LinkChecker, StopEndsEveryCheckSilently) {
  server.Handle("/held", Held(300ms));
  bots.MaxBots = 2;
  for (int i = 0; i < 5; ++i) bots.Enqueue(server.Url("/held") + "?n=" + std::to_string(i));
  bots.Dispatch();
  EXPECT_EQ(bots.BusyCount(), 3);
  bots.Stop();
  EXPECT_EQ(bots.BotCount(), 0);
  loop.runFor(600ms);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(bots.Queue().size(), 2u);  // the queue stays for a later dispatch
}

TEST_F(LinkChecker, AHandlerMayStopOrFeedTheChecker) {
  bots.MaxBots = 0;
  // Stopping from the handler ends the dispatch that raised it.
  bots.OnResult = [&](const tBotResult& r) {
    results.push_back(r);
    bots.Stop();
  };
  for (const char* url : {"ftp://a.example/1", "ftp://a.example/2"}) bots.Enqueue(url);
  bots.Dispatch();
  EXPECT_EQ(results.size(), 1u);
  EXPECT_EQ(bots.Queue().size(), 1u);

  // Addresses queued by the handler are checked too.
  results.clear();
  bots.ClearQueue();
  const std::string doc = sim.baseUrl() + "/doc/";
  bots.OnResult = [&](const tBotResult& r) {
    results.push_back(r);
    if (results.size() < 4) bots.Enqueue(doc + std::to_string(results.size()));
  };
  bots.Enqueue(doc + "0");
  ASSERT_TRUE(CheckAll());
  ASSERT_EQ(results.size(), 4u);
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i].Url, doc + std::to_string(i));
    EXPECT_EQ(results[i].Code, "200");
  }
}

TEST_F(LinkChecker, GoesThroughTheProxyUnlessTheHostIsExempt) {
  // The target the proxy is asked for is served by the proxy itself.
  ScriptedHttpServer proxy;
  const std::string target = server.Url("/page");
  proxy.Handle(target, [](const Request&, Connection& c) {
    c.SendResponse(200, "OK", {"Server: the proxy"}, "");
  });
  server.Handle("/page", [](const Request&, Connection& c) {
    c.SendResponse(200, "OK", {"Server: the site"}, "");
  });
  bots.Proxy = "127.0.0.1";
  bots.ProxyPort = std::to_string(proxy.Port());
  struct Case {
    const char* bypass;
    const char* server;
  } cases[] = {{"", " the proxy"}, {"*.example;127.0.0.1", " the site"}};
  for (const Case& c : cases) {
    results.clear();
    bots.ProxyBypass = c.bypass;
    bots.Enqueue(target);
    ASSERT_TRUE(CheckAll());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].Server, c.server) << c.bypass;
  }
}

}  // namespace
}  // namespace trawler::results
