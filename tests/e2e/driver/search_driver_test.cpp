#include <gtest/gtest.h>

#include <algorithm>

#include "driver_env.h"
#include "sitesim/sim_pages.h"

namespace trawler::core::testing {
namespace {

using sitesim::SimPaging;
using sitesim::SimSite;

std::vector<SimSite> Sites(int count, int latencyMs = 0, int total = 30) {
    std::vector<SimSite> sites;
    for (int i = 0; i < count; ++i) {
        SimSite s = SimSiteNamed("s" + std::to_string(i), total);
        s.latencyMs = latencyMs;
        s.spelling = i % 4;
        sites.push_back(s);
    }
    return sites;
}

TEST_F(DriverTest, NeverMoreThanMaxConnectionsOpenAndEverySiteReadToItsTotal) {
    Start(Sites(8, 120));
    ASSERT_TRUE(Search());
    EXPECT_EQ(sim_->maxOpenConnections(), 5);
    EXPECT_TRUE(errors_.empty()) << errors_[0];
    for (TEngine *e : list_->Engines) {
        EXPECT_FALSE(e->Active);
        EXPECT_EQ(e->TotalCount, 30);
        EXPECT_EQ(e->HitCount, 30) << e->Id;
        EXPECT_EQ(SearchRequestsTo(e->Id), 3u) << e->Id;
        ASSERT_EQ(e->Timings.size(), 3u);
        EXPECT_GE(e->Timings[0].FirstByteMs, 100);
        EXPECT_GE(e->Timings[0].TotalMs, e->Timings[0].FirstByteMs);
    }
    // Shared pages appear once, with every site that found them.
    bool merged = false;
    for (int i = 0; i < Results().Count(); ++i) merged |= Results().Items(i)->Engines.size() > 1;
    EXPECT_TRUE(merged);
    EXPECT_LT(Results().Count(), 8 * 30);
    EXPECT_EQ(Results().Servers.size(), 8u);
}

TEST_F(DriverTest, StatisticsKeepAConnectionBackAndGoOutOncePerEngine) {
    Start(Sites(4, 80));
    list_->MaxConnections = 3;
    list_->PostStats = true;
    list_->AddQuery = sim_->baseUrl() + "/stats";
    list_->AgentVersion = "Trawler test";
    ASSERT_TRUE(Search());
    const auto stats = sim_->requestsTo("/stats");
    ASSERT_EQ(stats.size(), 4u);
    EXPECT_NE(stats[0].target.find("&query=red+fox&agent=Trawler+test"), std::string::npos) << stats[0].target;
    EXPECT_EQ(stats[0].header("User-Agent"), "Trawler test");
    EXPECT_LE(sim_->maxOpenConnections(), 3);
    EXPECT_TRUE(list_->StatsEnabled);
}

TEST_F(DriverTest, RefusedStatisticsEndStatisticsForTheRunButANetworkFailureDoesNot) {
    Start(Sites(2));
    list_->PostStats = true;
    list_->AddQuery = "http://127.0.0.1:1/stats";
    ASSERT_TRUE(Search());
    EXPECT_TRUE(list_->StatsEnabled);

    list_->AddQuery = sim_->baseUrl() + "/stats";
    sim_->setStatsStatus(403);
    ASSERT_TRUE(Search());
    EXPECT_FALSE(list_->StatsEnabled);
    const auto afterRefusal = sim_->requestsTo("/stats").size();
    EXPECT_GE(afterRefusal, 1u);
    ASSERT_TRUE(Search());
    EXPECT_EQ(sim_->requestsTo("/stats").size(), afterRefusal);
}

TEST_F(DriverTest, ASingleConnectionStillSearchesWithStatisticsOn) {
    Start(Sites(3));
    list_->MaxConnections = 1;
    list_->PostStats = true;
    list_->AddQuery = sim_->baseUrl() + "/stats";
    ASSERT_TRUE(Search());
    EXPECT_EQ(sim_->maxOpenConnections(), 1);
    for (TEngine *e : list_->Engines) EXPECT_EQ(e->HitCount, 30) << e->Id;
    EXPECT_EQ(sim_->requestsTo("/stats").size(), 3u);
}

TEST_F(DriverTest, ImmediateSiteSendsItsNextPagesBeforeOthersStart) {
    auto sites = Sites(3);
    sites[0].immediately = true;
    Start(sites);
    list_->MaxConnections = 1;
    ASSERT_TRUE(Search());
    const auto log = sim_->requests();
    ASSERT_GE(log.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(log[i].target.rfind("/site/s0/", 0), 0u) << log[i].target;
}

TEST_F(DriverTest, PageByPageModePausesEveryEngineAfterEachPage) {
    Start(Sites(3));
    list_->PauseMode = pmPage;
    ASSERT_TRUE(Search());
    EXPECT_TRUE(AllPaused());
    EXPECT_EQ(std::count(suspends_.begin(), suspends_.end(), "*"), 1);
    for (TEngine *e : list_->Engines) EXPECT_EQ(SearchRequestsTo(e->Id), 1u);
    list_->PauseAll(false);
    ASSERT_TRUE(RunToEnd());
    for (TEngine *e : list_->Engines) EXPECT_EQ(SearchRequestsTo(e->Id), 2u);
    EXPECT_EQ(doneEvents_, 0);
}

TEST_F(DriverTest, StopModeWithAHitLimitReadsOnePageOfTen) {
    Start(Sites(3));
    list_->PauseMode = pmNone;
    list_->MaxCountPerEngine = 10;
    ASSERT_TRUE(Search());
    EXPECT_GT(doneEvents_, 0);
    for (TEngine *e : list_->Engines) {
        EXPECT_FALSE(e->Active);
        EXPECT_EQ(SearchRequestsTo(e->Id), 1u);
    }
}

TEST_F(DriverTest, KilobyteLimitPausesBeforeThePageThatWouldPassIt) {
    auto sites = Sites(1, 0, 100);
    Start(sites);
    const std::string base = sim_->baseUrl();
    const double twoPages = sitesim::ResultPageHtml(sites[0], "red fox", 1, base).size() +
                            sitesim::ResultPageHtml(sites[0], "red fox", 2, base).size();
    list_->MaxKBytesPerEngine = static_cast<int>(1.5 * twoPages / 1024);
    ASSERT_TRUE(Search());
    TEngine &e = Engine("s0");
    EXPECT_EQ(SearchRequestsTo("s0"), 2u);
    EXPECT_TRUE(e.Active && e.Suspended);
    EXPECT_FALSE(list_->HttpOf(e).Url.empty()) << "the third page is prepared";
    list_->ResumeEngine(e);
    loop_.runUntil([&] { return list_->Connections == 0 && SearchRequestsTo("s0") == 3u; }, 10s);
    EXPECT_EQ(SearchRequestsTo("s0"), 3u);
}

TEST_F(DriverTest, PagingEndsAtTheTotalOrAtAPageWithoutHits) {
    auto sites = Sites(2, 0, 25);
    sites[1].reportTotal = false;
    sites[1].total = 15;
    Start(sites);
    ASSERT_TRUE(Search());
    EXPECT_EQ(Engine("s0").HitCount, 25);
    EXPECT_EQ(SearchRequestsTo("s0"), 3u);  // 10 + 10 + 5
    EXPECT_EQ(Engine("s1").HitCount, 15);
    EXPECT_EQ(SearchRequestsTo("s1"), 3u);  // the third page is empty
}

TEST_F(DriverTest, EveryPagingStyleOfTheSimulatorIsFollowed) {
    std::vector<SimSite> sites;
    for (SimPaging p : {SimPaging::PageNumber, SimPaging::Offset, SimPaging::AbsoluteNext,
                        SimPaging::RelativeNext, SimPaging::CgiBase}) {
        SimSite s = SimSiteNamed("p" + std::to_string(static_cast<int>(p)), 30);
        s.paging = p;
        s.reportTotal = p != SimPaging::AbsoluteNext;
        sites.push_back(s);
    }
    Start(sites);
    ASSERT_TRUE(Search());
    EXPECT_TRUE(errors_.empty()) << errors_[0];
    for (TEngine *e : list_->Engines) EXPECT_EQ(e->HitCount, 30) << e->Id;
}

TEST_F(DriverTest, StoppedEngineGetsNoLateData) {
    auto sites = Sites(2);
    sites[0].latencyMs = 1500;
    Start(sites);
    list_->ResetEngines();
    list_->StartSearch();
    TEngine &slow = Engine("s0");
    ASSERT_TRUE(loop_.runUntil([&] { return slow.Http && slow.Http->Busy() && SearchRequestsTo("s0") == 1; }, 5s));
    list_->StopEngine(slow);
    list_->Schedule(&slow);
    loop_.runUntil([&] { return false; }, 2000ms);
    EXPECT_FALSE(slow.Active);
    EXPECT_EQ(slow.BytesReceived, 0);
    EXPECT_EQ(slow.HitCount, 0);
    EXPECT_EQ(list_->Connections, 0);
    EXPECT_EQ(Engine("s1").HitCount, 30);
}

TEST_F(DriverTest, PresearchHandsOnTheSessionValueAndCookie) {
    auto sites = Sites(1);
    sites[0].presearch = sites[0].requireCookie = true;
    Start(sites);
    list_->AcceptCookies = true;
    ASSERT_TRUE(Search());
    EXPECT_TRUE(errors_.empty()) << errors_[0];
    EXPECT_EQ(Engine("s0").HitCount, 30);
    const auto log = sim_->requestsTo("/site/s0/");
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].target, "/site/s0/pre");
    EXPECT_NE(log[1].target.find("sid=" + sitesim::SessionValueFor(sites[0])), std::string::npos);
    EXPECT_EQ(log[1].header("Referer"), sim_->baseUrl() + "/site/s0/pre");

    // Without accepting cookies the site refuses the search.
    errors_.clear();
    list_->AcceptCookies = false;
    ASSERT_TRUE(Search());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "s0: 403 Forbidden");
}

TEST_F(DriverTest, PostAndRedirectSitesAnswer) {
    auto sites = Sites(2);
    sites[0].post = true;
    sites[1].redirect = true;
    Start(sites);
    ASSERT_TRUE(Search());
    EXPECT_TRUE(errors_.empty()) << errors_[0];
    EXPECT_EQ(Engine("s0").HitCount, 30);
    EXPECT_EQ(Engine("s1").HitCount, 30);
    const auto posts = sim_->requestsTo("/site/s0/search");
    ASSERT_FALSE(posts.empty());
    EXPECT_EQ(posts[0].method, "POST");
    EXPECT_EQ(posts[0].body.rfind("q=red+fox", 0), 0u) << posts[0].body;
    EXPECT_EQ(list_->HttpOf(Engine("s1")).FinalUrl.find(sim_->baseUrl() + "/site/s1/search?"), 0u);

}

TEST_F(DriverTest, RepeatSendsTheLastPostAgainAfterAFailure) {
    auto sites = Sites(1);
    sites[0].post = true;
    sites[0].errorStatus = 503;
    Start(sites);
    ASSERT_TRUE(Search());
    ASSERT_EQ(errors_.size(), 1u);
    TEngine &post = Engine("s0");
    ASSERT_TRUE(list_->CanRepeat(post));

    sites[0].errorStatus = 0;
    sim_->updateSite(sites[0]);
    int repeats = 0;
    list_->onSearchRepeat = [&](TEngine *) { ++repeats; };
    ASSERT_TRUE(list_->RepeatLastRequest(post));
    ASSERT_TRUE(RunToEnd());
    const auto log = sim_->requestsTo("/site/s0/search");
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1].method, "POST");
    EXPECT_EQ(log[1].body, log[0].body);
    EXPECT_EQ(repeats, 1);
    EXPECT_EQ(post.HitCount, 30) << "the repeated first page leads on to the next pages";
}

TEST_F(DriverTest, RefreshAnswersAreRetriedAFewTimesOnly) {
    auto sites = Sites(2);
    sites[0].refreshCount = 2;
    sites[1].refreshCount = -1;
    Start(sites);
    ASSERT_TRUE(Search());
    EXPECT_EQ(Engine("s0").HitCount, 30);
    EXPECT_EQ(SearchRequestsTo("s1"), 1u + TEngineList::kMaxRefreshRetries);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], std::string("s1: ") + TEngineList::kMessageEndlessRefresh);
}

TEST_F(DriverTest, FailuresEndTheirEngineWithAReadableMessage) {
    auto sites = Sites(4);
    sites[0].errorStatus = 503;
    sites[2].hang = true;
    Start(sites);
    list_->Timeout = 1;
    Engine("s1").Cgi1 = {"-1=http://127.0.0.1:1/nothing"};
    ASSERT_TRUE(Search(30s));
    std::sort(errors_.begin(), errors_.end());
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[0], "s0: 503 Service Unavailable");
    EXPECT_EQ(errors_[1], "s1: Couldn't connect to server");
    EXPECT_EQ(errors_[2], "s2: Timeout was reached");
    EXPECT_EQ(Engine("s3").HitCount, 30);
}

}  // namespace
}  // namespace trawler::core::testing
