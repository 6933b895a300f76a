#include "results/export_json.h"

#include <cstdio>
#include <ctime>

#include "results/export_file.h"
#include "results/export_progress.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"

namespace trawler::results {

namespace {

void AppendString(std::string& out, std::string_view raw) {
  const std::string text = text::MakeValidUtf8(raw);
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void AppendDate(std::string& out, text::TDateTime value) {
  const std::string iso = IsoDateTime(value);
  if (iso.empty())
    out += "null";
  else
    AppendString(out, iso);
}

class JsonObject {
 public:
  explicit JsonObject(std::string& out) : FOut(out) { FOut += '{'; }
  ~JsonObject() { FOut += '}'; }
  JsonObject(const JsonObject&) = delete;
  JsonObject& operator=(const JsonObject&) = delete;

  std::string& Key(std::string_view name) {
    if (!FFirst) FOut += ',';
    FFirst = false;
    AppendString(FOut, name);
    FOut += ':';
    return FOut;
  }
  void String(std::string_view name, std::string_view value) { AppendString(Key(name), value); }
  void Number(std::string_view name, long long value) { Key(name) += std::to_string(value); }
  void Bool(std::string_view name, bool value) { Key(name) += value ? "true" : "false"; }
  void Date(std::string_view name, text::TDateTime value) { AppendDate(Key(name), value); }

 private:
  std::string& FOut;
  bool FFirst = true;
};

void AppendResult(std::string& out, const tResultsList& list, const tUrlResult& r) {
  JsonObject o(out);
  o.String("title", r.Title);
  o.String("url", r.MainUrl());
  std::string& others = o.Key("other_urls");
  others += '[';
  bool first = true;
  for (const std::string& url : r.OtherUrls()) {
    if (!first) others += ',';
    first = false;
    AppendString(others, url);
  }
  others += ']';
  std::string& engines = o.Key("engines");
  engines += '[';
  for (std::size_t i = 0; i < r.Engines.size(); ++i) {
    if (i > 0) engines += ',';
    std::string title = r.Engines[i];
    if (list.OnEngineTitle) list.OnEngineTitle(r.Engines[i], title);
    JsonObject engine(engines);
    engine.String("key", r.Engines[i]);
    engine.String("title", title);
  }
  engines += ']';
  o.Date("date", r.Date);
  o.Number("relevance", r.Relevance);
  o.String("description", text::HtmlToText(r.Description));
  o.Number("check_state", r.CheckState);
  o.Bool("deleted", r.Deleted());
  JsonObject check(o.Key("link_check"));
  check.Number("code", r.Code);
  check.String("reason", r.Reason);
  check.String("content_type", r.ContentType);
  check.String("size", r.Size);
  check.String("server", r.Server);
}

std::string Document(tResultsList& list, bool all, ExportProgress* progress) {
  std::string out;
  {
    JsonObject doc(out);
    doc.String("query", list.Keywords);
    doc.String("category", list.Category);
    doc.Number("match_mode", list.MatchMode);
    doc.Date("search_date", list.SearchDate);
    std::string& results = doc.Key("results");
    results += '[';
    bool first = true;
    for (int i = 0; i < list.Count(); ++i) {
      if (progress) progress->Before(i);
      const tUrlResult& r = *list.Items(i);
      if (!all && !r.Selected()) continue;
      if (!first) results += ',';
      first = false;
      results += "\n";
      AppendResult(results, list, r);
    }
    results += "\n]";
  }
  out += "\n";
  return out;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  AppendString(out, text);
  return out;
}

std::string IsoDateTime(text::TDateTime value) {
  if (value == 0) return {};
  const text::CalendarDateTime f = text::DecodeDateTime(value);
  if (f.Year <= 0) return {};
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", f.Year, f.Month, f.Day,
                f.Hour, f.Minute, f.Second);
  std::string iso = buffer;
  const std::time_t seconds = text::UnixFromLocalDateTime(value);
  std::tm local{};
  if (seconds != -1 && localtime_r(&seconds, &local)) {
    const long offset = local.tm_gmtoff;
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    std::snprintf(buffer, sizeof buffer, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    iso += buffer;
  }
  return iso;
}

std::string JsonExportText(tResultsList& list, bool all) { return Document(list, all, nullptr); }

void ExportJson(tResultsList& list, const std::string& fileName, bool all) {
  ExportProgress progress(list);
  WriteExport(fileName, Document(list, all, &progress), false);
}

}  // namespace trawler::results
