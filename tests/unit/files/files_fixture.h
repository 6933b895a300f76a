// Shared pieces of the file tests: a private folder that is removed
// afterwards, whole-file reading and writing, and a result builder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "results/results_list.h"

namespace trawler::results::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trawler-files-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    FPath = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (FPath / name).string(); }
  const std::filesystem::path& Path() const { return FPath; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FPath))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path FPath;
};

inline std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteAll(const std::string& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
}

struct ResultSpec {
  std::string Title;
  std::vector<std::string> Urls;  // the first is the main address
  std::vector<std::string> Engines = {"e1"};
};

// Adds a result the way the search would leave it: the first address main,
// the others further ones.
inline tUrlResult& AddResult(tResultsList& list, const ResultSpec& wanted) {
  tUrlResult& r = list.CreateResult();
  for (std::size_t i = 0; i < wanted.Urls.size(); ++i) {
    if (i == 0)
      r.AddUrl(wanted.Urls[i]);
    else
      r.AddOtherUrl(wanted.Urls[i]);
  }
  r.Title = wanted.Title;
  r.Engines = wanted.Engines;
  r.ApplyFilter();
  list.ResultsChanged();
  return r;
}

inline std::vector<std::string> Titles(const tResultsList& list) {
  std::vector<std::string> titles;
  for (int i = 0; i < list.Count(); ++i) titles.push_back(list.Items(i)->Title);
  return titles;
}

inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace trawler::results::testing
