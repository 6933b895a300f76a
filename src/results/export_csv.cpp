#include "results/export_csv.h"

#include "results/export_file.h"
#include "results/export_progress.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"

namespace trawler::results {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool LooksLikeFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': return true;
    default: return false;
  }
}

std::string EngineKeys(const tResultsList& list, const tUrlResult& r) {
  std::string joined;
  for (std::size_t i = 0; i < r.Engines.size(); ++i) {
    std::string key = r.Engines[i];
    if (list.OnEngineKey) {
      list.OnEngineKey(r.Engines[i], key);
      if (key.empty()) key = r.Engines[i];
    }
    if (i > 0) joined += "; ";
    joined += key;
  }
  return joined;
}

std::string Lines(tResultsList& list, bool all, ExportProgress* progress) {
  std::string lines;
  for (int i = 0; i < list.Count(); ++i) {
    if (progress) progress->Before(i);
    const tUrlResult& r = *list.Items(i);
    if (!all && !r.Selected()) continue;
    lines += CsvField(r.MainUrl());
    lines += CsvField(r.Title);
    lines += CsvField(EngineKeys(list, r));
    lines += CsvField(r.Date > 0 ? text::FormatLocaleShortDate(r.Date) : std::string());
    lines += CsvField(text::HtmlToText(r.Description));
    lines += "\r\n";
  }
  return lines;
}

}  // namespace

std::string CsvField(std::string_view text) {
  std::string field;
  if (LooksLikeFormula(text)) field += '\'';
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  if (!field.empty()) field = '"' + field + '"';
  field += ';';
  return field;
}

std::string CsvExportLines(tResultsList& list, bool all) { return Lines(list, all, nullptr); }

void ExportCsv(tResultsList& list, const std::string& fileName, bool header, bool all) {
  ExportProgress progress(list);
  std::string added;
  const std::string previous = ExistingContent(fileName);
  if (previous.empty()) added += kUtf8Bom;
  if (header) {
    added += kCsvHeader;
    added += "\r\n";
  }
  added += Lines(list, all, &progress);
  WriteExport(fileName, previous + added, false);
}

}  // namespace trawler::results
