// Saving and loading a result set of 100,000 results: throughput of the
// writer and the reader, and the peak memory of the process.
//   bench_files --benchmark_filter=Save   (or Load, Append) to see one alone,
// since the peak memory counter is the process's peak so far.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "results/result_set_file.h"
#include "results/result_set_loader.h"

using namespace trawler::results;

namespace {

constexpr int kResults = 100000;

std::string BenchFile(const char* name) {
  return "/tmp/bench_files_" + std::to_string(::getpid()) + "_" + name + ".twf";
}

void FillList(tResultsList& list, int count, const std::string& host) {
  list.Keywords = "metasearch benchmark";
  list.Category = "web";
  list.SearchDate = 45000.5;
  for (int i = 0; i < count; ++i) {
    tUrlResult& r = list.CreateResult();
    const std::string n = std::to_string(i);
    r.AddUrl("http://" + host + "/page/" + n + "?q=metasearch&x=1");
    r.AddOtherUrl("http://www." + host + "/page/" + n + "?q=metasearch&x=1");
    r.Title = "Result number " + n + " about metasearch & friends";
    r.Engines = {"sites:alpha", "sites:beta"};
    r.Description = "A description of result " + n +
                    " with <b>some markup</b> and enough words to look like a real snippet "
                    "that a search site would return for the query.";
    r.Date = 44000 + i % 1000;
    r.Created = 45000.25;
    r.Relevance = i % 100 + 1;
    r.Code = 200;
    r.Reason = "OK";
    r.ContentType = "text/html";
  }
}

double FileMegabytes(const std::string& file) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  return static_cast<double>(st.st_size) / (1024.0 * 1024.0);
}

double PeakRssMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_SaveResultSet(benchmark::State& state) {
  tResultsList list;
  FillList(list, kResults, "a.lan");
  const std::string file = BenchFile("save");
  for (auto _ : state) SaveToFile(list, file, "log line", true, false, false, "");
  const double mb = FileMegabytes(file);
  state.counters["file_MB"] = mb;
  state.counters["MB_per_s"] = benchmark::Counter(mb * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
  ::unlink(file.c_str());
}
BENCHMARK(BM_SaveResultSet)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadResultSet(benchmark::State& state) {
  const std::string file = BenchFile("load");
  {
    tResultsList list;
    FillList(list, kResults, "a.lan");
    SaveToFile(list, file, "log line", true, false, false, "");
  }
  const double mb = FileMegabytes(file);
  for (auto _ : state) {
    tResultsList loaded;
    std::string serversLog, log;
    LoadFromFile(loaded, file, false, serversLog, log);
    if (loaded.Count() != kResults) state.SkipWithError("lost results");
  }
  state.counters["file_MB"] = mb;
  state.counters["MB_per_s"] = benchmark::Counter(mb * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
  ::unlink(file.c_str());
}
BENCHMARK(BM_LoadResultSet)->Unit(benchmark::kMillisecond)->UseRealTime();

// Appending 10,000 results (half of them pages the file already holds) to
// a file of 100,000.
void BM_AppendResultSet(benchmark::State& state) {
  const std::string file = BenchFile("append");
  tResultsList base;
  FillList(base, kResults, "a.lan");
  tResultsList extra;
  FillList(extra, 5000, "a.lan");
  for (int i = 0; i < 5000; ++i) {
    tUrlResult& r = extra.CreateResult();
    r.AddUrl("http://new.lan/" + std::to_string(i));
    r.Title = "new " + std::to_string(i);
  }
  for (auto _ : state) {
    state.PauseTiming();
    SaveToFile(base, file, "", true, false, false, "");
    state.ResumeTiming();
    SaveToFile(extra, file, "", true, false, true, "");
  }
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
  ::unlink(file.c_str());
}
BENCHMARK(BM_AppendResultSet)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
