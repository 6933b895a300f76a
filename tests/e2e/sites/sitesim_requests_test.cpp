// Requests built from the simulator's own description file, sent over real HTTP to the
// simulator on 127.0.0.1, and checked as the simulator received them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "sitesim/site_simulator.h"

namespace trawler::core {
namespace {

using namespace std::chrono_literals;

class SitesimRequestsTest : public ::testing::Test {
protected:
    SitesimRequestsTest() : sim_(sitesim::DemoSites(8)) {
        root_ = std::filesystem::temp_directory_path() /
                ("trawler-sites-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()));
        registry_ = std::make_unique<platform::RegistryStore>(root_ / "registry");
        list_ = std::make_unique<TEngineList>(loop_, *registry_);
    }
    ~SitesimRequestsTest() override {
        list_.reset();
        registry_.reset();
        sim_.stop();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    void SetUp() override {
        ASSERT_NE(sim_.start(), 0);
        ASSERT_TRUE(sim_.writeSiteFiles((root_ / "sites").string()));
        ASSERT_EQ(list_->LoadSites((root_ / "sites").string()), "");
        list_->Category = "0";
        list_->SearchWord = "trawler search";
        list_->onSearchError = [](TEngine *engine, int number, const std::string &message) {
            ADD_FAILURE() << engine->Caption << ": " << number << " " << message;
        };
        // What resetting the engines before a search does to the inputs.
        for (TEngine *engine : list_->Engines) {
            for (auto &input : engine->Inputs) input->CurrentName = input->Name;
        }
    }

    // Sends what the engine's client holds and waits for the answer.
    int Send(TEngine &engine, tHttpMethod method) {
        auto &http = *engine.Http;
        int done = -1;
        // Only the request is under test here, not the search driver's reaction to it.
        http.OnDocBegin = nullptr;
        http.OnDocData = nullptr;
        http.OnCookie = nullptr;
        http.OnRequestDone = [&](int error) { done = error; };
        EXPECT_TRUE(method == tHttpMethod::Get ? http.Get() : http.Post()) << http.ErrorText;
        EXPECT_TRUE(loop_.runUntil([&] { return done >= 0; }, 10s));
        EXPECT_EQ(done, 0) << http.ErrorText;
        return http.StatusCode;
    }

    sitesim::SiteSimulator sim_;
    std::filesystem::path root_;
    platform::PollEventLoop loop_;
    std::unique_ptr<platform::RegistryStore> registry_;
    std::unique_ptr<TEngineList> list_;
};

TEST_F(SitesimRequestsTest, LoadsEverySimulatedSite) {
    ASSERT_EQ(list_->Engines.size(), 8u);
    EXPECT_EQ(list_->Engines[0]->Caption, "Sim Alpha");
    EXPECT_EQ(list_->Engines[0]->Example, "trawler");
    EXPECT_EQ(TEngineList::EngineKey(*list_->Engines[6]), "sitesim:s07");
    EXPECT_EQ(list_->Engines[6]->CgiType, tHttpMethod::Post);
    EXPECT_EQ(list_->CategoryInfo("5").Name, "Search engines");
}

TEST_F(SitesimRequestsTest, FirstAndNextPagesReachTheSite) {
    TEngine &engine = *list_->FindEngine("sitesim:s01");  // page numbers 1, 2, 3
    list_->PrepareEngine(engine);
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);
    ASSERT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);

    const auto requests = sim_.requestsTo("/site/s01/search");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/site/s01/search?q=trawler+search&page=1");
    EXPECT_EQ(requests[1].target, "/site/s01/search?q=trawler+search&page=2");
    EXPECT_EQ(requests[0].header("Pragma"), "no-cache");
    EXPECT_EQ(requests[0].header("Accept"), platform::HttpClient::kDefaultAccept);
}

TEST_F(SitesimRequestsTest, OffsetPagingSendsTheStepFromTheSecondPage) {
    TEngine &engine = *list_->FindEngine("sitesim:s02");
    list_->PrepareEngine(engine);
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);
    ASSERT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);
    const auto requests = sim_.requestsTo("/site/s02/search");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/site/s02/search?q=trawler+search");
    EXPECT_EQ(requests[1].target, "/site/s02/search?q=trawler+search&start=10");
}

TEST_F(SitesimRequestsTest, PostSiteGetsItsParametersInTheBody) {
    TEngine &engine = *list_->FindEngine("Sim Golf");
    list_->Matchmode = mmExact;
    list_->PrepareEngine(engine);
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);
    const auto requests = sim_.requestsTo("/site/s07/");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/site/s07/search");
    EXPECT_EQ(requests[0].body, "q=%22trawler+search%22");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(SitesimRequestsTest, HeaderValuesCannotAddHeaders) {
    TEngine &engine = *list_->FindEngine("sitesim:s01");
    list_->IdentifyAs = "Trawler/1\r\nX-Injected: yes";
    engine.Referrer = "http://ref.test/\nX-Other: yes";
    list_->PrepareEngine(engine);
    EXPECT_EQ(Send(engine, engine.LastMethod), 200);
    const auto requests = sim_.requestsTo("/site/s01/search");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("X-Injected"), "");
    EXPECT_EQ(requests[0].header("X-Other"), "");
    EXPECT_EQ(requests[0].header("User-Agent"), "Trawler/1X-Injected: yes");
    EXPECT_EQ(requests[0].header("Referer"), "http://ref.test/X-Other: yes");
}

TEST_F(SitesimRequestsTest, RegionsOfTheSimulatedSites) {
    list_->LoadRegions();
    EXPECT_EQ(list_->Regions, TStrings{"World"});
    EXPECT_EQ(list_->EnabledRegions, TStrings{"World"});
}

}  // namespace
}  // namespace trawler::core
