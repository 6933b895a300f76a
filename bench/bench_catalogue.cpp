// What the saved-results catalogue costs with many sets.
//
//   ScanFolder/N    a folder of N small result-set files scanned into an
//                   empty catalogue shared with other copies of the program
//                   (not Exclusive), the store on disk.
//   LoadItems/N     reading a catalogue of N items again ("Refresh").

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "results/result_set_file.h"
#include "results/results_list.h"
#include "results/saved_results.h"

namespace {

namespace fs = std::filesystem;
using trawler::results::tUPResultsList;

// A fresh folder with n result sets of three results each.
fs::path MakeFolder(int n) {
  std::string pattern = (fs::temp_directory_path() / "trawler-bench-XXXXXX").string();
  const fs::path folder = ::mkdtemp(pattern.data());
  fs::create_directory(folder / "sets");
  trawler::results::tResultsList list;
  list.Keywords = "query words";
  list.Category = "web";
  list.SearchDate = 45000;
  for (int i = 0; i < 3; ++i) {
    trawler::results::tHit hit;
    hit.Url = "http://a.lan/" + std::to_string(i);
    hit.Title = "t";
    hit.Engine = "e";
    list.AddHit(hit, false);
  }
  for (int i = 0; i < n; ++i)
    trawler::results::SaveToFile(list, (folder / "sets" / ("set" + std::to_string(i) + ".twf")).string(),
                                 "", true, false, false, "");
  return folder;
}

void ScanFolder(benchmark::State& state) {
  const fs::path folder = MakeFolder(static_cast<int>(state.range(0)));
  int round = 0;
  for (auto _ : state) {
    trawler::platform::RegistryStore store(folder / ("store" + std::to_string(round++)));
    tUPResultsList upr(store);
    upr.ScanFolder((folder / "sets").string());
    benchmark::DoNotOptimize(upr.Count());
  }
  fs::remove_all(folder);
}
BENCHMARK(ScanFolder)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

void LoadItems(benchmark::State& state) {
  const fs::path folder = MakeFolder(static_cast<int>(state.range(0)));
  trawler::platform::RegistryStore store(folder / "store");
  tUPResultsList upr(store);
  upr.ScanFolder((folder / "sets").string());
  for (auto _ : state) {
    upr.LoadItems();
    benchmark::DoNotOptimize(upr.Count());
  }
  fs::remove_all(folder);
}
BENCHMARK(LoadItems)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
