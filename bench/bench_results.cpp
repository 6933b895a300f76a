// How fast the result list merges a large search and filters it.
//
//   MergeIndexed/N   N hits from 10 engines into a fresh list; half of them
//                    name pages already held under another spelling (letter
//                    case, "www.", a port, user information).
//   MergeLinear/N    the same hits through a straightforward walk that
//                    compares each hit with every result's main address, as
//                    the reference the index is measured against.
//   SetFilter/...    a word filter over 100,000 results.
//
// heap_MB is the heap the filled list holds (glibc's count of bytes in use).

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "results/results_list.h"
#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace {

using trawler::results::tHit;
using trawler::results::tResultsList;

std::string PageUrl(int page) {
  return "http://site" + std::to_string(page % 997) + ".example.lan/articles/" +
         std::to_string(page) + "/index.html?id=" + std::to_string(page * 7);
}

// The same page written differently: the ways engines spell one address.
std::string OtherSpelling(int page, int how) {
  const std::string host = "site" + std::to_string(page % 997) + ".example.lan";
  const std::string path =
      "/articles/" + std::to_string(page) + "/index.html?id=" + std::to_string(page * 7);
  switch (how % 4) {
    case 0: return "HTTP://" + trawler::text::UpperText(host) + path;
    case 1: return "http://www." + host + path;
    case 2: return "http://" + host + ":8080" + path;
    default: return "http://reader:secret@" + host + path;
  }
}

std::vector<tHit> MakeHits(int count) {
  std::mt19937 random(20261210);
  std::vector<tHit> hits;
  hits.reserve(static_cast<std::size_t>(count));
  int pages = 0;
  for (int i = 0; i < count; ++i) {
    tHit hit;
    hit.Engine = "engine" + std::to_string(i % 10);
    hit.Relevance = 1 + i % 100;
    if (i % 2 == 0 || pages == 0) {
      hit.Url = PageUrl(pages++);
    } else {
      const int page = static_cast<int>(random() % static_cast<unsigned>(pages));
      hit.Url = OtherSpelling(page, static_cast<int>(random() % 4));
    }
    hit.Title = "Result number " + std::to_string(i) + " about fish and rivers";
    hit.Description = "A <b>description</b> of page " + std::to_string(i) +
                      " that tells a little about trout, pike &amp; salmon in cold water.";
    hits.push_back(std::move(hit));
  }
  return hits;
}

double HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

void MergeIndexed(benchmark::State& state) {
  const std::vector<tHit> hits = MakeHits(static_cast<int>(state.range(0)));
  double heap = 0;
  int results = 0;
  for (auto _ : state) {
    const double before = HeapBytes();
    auto list = std::make_unique<tResultsList>();
    for (const tHit& hit : hits) list->AddHit(hit, false);
    // Freeing the list is not part of the merge.
    state.PauseTiming();
    heap = HeapBytes() - before;
    results = list->Count();
    list.reset();
    state.ResumeTiming();
  }
  state.counters["results"] = results;
  state.counters["heap_MB"] = heap / (1024.0 * 1024.0);
}
BENCHMARK(MergeIndexed)->Arg(5000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The reference: every hit compared with every result's main address in
// list order, merging into the first that names the same page.
struct ReferenceResult {
  std::vector<std::string> Urls;
  std::vector<std::string> Engines;
};

void MergeLinear(benchmark::State& state) {
  const std::vector<tHit> hits = MakeHits(static_cast<int>(state.range(0)));
  int results = 0;
  for (auto _ : state) {
    std::vector<ReferenceResult> list;
    list.reserve(hits.size());
    for (const tHit& hit : hits) {
      ReferenceResult* into = nullptr;
      for (ReferenceResult& r : list) {
        if (trawler::text::CompareUrls(r.Urls.front(), hit.Url) >= 0) {
          into = &r;
          break;
        }
      }
      if (!into) {
        list.push_back({{hit.Url}, {hit.Engine}});
        continue;
      }
      bool held = false;
      for (const std::string& engine : into->Engines)
        held = held || trawler::text::SameTextIgnoreCase(engine, hit.Engine);
      if (!held) into->Engines.push_back(hit.Engine);
      held = false;
      for (const std::string& url : into->Urls)
        held = held || trawler::text::SameTextIgnoreCase(url, hit.Url);
      if (!held) into->Urls.push_back(hit.Url);
    }
    results = static_cast<int>(list.size());
    benchmark::DoNotOptimize(results);
  }
  state.counters["results"] = results;
}
BENCHMARK(MergeLinear)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// arg 0: a word most results hold; arg 1: a word no result holds, so every
// result is tried a second time as plain text.
void SetFilter(benchmark::State& state) {
  static const std::vector<tHit> hits = [] {
    std::vector<tHit> h = MakeHits(100000);
    for (tHit& hit : h) hit.Separate = true;  // 100,000 results, no merging
    return h;
  }();
  tResultsList list;
  for (const tHit& hit : hits) list.AddHit(hit, false);
  const std::string words = state.range(0) == 0 ? "salmon water" : "haddock";
  int visible = 0;
  for (auto _ : state) {
    list.SetFilter(trawler::results::fmAllWords, true, true, true, words, false);
    state.PauseTiming();
    visible = 0;
    for (int i = 0; i < list.Count(); ++i) visible += list.Items(i)->Visible() ? 1 : 0;
    list.SetFilter(trawler::results::fmAllWords, false, false, false, "", false);
    state.ResumeTiming();
  }
  state.counters["results"] = list.Count();
  state.counters["visible"] = visible;
}
BENCHMARK(SetFilter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
