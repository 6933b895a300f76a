#pragma once

// An engine list with one site read from a site-file text, ready to read pages in memory.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "core/engine_list.h"
#include "core/extraction.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"

namespace trawler::core::testing {

class ExtractTest : public ::testing::Test {
protected:
    ExtractTest() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("trawler-extract-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "sites");
        registry_ = std::make_unique<platform::RegistryStore>(root_ / "registry");
        list_ = std::make_unique<TEngineList>(loop_, *registry_);
        list_->RootKey = "\\software\\oxbow\\trawler";
    }
    ~ExtractTest() override {
        list_.reset();
        registry_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Loads one site whose result rules are `rules` (lines "code=rule") plus `siteKeys`.
    TEngine &Site(const std::string &rules, const std::string &siteKeys = "",
                  const std::string &inputs = "") {
        std::ofstream(root_ / "sites" / "t.sdf", std::ios::binary)
            << "general\n{\nid=t\n}\nsites\n{\nsite\n{\ncaption=T\nid=s\nregion=World\n" << siteKeys
            << "\ncategory\n{\nweb=0\n}\ncgi1\n{\n-1=http://h/s\n}\ninputs\n{\n" << inputs
            << "\n}\noutputs\n{\noutput\n{\noutputtype=result\n{\n" << rules
            << "\n}\n}\noutput\n{\noutputtype=presearch\n{\n-1=name=\"sid\" value=\"%sid%\">\n}\n}\n}\n}\n}\n";
        EXPECT_EQ(list_->LoadSites((root_ / "sites").string()), "");
        list_->Category = "0";
        EXPECT_EQ(list_->Engines.size(), 1u);
        TEngine &e = *list_->Engines[0];
        e.Active = true;
        list_->HttpOf(e).FinalUrl = "http://h/s?q=x";
        return e;
    }

    results::tResultsList &Results() { return *list_->ResultList; }
    void Read(TEngine &e, const std::string &page) {
        e.PageText = page;
        ReadResultPage(*list_, e);
    }

    std::filesystem::path root_;
    platform::PollEventLoop loop_;
    std::unique_ptr<platform::RegistryStore> registry_;
    std::unique_ptr<TEngineList> list_;
};

}  // namespace trawler::core::testing
