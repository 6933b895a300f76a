// A whole search against the simulator: 20 sites x 5 pages x 10 hits, 50 ms per answer,
// 5 connections. The ideal schedule of those 100 requests takes ceil(100 / 5) x 50 ms = 1 s;
// the benchmark reports the wall time against it and the CPU time the program spent.
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRAWLER_BENCH=ON
//   cmake --build build-bench --target bench_search && build-bench/bench/bench_search
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>

#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "results/results_list.h"
#include "sitesim/site_simulator.h"

namespace {

namespace fs = std::filesystem;
using namespace trawler;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_SearchTwentySites(benchmark::State &state) {
    std::vector<sitesim::SimSite> sites;
    for (int i = 0; i < 20; ++i) {
        sitesim::SimSite s;
        s.id = "s" + std::to_string(i);
        s.caption = "Site " + std::to_string(i);
        s.total = 50;
        s.latencyMs = 50;
        s.spelling = i % 4;
        sites.push_back(s);
    }
    sitesim::SiteSimulator sim(sites);
    sim.start();
    const fs::path root = fs::temp_directory_path() / ("trawler-bench-search-" + std::to_string(::getpid()));
    sim.writeSiteFiles((root / "sites").string());
    platform::PollEventLoop loop;
    platform::RegistryStore store(root / "registry");
    core::TEngineList list(loop, store);
    list.LoadSites((root / "sites").string());
    list.LoadRegions();
    list.Category = "0";
    list.SelectCategory("0");
    list.MaxConnections = 5;
    list.SearchWord = "bench";
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        list.ResultList->Clear();
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        list.ResetEngines();
        list.StartSearch();
        loop.runUntil([&] {
            if (list.Connections != 0) return false;
            for (auto *e : list.Engines)
                if (e->Active) return false;
            return true;
        }, std::chrono::seconds(60));
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += ProcessCpuSeconds() - cpu0;
        int requests = 0;
        for (auto *e : list.Engines) requests += static_cast<int>(e->Timings.size());
        if (requests != 100) state.SkipWithError("expected 100 requests");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["wall_s"] = wall / n;
    state.counters["ideal_s"] = 1.0;
    state.counters["wall_vs_ideal"] = wall / n / 1.0;
    state.counters["cpu_share"] = cpu / wall;
    sim.stop();
    std::error_code ec;
    fs::remove_all(root, ec);
}
BENCHMARK(BM_SearchTwentySites)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
