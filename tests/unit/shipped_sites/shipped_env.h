#pragma once

// The site descriptions Trawler ships (sites/ of the source tree), loaded by the real loader
// into an engine list with a private registry, and the fixture pages written for them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"

namespace trawler::core::testing {

inline std::filesystem::path ShippedSitesDir() {
    return std::filesystem::path(TRAWLER_TEST_DIR).parent_path() / "sites";
}

inline std::string ReadFixture(const std::string &name) {
    std::ifstream in(std::filesystem::path(TRAWLER_TEST_DIR) / "sites" / name, std::ios::binary);
    EXPECT_TRUE(in) << "missing fixture " << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ShippedSitesTest : public ::testing::Test {
protected:
    ShippedSitesTest() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("trawler-shipped-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_);
        registry_ = std::make_unique<platform::RegistryStore>(root_ / "registry");
        list_ = std::make_unique<TEngineList>(loop_, *registry_);
        list_->RootKey = "\\software\\oxbow\\trawler";
        list_->PrgVersion = "1.0";
        load_error_ = list_->LoadSites(ShippedSitesDir().string());
    }
    ~ShippedSitesTest() override {
        list_.reset();
        registry_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    std::filesystem::path root_;
    platform::PollEventLoop loop_;
    std::unique_ptr<platform::RegistryStore> registry_;
    std::unique_ptr<TEngineList> list_;
    std::string load_error_;
};

}  // namespace trawler::core::testing
