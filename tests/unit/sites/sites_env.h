#pragma once

// What every site test needs: a private directory (site files, registry databases), a real
// registry store in it, a loop for the engines' HTTP clients and an engine list.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "core/engine_list.h"
#include "core/site_file_parser.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"

namespace trawler::core::testing {

inline std::filesystem::path FixtureDir(std::string_view name) {
    return std::filesystem::path(TRAWLER_TEST_DIR) / "fixtures" / "sites" / std::string(name);
}

class SitesTest : public ::testing::Test {
protected:
    SitesTest() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("trawler-sites-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "sites");
        registry_ = std::make_unique<platform::RegistryStore>(root_ / "registry");
        list_ = std::make_unique<TEngineList>(loop_, *registry_);
        list_->PrgVersion = "3.2";
        list_->RootKey = "\\software\\oxbow\\trawler";
    }
    ~SitesTest() override {
        list_.reset();
        registry_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    std::filesystem::path SitesDir() const { return root_ / "sites"; }

    void WriteSite(const std::string &name, std::string_view content) {
        std::ofstream out(SitesDir() / name, std::ios::binary);
        out << content;
    }

    // Parses one text as a file of its own (added to the list's files).
    TSDFInfo &Parse(std::string_view content) {
        auto sdf = std::make_unique<TSDFInfo>();
        sdf->Owner = &list_->SDFList;
        sdf->FileName = "inline.sdf";
        list_->SDFList.Items.push_back(std::move(sdf));
        ParseSiteFile(*list_, *list_->SDFList.Items.back(), content);
        return *list_->SDFList.Items.back();
    }

    // A file with one site: the general section and the given site lines.
    TEngine &ParseSite(std::string_view siteBody, std::string_view fileId = "f") {
        std::string text = "general\n{\nid=" + std::string(fileId) + "\n}\nsites\n{\nsite\n{\n";
        text += siteBody;
        text += "\n}\n}\n";
        auto &sdf = Parse(text);
        EXPECT_EQ(sdf.Engines.size(), 1u);
        return *sdf.Engines.back();
    }

    // A key of the test's registry, opened (and created when asked).
    std::unique_ptr<platform::RegKey> Key(std::string_view path, bool create = false) {
        auto reg = std::make_unique<platform::RegKey>(*registry_);
        reg->OpenKey(path, create);
        return reg;
    }

    std::filesystem::path root_;
    platform::PollEventLoop loop_;
    std::unique_ptr<platform::RegistryStore> registry_;
    std::unique_ptr<TEngineList> list_;
};

}  // namespace trawler::core::testing
