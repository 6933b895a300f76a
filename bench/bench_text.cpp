// Throughput of the text toolkit on page-sized input, in MB/s:
//   cmake -S . -B build-bench -DTRAWLER_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target bench_text && build-bench/bench/bench_text
#include <benchmark/benchmark.h>

#include <string>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"
#include "support/text/string_toolkit.h"

using namespace trawler::text;

namespace {

// A result page of about `bytes` bytes: rows of markup with English and Russian text.
std::string MakePage(std::size_t bytes) {
  static const std::string row =
      "<tr><td class=\"r\"><a href=\"http://example.com/page?id=42&amp;q=test\">Result title "
      "&quot;here&quot;</a></td><td>Описание результата поиска &nbsp;&#8217;snippet&#8217; "
      "with <b>bold</b> words and %20 codes</td></tr>\r\n";
  std::string page;
  page.reserve(bytes + row.size());
  while (page.size() < bytes) page += row;
  return page;
}

void InstallPairs() { SetCasePairs(kStartupLowerLetters, kStartupUpperLetters); }

void BM_PosWildIgnoreCase(benchmark::State& state) {
  InstallPairs();
  std::string page = MakePage(200 * 1024);
  page += "<div class=\"NEXT-PAGE\">Следующая</div>";  // found only at the very end
  for (auto _ : state) {
    benchmark::DoNotOptimize(PosWild(page, state.range(0) == 0 ? "class=\"next-page\"" : "следующая", -1));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PosWildIgnoreCase)->Arg(0)->Arg(1);

void BM_PosWildWildcard(benchmark::State& state) {
  InstallPairs();
  const std::string page = MakePage(200 * 1024);
  for (auto _ : state) benchmark::DoNotOptimize(PosWild(page, "<td class=\"?x\">", 1));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PosWildWildcard);

void BM_ReplaceAll(benchmark::State& state) {
  InstallPairs();
  const std::string page = MakePage(200 * 1024);
  const bool ignore_case = state.range(0) != 0;
  for (auto _ : state) {
    std::string text = page;
    benchmark::DoNotOptimize(ReplaceAll(text, "&nbsp;", " ", ignore_case));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ReplaceAll)->Arg(0)->Arg(1);

void BM_HtmlToText(benchmark::State& state) {
  InstallPairs();
  const std::string fragment = MakePage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(HtmlToText(fragment));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fragment.size()));
}
BENCHMARK(BM_HtmlToText)->Arg(64 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

// Hostile fragments that made the step-by-step procedure quadratic: many tags, many
// unfinished references, deeply nested references.
void BM_HtmlToTextHostile(benchmark::State& state) {
  InstallPairs();
  const std::size_t half = 512 * 1024;
  std::string fragment;
  switch (state.range(0)) {
    case 0:
      for (std::size_t i = 0; fragment.size() < 2 * half; ++i) fragment += "<i>x";
      break;
    case 1:
      for (std::size_t i = 0; i < half / 2; ++i) fragment += "&#";
      fragment += std::string(half / 2, ';');
      break;
    default:
      for (std::size_t i = 0; fragment.size() < 2 * half; ++i) fragment += "&#1;&#";
      break;
  }
  for (auto _ : state) benchmark::DoNotOptimize(HtmlToText(fragment));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fragment.size()));
}
BENCHMARK(BM_HtmlToTextHostile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
