#include "results/result_set_file.h"

#include <sys/stat.h>

#include "platform/replacing_file.h"
#include "results/result_copy.h"
#include "results/result_set_loader.h"
#include "results/result_set_text.h"
#include "support/text/html_text.h"

namespace trawler::results {

namespace {

constexpr const char* kEol = "\r\n";

// The key written for an engine. An engine the program no longer knows gives
// no key from OnEngineKey; its own key is written then, so saving a set never
// loses which engine found a result.
std::string FileEngineKey(const tResultsList& list, const std::string& key) {
  if (!list.OnEngineKey) return key;
  std::string written = key;
  list.OnEngineKey(key, written);
  return written.empty() ? key : written;
}

class SetWriter {
 public:
  explicit SetWriter(platform::ReplacingFile& file) : FFile(file) {}

  void Line(std::string_view text) {
    FFile.Write(text);
    FFile.Write(kEol);
  }
  // <name>escaped value</name> on a line of its own.
  void Element(std::string_view name, std::string_view value) {
    std::string line;
    line.reserve(name.size() * 2 + value.size() + 8);
    AppendElement(line, name, value);
    Line(line);
  }
  static void AppendElement(std::string& out, std::string_view name, std::string_view value) {
    out += '<';
    out += name;
    out += '>';
    out += text::XmlEscape(value);
    out += "</";
    out += name;
    out += '>';
  }

 private:
  platform::ReplacingFile& FFile;
};

void RaiseSaveProgress(tResultsList& list, int position, int maximum) {
  if (list.OnSaveProgress) list.OnSaveProgress(list, position, maximum);
}

void WriteResult(SetWriter& out, const tResultsList& list, const tUrlResult& r, bool plain) {
  out.Line("<result>");
  out.Element("result_title", r.Title);
  out.Element("result_main_url", r.MainUrl());
  out.Line("<result_check>" + std::to_string(r.CheckState) + "</result_check>");
  if (r.Deleted()) out.Line("<result_deleted>true</result_deleted>");
  if (r.Urls().size() > 1) {
    out.Line("<result_urls>");
    for (const std::string& url : r.OtherUrls()) out.Element("result_url", url);
    out.Line("</result_urls>");
  }
  out.Line("<result_sources>");
  for (const std::string& key : r.Engines) out.Element("result_source", FileEngineKey(list, key));
  out.Line("</result_sources>");
  out.Line("<result_created>" + FormatFileDateTime(r.Created) + "</result_created>");
  if (r.Date > 0) out.Line("<result_date>" + FormatFileDateTime(r.Date) + "</result_date>");
  if (r.IsNew()) out.Line("<result_new>true</result_new>");
  if (r.Relevance > 0) out.Line("<result_hit>" + std::to_string(r.Relevance) + "</result_hit>");
  const std::string description = plain ? text::HtmlToText(r.Description) : r.Description;
  if (!description.empty()) out.Element("result_text", description);
  if (!r.Server.empty()) out.Element("result_server", r.Server);
  if (!r.ContentType.empty()) out.Element("result_content", r.ContentType);
  if (!r.Size.empty()) out.Element("result_size", r.Size);
  if (r.Code > 0) out.Line("<result_code>" + std::to_string(r.Code) + "</result_code>");
  if (!r.Reason.empty()) out.Element("result_reason", r.Reason);
  out.Line("</result>");
}

void WriteSet(platform::ReplacingFile& file, tResultsList& list, const std::string& log, bool all,
              bool plain, const std::string& serversLog) {
  SetWriter out(file);
  out.Line("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  out.Line("<twr>");
  out.Line("<twr_version>1.1</twr_version>");
  out.Line("<twr_encoding>utf-8</twr_encoding>");
  out.Element("twr_date", text::FormatDateShort(list.SearchDate));
  if (plain) out.Line("<twr_plain>true</twr_plain>");

  const std::vector<std::string> logLines = SplitLines(log);
  if (!logLines.empty()) {
    out.Line("<log>");
    for (const std::string& line : logLines) out.Element("log_item", line);
    out.Line("</log>");
  }

  out.Line("<params>");
  std::string params;
  SetWriter::AppendElement(params, "param_cat", list.Category);
  SetWriter::AppendElement(params, "param_words", list.Keywords);
  params += "<param_mode>" + std::to_string(list.MatchMode) + "</param_mode>";
  out.Line(params);
  out.Line("</params>");

  tUrlList& black = list.TemporaryBlackList();
  if (black.Count() > 0) {
    out.Line("<black>");
    for (int i = 0; i < black.Count(); ++i) {
      const tUrlItem& entry = *black.Items(i);
      out.Line("<black_item>");
      out.Element("black_url", entry.Url());
      if (!entry.Checked()) out.Line("<black_checked>false</black_checked>");
      out.Line("</black_item>");
    }
    out.Line("</black>");
  }

  if (!list.Servers.empty()) {
    out.Line("<servers>");
    for (const std::string& server : list.Servers) out.Element("twr_server", server);
    out.Line("</servers>");
  }

  const std::vector<std::string> serverLines = SplitLines(serversLog);
  if (!serverLines.empty()) {
    out.Line("<serverslog>");
    for (const std::string& line : serverLines) out.Element("serverlog", line);
    out.Line("</serverslog>");
  }

  out.Line("<results>");
  const int count = list.Count();
  for (int i = 0; i < count; ++i) {
    RaiseSaveProgress(list, i, count);
    const tUrlResult* r = list.Items(i);
    if (r && (all || r->Selected())) WriteResult(out, list, *r, plain);
  }
  out.Line("</results>");
  out.Line("</twr>");
}

void SaveReplacing(tResultsList& list, const std::string& fileName, const std::string& log,
                   bool all, bool plain, const std::string& serversLog) {
  RaiseSaveProgress(list, 0, list.Count());
  platform::ReplacingFile file(fileName);
  if (!file.Open()) throw ResultSetError(file.Error());
  WriteSet(file, list, log, all, plain, serversLog);
  if (!file.Commit()) throw ResultSetError(file.Error());
  list.FileName = fileName;
  list.Plain = plain;
  list.SetSaved(true);
}

bool HoldsSomething(const std::string& fileName) {
  struct stat st {};
  return ::stat(fileName.c_str(), &st) == 0 && (st.st_size > 0 || !S_ISREG(st.st_mode));
}

// Raises (1, 1) when the append ends, however it ends.
class AppendProgress {
 public:
  explicit AppendProgress(tResultsList& list) : FList(list) { RaiseSaveProgress(FList, 0, 1); }
  ~AppendProgress() { RaiseSaveProgress(FList, 1, 1); }
  AppendProgress(const AppendProgress&) = delete;
  AppendProgress& operator=(const AppendProgress&) = delete;

 private:
  tResultsList& FList;
};

void SaveAppending(tResultsList& list, const std::string& fileName, const std::string& log,
                   bool all, bool plain, const std::string& serversLog) {
  AppendProgress progress(list);
  tResultsList merged;
  auto forward = [&list](tResultsList&, int position, int maximum) {
    RaiseSaveProgress(list, position, maximum);
  };
  merged.OnLoadProgress = forward;
  merged.OnSaveProgress = forward;

  if (HoldsSomething(fileName)) {
    std::string ignoredServersLog, ignoredLog;
    LoadFromFile(merged, fileName, false, ignoredServersLog, ignoredLog);
  } else {
    // Nothing to append to: the file starts as this set.
    merged.Keywords = list.Keywords;
    merged.Category = list.Category;
    merged.MatchMode = list.MatchMode;
    merged.SearchDate = list.SearchDate;
    merged.Servers = list.Servers;
  }

  ResultUrlIndex index(merged);
  for (int i = 0; i < list.Count(); ++i) {
    const tUrlResult* r = list.Items(i);
    if (r && (all || r->Selected())) CopyResult(index, *r);
  }

  tUrlList& ours = list.TemporaryBlackList();
  tUrlList& theirs = merged.TemporaryBlackList();
  for (int i = 0; i < ours.Count(); ++i) {
    const tUrlItem& entry = *ours.Items(i);
    if (theirs.FindExact(entry.Url(), -1) < 0) merged.AddBlack(entry.Url(), entry.Checked(), false);
  }

  SaveReplacing(merged, fileName, log, true, plain, serversLog);
}

}  // namespace

void SaveToFile(tResultsList& list, const std::string& fileName, const std::string& log,
                bool all, bool plain, bool append, const std::string& serversLog) {
  if (append)
    SaveAppending(list, fileName, log, all, plain, serversLog);
  else
    SaveReplacing(list, fileName, log, all, plain, serversLog);
}

}  // namespace trawler::results
