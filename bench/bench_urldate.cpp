// Throughput of the URL and date functions on the paths a search takes for
// every hit: the "same page" test against every result, link resolution and
// rewriting of descriptions, and the date finder over descriptions.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "support/text/dates.h"
#include "support/text/list_compare.h"
#include "support/text/url.h"

namespace {

using namespace trawler::text;

std::vector<std::string> SomeUrls(int n) {
  std::vector<std::string> urls;
  for (int i = 0; i < n; ++i)
    urls.push_back("http://www.site" + std::to_string(i % 37) + ".lan/dir/page" +
                   std::to_string(i) + ".html?q=word&start=" + std::to_string(i));
  return urls;
}

// One hit compared with the main URL of 1000 results, as a merge does.
void BM_CompareUrlsAgainstResults(benchmark::State& state) {
  const std::vector<std::string> urls = SomeUrls(1000);
  const std::string hit = "HTTP://site5.lan:80/dir/page999999.html?q=word";
  for (auto _ : state) {
    int equal = 0;
    for (const std::string& u : urls) equal += CompareUrls(u, hit) >= 0;
    benchmark::DoNotOptimize(equal);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_CompareUrlsAgainstResults);

void BM_ResolveUrl(benchmark::State& state) {
  const std::string base = "http://a.lan/search/results?q=word&page=2";
  const char* links[] = {"../p1.html", "/abs/p2.html", "p3.html?a=1&amp;b=2", "?start=20",
                         "http://other.lan/x"};
  for (auto _ : state)
    for (const char* link : links) benchmark::DoNotOptimize(ResolveUrl(link, base));
  state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_ResolveUrl);

// A 100 KB description full of links, rewritten to absolute addresses.
void BM_AbsolutizeLinks(benchmark::State& state) {
  std::string html;
  while (html.size() < 100 * 1024)
    html += "<p class=\"x\">Text <a href=\"page.html?id=7\">link</a> <img src='i.png'></p>\n";
  for (auto _ : state) benchmark::DoNotOptimize(AbsolutizeLinks(html, "http://a.lan/dir/"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(html.size()));
}
BENCHMARK(BM_AbsolutizeLinks);

// The standard pattern over a 4 KB description whose only date is at the end
// and names the last month, the worst place for the finder.
void BM_ParseDateByPattern(benchmark::State& state) {
  std::string text;
  while (text.size() < 4096) text += "some words 12 34 of a result description ";
  text += " posted 24 dec 2003";
  for (auto _ : state) benchmark::DoNotOptimize(ParseDateByPattern(text, kStandardDatePattern));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseDateByPattern);

void BM_SortByNumber(benchmark::State& state) {
  std::vector<ListRowTexts> rows;
  for (int i = 0; i < 10000; ++i)
    rows.push_back(ListRowTexts{"r", {std::to_string((i * 7919) % 10007)}});
  for (auto _ : state) {
    std::vector<ListRowTexts> copy = rows;
    std::sort(copy.begin(), copy.end(), [](const ListRowTexts& a, const ListRowTexts& b) {
      return CompareByNumber(a, b, 21) < 0;
    });
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SortByNumber);

}  // namespace

BENCHMARK_MAIN();
