#pragma once

// A search run end to end: the simulator on 127.0.0.1 playing the sites, their description
// file loaded by the engine list, and the driver talking real HTTP to them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"
#include "sitesim/site_simulator.h"

namespace trawler::core::testing {

using namespace std::chrono_literals;

inline sitesim::SimSite SimSiteNamed(const std::string &id, int total = 30) {
    sitesim::SimSite s;
    s.id = id;
    s.caption = "Site " + id;
    s.total = total;
    return s;
}

class DriverTest : public ::testing::Test {
protected:
    DriverTest() {
        root_ = std::filesystem::temp_directory_path() /
                ("trawler-driver-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()));
        registry_ = std::make_unique<platform::RegistryStore>(root_ / "registry");
    }
    ~DriverTest() override {
        list_.reset();
        registry_.reset();
        if (sim_) sim_->stop();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Starts the simulator with these sites and loads their description file.
    void Start(const std::vector<sitesim::SimSite> &sites) {
        sim_ = std::make_unique<sitesim::SiteSimulator>(sites);
        ASSERT_NE(sim_->start(), 0);
        ASSERT_TRUE(sim_->writeSiteFiles((root_ / "sites").string()));
        list_ = std::make_unique<TEngineList>(loop_, *registry_);
        list_->RootKey = "\\software\\oxbow\\trawler";
        ASSERT_EQ(list_->LoadSites((root_ / "sites").string()), "");
        list_->LoadRegions();
        list_->Category = "0";
        list_->SelectCategory("0");
        list_->SearchWord = "red fox";
        list_->MaxConnections = 5;
        list_->Timeout = 10;
        list_->onSearchDone = [this](TEngine *) { ++doneEvents_; };
        list_->onSearchEngineError = [this](TEngine *engine, const std::string &message) {
            errors_.push_back((engine ? engine->Id : std::string("-")) + ": " + message);
        };
        list_->onSearchSuspend = [this](TEngine *engine) { suspends_.push_back(engine ? engine->Id : "*"); };
    }

    TEngine &Engine(const std::string &id) { return *list_->FindEngine("sitesim:" + id); }

    // Starts a search and runs the loop until it has ended (or the time is up).
    bool Search(std::chrono::milliseconds limit = 20s) {
        doneEvents_ = 0;
        list_->ResetEngines();
        list_->StartSearch();
        return RunToEnd(limit);
    }
    bool RunToEnd(std::chrono::milliseconds limit = 20s) {
        return loop_.runUntil([&] { return Ended(); }, limit);
    }
    bool Ended() const {
        if (list_->Connections != 0) return false;
        for (TEngine *e : list_->Engines)
            if (e->Active && !e->Suspended) return false;
        return doneEvents_ > 0 || AllPaused();
    }
    bool AllPaused() const {
        bool any = false;
        for (TEngine *e : list_->Engines) {
            if (!e->Active) continue;
            any = true;
            if (!e->Suspended) return false;
        }
        return any;
    }
    std::size_t SearchRequestsTo(const std::string &id) {
        std::size_t n = 0;
        for (const auto &r : sim_->requestsTo("/site/" + id + "/")) n += r.target.find("/pre") == std::string::npos;
        return n;
    }
    results::tResultsList &Results() { return *list_->ResultList; }

    std::filesystem::path root_;
    platform::PollEventLoop loop_;
    std::unique_ptr<platform::RegistryStore> registry_;
    std::unique_ptr<sitesim::SiteSimulator> sim_;
    std::unique_ptr<TEngineList> list_;
    int doneEvents_ = 0;
    std::vector<std::string> errors_;
    std::vector<std::string> suspends_;
};

}  // namespace trawler::core::testing
