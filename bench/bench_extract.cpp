// Extraction speed: a 200 KB result page with 100 hits cut by a simulated site's rules.
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRAWLER_BENCH=ON
//   cmake --build build-bench --target bench_extract && build-bench/bench/bench_extract
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/engine_list.h"
#include "core/extraction.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"
#include "sitesim/sim_pages.h"

namespace {

namespace fs = std::filesystem;
using namespace trawler;

void BM_ExtractResultPage(benchmark::State &state) {
    const fs::path root = fs::temp_directory_path() / ("trawler-bench-extract-" + std::to_string(::getpid()));
    sitesim::SimSite site;
    site.id = "b";
    site.caption = "Bench";
    site.hitsPerPage = 100;
    site.total = 100;
    site.relevance = true;
    site.overlapPercent = 0;
    fs::create_directories(root / "sites");
    {
        std::ofstream(root / "sites" / "b.sdf") << sitesim::SiteFileText({site}, "http://127.0.0.1:1");
    }
    // Filler between hits (as real pages carry markup and scripts) brings the page to 200 KB.
    std::string page = sitesim::ResultPageHtml(site, "bench query", 1, "http://127.0.0.1:1");
    const std::string filler = "<div class=\"ad\"><span>sponsored</span><script>var x = 1;</script></div>\n";
    std::string padded;
    const std::size_t target = 200 * 1024;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t next = page.find("<li class=\"hit\">", at + 1);
        padded.append(page, at, next == std::string::npos ? std::string::npos : next - at);
        if (next == std::string::npos) break;
        while (padded.size() < (target * (next + 1)) / page.size()) padded += filler;
        at = next;
    }

    platform::PollEventLoop loop;
    platform::RegistryStore store(root / "registry");
    core::TEngineList list(loop, store);
    list.LoadSites((root / "sites").string());
    list.Category = "0";
    core::TEngine &engine = *list.Engines.at(0);
    list.HttpOf(engine).FinalUrl = "http://127.0.0.1:1/site/b/search?q=bench";
    for (auto _ : state) {
        list.ResultList->Clear();
        engine.Active = true;
        engine.HitCount = 0;
        engine.TotalCount = 0;
        engine.PageText = padded;
        core::ReadResultPage(list, engine);
        if (list.ResultList->Count() != 100) state.SkipWithError("not every hit was read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(padded.size()));
    state.counters["page_KB"] = static_cast<double>(padded.size()) / 1024;
    std::error_code ec;
    fs::remove_all(root, ec);
}
BENCHMARK(BM_ExtractResultPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
