// A fresh registry store in a private temporary folder for each test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/registry.h"
#include "support/settings/defaults_list.h"
#include "support/settings/proxy_discovery.h"

namespace trawler::settings::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trawler-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) FPath = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, ec);
  }
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;
  const std::filesystem::path &Path() const { return FPath; }

 private:
  std::filesystem::path FPath;
};

// An environment made of a fixed table instead of the process's variables.
inline EnvironmentLookup FixedEnvironment(std::map<std::string, std::string> variables) {
  return [variables = std::move(variables)](const std::string &name) -> std::optional<std::string> {
    auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Folder.Path().empty());
    NewStore();
  }

  // An empty store in a folder of its own (for tables of first-run cases).
  void NewStore() {
    Store.reset();
    Store = std::make_unique<platform::RegistryStore>(Folder.Path() / ("config" + std::to_string(FStores++)));
  }

  // A settings object that sees no proxy in the environment unless told.
  std::unique_ptr<tDefaultsList> NewSettings(std::map<std::string, std::string> environment = {}) {
    auto settings = std::make_unique<tDefaultsList>();
    settings->Environment = FixedEnvironment(std::move(environment));
    return settings;
  }

  std::unique_ptr<tDefaultsList> Loaded(std::map<std::string, std::string> environment = {}) {
    auto settings = NewSettings(std::move(environment));
    settings->Load(*Store);
    return settings;
  }

  // A key of the current user's hive, opened (created) for direct checks.
  std::unique_ptr<platform::RegKey> Key(std::string_view path, bool create = true) {
    auto key = std::make_unique<platform::RegKey>(*Store);
    if (!key->OpenKey(path, create)) return nullptr;
    return key;
  }

  TempFolder Folder;
  std::unique_ptr<platform::RegistryStore> Store;

 private:
  int FStores = 0;
};

}  // namespace trawler::settings::testing
