// Shared pieces of the catalogue tests: a scratch store with a folder for
// files, and a look at what the catalogue's key holds.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "results/saved_results.h"
#include "support/scratch_store.h"

namespace trawler::results::testing {

class CatalogueTest : public ::testing::Test {
 protected:
  // A file in the scratch folder, created with some content.
  std::string MakeFile(const std::string& name, const std::string& content = "x") {
    const std::filesystem::path path = scratch.Path() / "files" / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::string Folder() const { return (scratch.Path() / "files").string(); }

  platform::RegKey CatalogueKey() {
    platform::RegKey key(scratch.Store());
    key.OpenKey(tUPResultsList::kDefaultKey, true);
    return key;
  }
  std::vector<std::string> ValueNames() { return CatalogueKey().GetValueNames(); }
  std::vector<std::string> SubkeyNames() { return CatalogueKey().GetKeyNames(); }
  std::string Value(const std::string& name) { return CatalogueKey().ReadString(name).value_or("<none>"); }

  ScratchStore scratch;
};

}  // namespace trawler::results::testing
