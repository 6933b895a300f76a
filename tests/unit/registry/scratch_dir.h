#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

// A fresh folder for one test, removed with its contents afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/trawler-reg-XXXXXX";
    if (::mkdtemp(pattern.data())) FPath = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, ec);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  const std::filesystem::path &Path() const { return FPath; }

 private:
  std::filesystem::path FPath;
};
