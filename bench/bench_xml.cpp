// Throughput of the XML reader on a result-set-shaped document, the largest
// files it reads. Reports bytes per second and the node count.
#include <benchmark/benchmark.h>

#include <string>

#include "support/xml/xml_tokenizer.h"
#include "support/xml/xml_tree.h"

namespace {

std::string ResultSetDocument(int results) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<twr>\r\n<query>metasearch</query>\r\n";
  for (int i = 0; i < results; ++i) {
    std::string n = std::to_string(i);
    doc += "<result>\r\n<title>Result title number " + n + " &amp; more</title>\r\n";
    doc += "<url>https://www.example.com/path/to/page" + n + ".html?q=metasearch&amp;p=" + n + "</url>\r\n";
    doc += "<description><![CDATA[A description of result " + n +
           " that runs over\r\ntwo lines with <b>markup</b> inside.]]></description>\r\n";
    doc += "<date>45123.5</date>\r\n<relevance>" + n + "</relevance>\r\n";
    doc += "<servers><server id=\"google\" title=\"Google\"/><server id=\"yandex\" title=\"Yandex\"/></servers>\r\n";
    doc += "</result>\r\n";
  }
  doc += "</twr>\r\n";
  return doc;
}

void BM_LoadResultSet(benchmark::State &state) {
  const std::string doc = ResultSetDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    trawler::xml::TdewXMLTree tree;
    tree.LoadFromText(doc);
    benchmark::DoNotOptimize(trawler::xml::FindElement(tree, "query"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
  state.counters["doc_MB"] = static_cast<double>(doc.size()) / 1e6;
}
// The first pass alone, to tell tokenizing from building.
void BM_Tokenize(benchmark::State &state) {
  const std::string doc = ResultSetDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(trawler::xml::Tokenize(doc));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.size()));
}
BENCHMARK(BM_Tokenize)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LoadResultSet)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
