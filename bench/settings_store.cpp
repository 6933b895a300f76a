// Start-up and shut-down cost of the settings: loading them (a first run that
// creates every value, and a later start that only reads) and saving them as
// one transaction, against a real SQLite hive in a temporary folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "support/settings/defaults_list.h"

namespace {

using trawler::platform::RegistryStore;
using trawler::settings::tDefaultsList;

struct ScratchFolder {
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trawler-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  std::filesystem::path Path;
};

tDefaultsList QuietSettings() {
  tDefaultsList settings;
  settings.Environment = [](const std::string &) { return std::optional<std::string>(); };
  return settings;
}

void BM_LoadFirstRun(benchmark::State &state) {
  ScratchFolder folder;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<RegistryStore>(folder.Path / std::to_string(run++));
    tDefaultsList settings = QuietSettings();
    state.ResumeTiming();
    settings.Load(*store);
    benchmark::DoNotOptimize(settings.ConnectionsLimit);
  }
}
BENCHMARK(BM_LoadFirstRun)->Unit(benchmark::kMillisecond);

void BM_LoadExisting(benchmark::State &state) {
  ScratchFolder folder;
  RegistryStore store(folder.Path);
  QuietSettings().Load(store);
  for (auto _ : state) {
    tDefaultsList settings = QuietSettings();
    settings.Load(store);
    benchmark::DoNotOptimize(settings.ConnectionsLimit);
  }
}
BENCHMARK(BM_LoadExisting)->Unit(benchmark::kMillisecond);

// Saving with a search history of the given length.
void BM_Save(benchmark::State &state) {
  ScratchFolder folder;
  RegistryStore store(folder.Path);
  tDefaultsList settings = QuietSettings();
  settings.Load(store);
  for (int i = 0; i < state.range(0); ++i) settings.History.push_back("query number " + std::to_string(i));
  for (auto _ : state) benchmark::DoNotOptimize(settings.Save(store));
}
BENCHMARK(BM_Save)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
