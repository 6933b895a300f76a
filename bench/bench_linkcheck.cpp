// What link checking costs the program besides the network.
//
//   ApplyCheckResult/N   one check outcome applied to a list of N results,
//                        for an address near the end of the list (the
//                        result is found by walking the list).
//   EnqueueAll/N         N distinct addresses queued, each compared with the
//                        queue ignoring case.
//   ReadCheckAnswer      reading a typical answer's header lines.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/poll_event_loop.h"
#include "results/check_answer.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"

namespace {

using trawler::results::tBotResult;
using trawler::results::tHit;
using trawler::results::tResultsList;

std::string PageUrl(int page) {
  return "http://site" + std::to_string(page % 997) + ".example.lan/articles/" +
         std::to_string(page) + "/index.html";
}

void ApplyCheckResult(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  tResultsList list;
  for (int i = 0; i < count; ++i) {
    tHit hit;
    hit.Url = PageUrl(i);
    hit.Title = "t";
    hit.Engine = "e";
    list.AddHit(hit, false);
  }
  tBotResult check;
  check.Url = PageUrl(count - 1);
  check.Code = "200";
  check.Reason = "HTTP/1.1 200 OK";
  for (auto _ : state) list.ApplyCheckResult(check, false);
}
BENCHMARK(ApplyCheckResult)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void EnqueueAll(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<std::string> urls;
  for (int i = 0; i < count; ++i) urls.push_back(PageUrl(i));
  trawler::platform::PollEventLoop loop;
  for (auto _ : state) {
    trawler::results::tListSearchBot bots(loop);
    for (const std::string& url : urls) bots.Enqueue(url);
    benchmark::DoNotOptimize(bots.Queue().size());
  }
}
BENCHMARK(EnqueueAll)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void ReadCheckAnswer(benchmark::State& state) {
  const std::vector<std::string> lines = {
      "HTTP/1.1 200 OK", "Date: Tue, 14 Nov 2023 22:13:20 GMT", "Server: nginx/1.22.1",
      "Content-Type: text/html; charset=utf-8", "Content-Length: 48213",
      "Last-Modified: Tue, 14 Nov 2023 22:13:20 GMT", "Connection: keep-alive",
      "ETag: \"6553f0a0-bc55\"", "X-Content-Type-Options: nosniff", "Accept-Ranges: bytes"};
  for (auto _ : state) {
    tBotResult out;
    trawler::results::ReadCheckAnswer(lines, 200, "http://h.example/a", out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(ReadCheckAnswer)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
