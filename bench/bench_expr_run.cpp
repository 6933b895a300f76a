// Speed of an extractor run: the e-mail template over 5000 results with titles, two further
// addresses and a description with some HTML, one result per loop turn as in the program.
//   cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRAWLER_BENCH=ON
//   cmake --build build-bench --target bench_expr_run && build-bench/bench/bench_expr_run
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "platform/poll_event_loop.h"
#include "results/expr_list.h"
#include "results/expr_run.h"
#include "results/results_list.h"

using namespace trawler;

namespace {

void FillList(results::tResultsList& list, int count) {
  for (int i = 0; i < count; ++i) {
    results::tHit hit;
    const std::string n = std::to_string(i);
    hit.Url = "http://site" + n + ".example.com/page/" + n + ".html";
    hit.Engine = "e";
    hit.Title = "Result number " + n + " about contacts";
    hit.Description = "<b>Write</b> to <a href=\"mailto:info" + std::to_string(i % 700) +
                      "@site.example.com\">info" + std::to_string(i % 700) +
                      "@site.example.com</a> or call us; more text follows here to make the "
                      "description as long as a search site's usual summary of a page.";
    results::tUrlResult* result = list.AddHit(hit, false).Result;
    result->AddOtherUrl("http://mirror.example.net/" + n);
    result->AddOtherUrl("http://other.example.org/" + n + "?q=contacts");
  }
}

void BM_ExtractEmails(benchmark::State& state) {
  results::tResultsList list;
  FillList(list, static_cast<int>(state.range(0)));
  platform::PollEventLoop loop;
  for (auto _ : state) {
    results::tExprLines lines;
    results::tExprRun run(loop);
    bool done = false;
    run.OnDone = [&](const results::tExprRunOutcome&) { done = true; };
    run.Start(list, std::string(results::kExprDefaults[0].Expression), lines);
    loop.runUntil([&] { return done; }, std::chrono::minutes(5));
    benchmark::DoNotOptimize(lines.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExtractEmails)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
