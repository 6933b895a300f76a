// Loading a large sites directory: 500 generated site files with four sites each (2,000
// engines), as the program does at start and after every update of the descriptions.
//
// Reported per run: wall time of LoadSites, the heap the loaded records hold (glibc's
// in-use bytes after minus before) and the process's peak resident size.
//
//   cmake -S . -B build-bench -DTRAWLER_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target bench_sites && build-bench/bench/bench_sites

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"

namespace {

constexpr int kFiles = 500;
constexpr int kSitesPerFile = 4;

std::string SiteText(int file, int site) {
    const std::string id = "s" + std::to_string(site);
    const std::string host = "http://f" + std::to_string(file) + "-" + id + ".example/";
    std::string t;
    t += "  site\n  {\n";
    t += "    caption=Site " + std::to_string(file) + "." + std::to_string(site) + "\n";
    t += "    id=" + id + "\n";
    t += "    region=" + std::string(site % 2 ? "Europe" : "World") + "\n";
    t += "    url=" + host + "\n    dateformat=dd|.|mm|.|yyyy\n    boolean=1101\n";
    t += "    category\n    {\n      1=1\n      2=" + std::to_string(2 + file % 5) + "\n    }\n";
    t += "    description\n    {\n      A generated site for measuring the loader.\n    }\n";
    t += "    cgi1\n    {\n      1=" + host + "search\n      -1=" + host + "find\n    }\n";
    t += "    cgi2\n    {\n      -1=" + host + "search\n    }\n";
    t += "    inputs\n    {\n";
    t += "      input\n      {\n        name=q\n        inputtype=query\n        required=1\n"
         "        {\n          andb=+\n          exactbe=\"\n        }\n      }\n";
    t += "      input\n      {\n        name=start\n        inputtype=pagenum\n        type=2\n"
         "        default=0\n        koeff=1\n      }\n";
    t += "      input\n      {\n        name=lang\n        inputtype=language\n        {\n"
         "          en=en\n          de=de\n          ru=ru\n        }\n      }\n";
    t += "    }\n    outputs\n    {\n      output\n      {\n        outputtype=result\n        {\n";
    t += "          -1=<li class=\"hit\"><a href=\"%URL%\">%TITLE%</a><p>%DESCRIPTION%</p></li>\n";
    t += "          -1=<b class=\"total\">%COUNT%</b>\n";
    t += "        }\n      }\n    }\n  }\n";
    return t;
}

struct Environment {
    std::filesystem::path root;
    trawler::platform::PollEventLoop loop;
    std::unique_ptr<trawler::platform::RegistryStore> registry;

    Environment() {
        root = std::filesystem::temp_directory_path() / ("trawler-bench-sites-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "sites");
        for (int f = 0; f < kFiles; ++f) {
            std::ofstream out(root / "sites" / ("gen" + std::to_string(f) + ".sdf"), std::ios::binary);
            out << "general\n{\n  id=gen" << f << "\n  version=1.0\n  date=10 dec 2026\n}\n";
            out << "categories\n{\n  " << (2 + f % 5) << "=;1;Category " << f % 5 << ";Generated\n}\n";
            out << "sites\n{\n";
            for (int s = 0; s < kSitesPerFile; ++s) out << SiteText(f, s);
            out << "}\n";
        }
        registry = std::make_unique<trawler::platform::RegistryStore>(root / "registry");
    }
    ~Environment() {
        registry.reset();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

Environment &Env() {
    static Environment environment;
    return environment;
}

void BM_LoadSites(benchmark::State &state) {
    auto &env = Env();
    const auto dir = (env.root / "sites").string();
    std::size_t heldBytes = 0;
    std::size_t engines = 0;
    for (auto _ : state) {
        const auto before = mallinfo2().uordblks;
        auto list = std::make_unique<trawler::core::TEngineList>(env.loop, *env.registry);
        list->PrgVersion = "3.2";
        if (!list->LoadSites(dir).empty()) state.SkipWithError("load failed");
        heldBytes = mallinfo2().uordblks - before;
        engines = list->Engines.size();
        benchmark::DoNotOptimize(list->Engines.data());
        state.PauseTiming();  // freeing the records is not part of loading
        list.reset();
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["engines"] = static_cast<double>(engines);
    state.counters["held_MB"] = static_cast<double>(heldBytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_LoadSites)->Unit(benchmark::kMillisecond);

void BM_SelectCategory(benchmark::State &state) {
    auto &env = Env();
    trawler::core::TEngineList list(env.loop, *env.registry);
    list.PrgVersion = "3.2";
    if (!list.LoadSites((env.root / "sites").string()).empty()) state.SkipWithError("load failed");
    for (auto _ : state) {
        list.SelectCategory("1");
        benchmark::DoNotOptimize(list.Engines.data());
    }
}
BENCHMARK(BM_SelectCategory)->Unit(benchmark::kMillisecond);

// One file whose 20,000 sites all share one caption and one id (a broken or hostile file): the
// suffixes _0 ... _19998 must not make loading quadratic.
void BM_LoadSameCaptions(benchmark::State &state) {
    auto &env = Env();
    const auto dir = env.root / "same";
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "same.sdf", std::ios::binary);
        out << "general\n{\n  id=same\n}\nsites\n{\n";
        for (int i = 0; i < 20000; ++i) out << "  site\n  {\n    caption=Web\n    id=web\n  }\n";
        out << "}\n";
    }
    for (auto _ : state) {
        auto list = std::make_unique<trawler::core::TEngineList>(env.loop, *env.registry);
        if (!list->LoadSites(dir.string()).empty()) state.SkipWithError("load failed");
        if (list->Engines.back()->Caption != "Web_19998") state.SkipWithError("unexpected caption");
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadSameCaptions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
