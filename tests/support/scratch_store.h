// A registry store in a fresh folder for one test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "platform/registry.h"

class ScratchStore {
 public:
  ScratchStore() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/trawler-test-XXXXXX";
    if (::mkdtemp(pattern.data())) FPath = pattern;
    FStore = std::make_unique<trawler::platform::RegistryStore>(FPath / "registry");
  }
  ~ScratchStore() {
    FStore.reset();
    std::error_code ec;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, ec);
  }
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;

  trawler::platform::RegistryStore& Store() { return *FStore; }
  const std::filesystem::path& Path() const { return FPath; }

 private:
  std::filesystem::path FPath;
  std::unique_ptr<trawler::platform::RegistryStore> FStore;
};
