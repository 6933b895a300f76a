// Feeds arbitrary bytes to the result-set reader, full and merging, and
// writes every export of what it read: nothing may crash, and whatever was
// read keeps the list's invariants (an address per result, counts = marks).
#include <cstddef>
#include <cstdint>
#include <string>

#include "results/export_csv.h"
#include "results/export_html.h"
#include "results/export_json.h"
#include "results/result_set_loader.h"
#include "results/result_set_text.h"

using namespace trawler::results;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string content(reinterpret_cast<const char *>(data), size);
  tResultsList list;
  std::string serversLog, log;
  const bool merge = size > 0 && (data[0] & 1) != 0;
  try {
    LoadFromText(list, content, "/nonexistent/fuzz.twf", merge, serversLog, log);
  } catch (const ResultSetError &) {
    if (list.Count() != 0) __builtin_trap();  // a refused file changes nothing
    return 0;
  }
  for (int i = 0; i < list.Count(); ++i) {
    const tUrlResult &r = *list.Items(i);
    if (r.MainUrl().empty() || r.Title.empty()) __builtin_trap();
    if (r.CheckState < 0 || r.CheckState > 2) __builtin_trap();
  }
  if (list.DeletedCount() != list.CountDeleted() || list.NewCount() != list.CountNew()) __builtin_trap();
  HtmlExportText(list, false, true);
  HtmlExportText(list, true, true);
  CsvExportLines(list, true);
  JsonExportText(list, true);
  return 0;
}
