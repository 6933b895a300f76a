// The HTTP client and its event loop against a local server on 127.0.0.1: how long one
// result-page-sized GET takes, how many pages several clients fetch in parallel per second,
// and what a posted callback and a timer cost in the loop itself.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "platform/poll_event_loop.h"
#include "sitesim/mini_http_server.h"

namespace {

using namespace std::chrono_literals;
using trawler::platform::HttpClient;
using trawler::platform::PollEventLoop;

// A result page is typically 20-100 KB of HTML.
constexpr std::size_t kPageBytes = 64 * 1024;

trawler::sitesim::MiniHttpServer& PageServer() {
    static trawler::sitesim::MiniHttpServer server([](const trawler::sitesim::HttpRequest&) {
        trawler::sitesim::HttpResponse response;
        response.headers.push_back({"Content-Type", "text/html"});
        response.body = std::string(kPageBytes, 'p');
        return response;
    });
    static int port = server.start();
    (void)port;
    return server;
}

void BM_SequentialGet(benchmark::State& state) {
    auto url = "http://127.0.0.1:" + std::to_string(PageServer().port()) + "/page";
    PollEventLoop loop;
    HttpClient http(loop);
    http.Url = url;
    std::size_t bytes = 0;
    bool done = false;
    http.OnDocData = [&](const char*, std::size_t n) { bytes += n; };
    http.OnRequestDone = [&](int) { done = true; };
    for (auto _ : state) {
        done = false;
        http.Get();
        if (!loop.runUntil([&] { return done; }, 10s) || http.ErrorCode != 0) {
            state.SkipWithError("request failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SequentialGet)->Unit(benchmark::kMicrosecond);

// state.range(0) clients each fetch one page per iteration, all at once.
void BM_ParallelGet(benchmark::State& state) {
    auto url = "http://127.0.0.1:" + std::to_string(PageServer().port()) + "/page";
    const int clients = static_cast<int>(state.range(0));
    PollEventLoop loop;
    std::vector<std::unique_ptr<HttpClient>> http;
    int pending = 0;
    for (int i = 0; i < clients; ++i) {
        http.push_back(std::make_unique<HttpClient>(loop));
        http.back()->Url = url;
        http.back()->OnRequestDone = [&](int) { --pending; };
    }
    for (auto _ : state) {
        pending = clients;
        for (auto& h : http) h->Get();
        if (!loop.runUntil([&] { return pending == 0; }, 10s)) {
            state.SkipWithError("requests did not finish");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * clients);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * clients * kPageBytes));
}
BENCHMARK(BM_ParallelGet)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_PostedCallbacks(benchmark::State& state) {
    PollEventLoop loop;
    std::int64_t ran = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) loop.post([&] { ++ran; });
        loop.runOnce();
    }
    state.SetItemsProcessed(ran);
}
BENCHMARK(BM_PostedCallbacks);

void BM_ZeroDelayTimers(benchmark::State& state) {
    PollEventLoop loop;
    std::int64_t ran = 0;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) loop.addTimer(0ms, false, [&] { ++ran; });
        loop.runOnce();
    }
    state.SetItemsProcessed(ran);
}
BENCHMARK(BM_ZeroDelayTimers);

}  // namespace

BENCHMARK_MAIN();
