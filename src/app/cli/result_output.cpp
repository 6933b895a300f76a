#include "app/cli/result_output.h"

#include <cstdio>
#include <exception>

#include "platform/atomic_file.h"
#include "results/export_csv.h"
#include "results/export_html.h"
#include "results/export_json.h"
#include "results/result_set_file.h"
#include "support/text/case_folding.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"

namespace trawler::cli {

namespace {

// A description on one line of a terminal.
constexpr std::size_t kDescriptionChars = 160;

std::string EngineTitles(results::tResultsList &list, const results::tUrlResult &r) {
  std::string out;
  for (const auto &key : r.Engines) {
    std::string title;
    if (list.OnEngineTitle) list.OnEngineTitle(key, title);
    if (!out.empty()) out += ", ";
    out += title.empty() ? key : title;
  }
  return out;
}

}  // namespace

std::string ResultsAsText(results::tResultsList &list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const results::tUrlResult &r = *list.Items(i);
    if (i) out += "\n";
    out += r.Title + "\n  " + r.MainUrl() + "\n  " + EngineTitles(list, r);
    if (r.Date > 0) out += " | " + text::FormatDateByPattern("yyyy-mm-dd", r.Date);
    if (r.Relevance > 0) out += " | " + std::to_string(r.Relevance) + "%";
    out += "\n";
    std::string description = text::HtmlToText(r.Description);
    if (!description.empty()) {
      if (text::Utf8Length(description) > kDescriptionChars)
        description = text::CutToChars(description, kDescriptionChars - 3) + "...";
      out += "  " + description + "\n";
    }
  }
  return out;
}

std::string ResultsAsJson(results::tResultsList &list, const std::vector<EngineReport> &engines) {
  std::string doc = results::JsonExportText(list, true);
  const auto close = doc.rfind('}');
  if (close == std::string::npos) return doc;
  return doc.substr(0, close) + ",\"engines\":" + EngineReportsJson(engines) + "}\n";
}

bool FormatForFileName(const std::string &file, OutputFormat &format) {
  const auto dot = file.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string ext = file.substr(dot);
  if (text::SameTextIgnoreCase(ext, ".twf")) format = OutputFormat::Twf;
  else if (text::SameTextIgnoreCase(ext, ".json")) format = OutputFormat::Json;
  else if (text::SameTextIgnoreCase(ext, ".csv")) format = OutputFormat::Csv;
  else if (text::SameTextIgnoreCase(ext, ".htm") || text::SameTextIgnoreCase(ext, ".html")) format = OutputFormat::Html;
  else return false;
  return true;
}

bool WriteResults(results::tResultsList &list, OutputFormat format, const std::string &file,
                  const std::vector<EngineReport> &engines, std::string &error) {
  try {
    std::string content;
    switch (format) {
      case OutputFormat::Twf:
        results::SaveToFile(list, file, "", true, false, false, "");
        return true;
      case OutputFormat::Text: content = ResultsAsText(list); break;
      case OutputFormat::Json: content = ResultsAsJson(list, engines); break;
      case OutputFormat::Csv:
        // A file gets the byte order mark spreadsheets need to read UTF-8; a pipe does not.
        content = (file.empty() ? "" : "\xEF\xBB\xBF") + std::string(results::kCsvHeader) + "\r\n" +
                  results::CsvExportLines(list, true);
        break;
      case OutputFormat::Html: content = results::HtmlExportText(list, false, true); break;
    }
    if (file.empty()) {
      std::fwrite(content.data(), 1, content.size(), stdout);
      std::fflush(stdout);
      return true;
    }
    if (!platform::WriteFileAtomically(file, content)) {
      error = "cannot write \"" + file + "\"";
      return false;
    }
    return true;
  } catch (const std::exception &e) {
    error = "cannot write \"" + file + "\": " + e.what();
    return false;
  }
}

}  // namespace trawler::cli
