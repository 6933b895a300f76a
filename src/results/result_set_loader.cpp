#include "results/result_set_loader.h"

#include <initializer_list>
#include <string_view>

#include "results/result_set_text.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"
#include "support/text/html_text.h"
#include "support/text/integer_text.h"
#include "support/text/url.h"
#include "support/text/utf8.h"
#include "support/xml/xml_tree.h"

namespace trawler::results {

namespace {

using xml::TdewXMLNode;

// The first of the names found among the whole document by the children-first
// lookup (top-level items), or none.
const TdewXMLNode* FindTop(const TdewXMLNode& root, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names)
    if (const TdewXMLNode* found = xml::FindElement(root, name)) return found;
  return nullptr;
}

// The first of the names found among the node's descendants, depth first.
const TdewXMLNode* FindIn(const TdewXMLNode& node, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names)
    if (const TdewXMLNode* found = xml::FindNode(node, name)) return found;
  return nullptr;
}

bool NamedOneOf(const TdewXMLNode& node, std::string_view a, std::string_view b) {
  return node.Name == a || node.Name == b;
}

// Turns the file's texts into the program's UTF-8.
class TextDecoder {
 public:
  explicit TextDecoder(bool utf8) : FUtf8(utf8) {}
  std::string operator()(std::string_view raw) const {
    return FUtf8 ? text::MakeValidUtf8(raw) : text::DecodeLegacy(raw);
  }
  std::string Unescaped(std::string_view raw) const { return text::XmlUnescape((*this)(raw)); }

 private:
  bool FUtf8;
};

std::string JoinedLines(const TdewXMLNode* parent, std::string_view a, std::string_view b,
                        const TextDecoder& decode) {
  std::string joined;
  if (!parent) return joined;
  bool first = true;
  for (const auto& child : parent->Children) {
    if (!NamedOneOf(*child, a, b)) continue;
    if (!first) joined += "\r\n";
    joined += decode(child->Value);
    first = false;
  }
  return text::XmlUnescape(joined);
}

// Raises the closing events when the load ends, however it ends.
class LoadClosing {
 public:
  LoadClosing(tResultsList& list, bool merge, const std::string& fileName)
      : FList(list), FMerge(merge), FFileName(fileName) {}
  ~LoadClosing() {
    if (FList.OnLoadProgress) FList.OnLoadProgress(FList, 0, 1);
    if (!FMerge) {
      FList.FileName = FFileName;
      FList.SetSaved(true);
      if (FList.SearchDate == 0) FList.SearchDate = text::FileDateTime(FFileName);
    }
    if (FList.OnUpdate) FList.OnUpdate(FList);
    if (FList.OnBlackListUpdate) FList.OnBlackListUpdate(FList);
    FList.Recount();
  }
  LoadClosing(const LoadClosing&) = delete;
  LoadClosing& operator=(const LoadClosing&) = delete;

 private:
  tResultsList& FList;
  bool FMerge;
  const std::string& FFileName;
};

void ReadDescription(tResultsList& list, const TdewXMLNode& root, const TextDecoder& decode,
                     std::string& serversLog, std::string& log) {
  const TdewXMLNode* date = FindTop(root, {"twr_date", "date"});
  list.SearchDate = date ? text::ParseDateByPattern(text::LowerText(decode(date->Value)),
                                                     text::kStandardDatePattern)
                         : 0;
  const TdewXMLNode* plain = FindTop(root, {"twr_plain", "plain"});
  list.Plain = plain && text::SameTextIgnoreCase(plain->Value, "true");

  if (const TdewXMLNode* servers = xml::FindElement(root, "servers"))
    for (const auto& child : servers->Children)
      if (NamedOneOf(*child, "twr_server", "server"))
        list.Servers.push_back(decode.Unescaped(child->Value));

  log = JoinedLines(xml::FindElement(root, "log"), "log_item", "item", decode);
  serversLog = JoinedLines(xml::FindElement(root, "serverslog"), "serverlog", "serverlog", decode);

  if (const TdewXMLNode* params = xml::FindElement(root, "params")) {
    if (const TdewXMLNode* cat = FindIn(*params, {"param_cat", "cat"}))
      list.Category = decode.Unescaped(cat->Value);
    if (const TdewXMLNode* words = FindIn(*params, {"param_words", "words"}))
      list.Keywords = decode.Unescaped(words->Value);
    if (const TdewXMLNode* mode = FindIn(*params, {"param_mode", "mode"}))
      list.MatchMode = text::IntOfText(mode->Value, 0);
  }
}

void ReadBlackList(tResultsList& list, const TdewXMLNode& root, const TextDecoder& decode,
                   bool merge) {
  const TdewXMLNode* black = xml::FindElement(root, "black");
  if (!merge) {
    if (list.OnBlackListClear) list.OnBlackListClear(list);
    list.TemporaryBlackList().Clear();
  }
  if (!black) return;
  for (const auto& item : black->Children) {
    if (!NamedOneOf(*item, "black_item", "item")) continue;
    const TdewXMLNode* urlNode = FindIn(*item, {"black_url", "url"});
    const std::string url = urlNode ? decode.Unescaped(urlNode->Value) : std::string();
    if (url.empty()) continue;
    if (list.PermanentBlackList().FindExact(url, -1) >= 0 ||
        list.TemporaryBlackList().FindExact(url, -1) >= 0)
      continue;
    bool checked = true;
    if (const TdewXMLNode* mark = FindIn(*item, {"black_checked", "checked"}))
      checked = text::IntOfText(mark->Value, 0) == 1 || text::SameTextIgnoreCase(mark->Value, "true");
    list.TemporaryBlackList().Add(url, checked);
  }
}

void ReadResult(tResultsList& list, const TdewXMLNode& item, const TextDecoder& decode, bool merge) {
  const TdewXMLNode* titleNode = FindIn(item, {"result_title", "title"});
  const TdewXMLNode* urlNode = FindIn(item, {"result_main_url", "url"});
  const std::string title = titleNode ? decode.Unescaped(titleNode->Value) : std::string();
  const std::string mainUrl = urlNode ? decode.Unescaped(urlNode->Value) : std::string();
  if (title.empty() || mainUrl.empty()) return;
  if (merge && list.FindByUrl(text::NormalizeUrl(text::LowerText(mainUrl), false), false, 0, false))
    return;

  tUrlResult& r = list.CreateResult();
  r.AddUrl(mainUrl);
  r.Title = title;
  r.SetIsNew(false);
  list.ResultsChanged();

  auto field = [&item](std::string_view a, std::string_view b) { return FindIn(item, {a, b}); };
  if (const TdewXMLNode* n = field("result_deleted", "deleted"))
    r.SetDeleted(text::LowerText(n->Value) == "true");
  if (const TdewXMLNode* n = field("result_hit", "hit")) r.Relevance = text::IntOfText(n->Value, 0);
  if (const TdewXMLNode* n = field("result_text", "text")) r.Description = decode.Unescaped(n->Value);
  if (const TdewXMLNode* n = field("result_server", "server")) r.Server = decode.Unescaped(n->Value);
  if (const TdewXMLNode* n = field("result_content", "content"))
    r.ContentType = decode.Unescaped(n->Value);
  if (const TdewXMLNode* n = field("result_size", "size")) r.Size = decode.Unescaped(n->Value);
  if (const TdewXMLNode* n = field("result_code", "code")) r.Code = text::IntOfText(n->Value, 0);
  if (const TdewXMLNode* n = field("result_reason", "reason")) r.Reason = decode.Unescaped(n->Value);
  if (const TdewXMLNode* n = field("result_check", "check"))
    r.CheckState = ClampCheckState(text::IntOfText(n->Value, csUnchecked));
  if (const TdewXMLNode* n = field("result_new", "new"))
    r.SetIsNew(text::LowerText(n->Value).find("true") != std::string::npos);
  if (const TdewXMLNode* n = field("result_date", "date")) r.Date = ParseFileDateTime(n->Value);
  if (const TdewXMLNode* n = field("result_created", "created")) r.Created = ParseFileDateTime(n->Value);
  if (const TdewXMLNode* engines = field("result_sources", "engines"))
    for (const auto& child : engines->Children)
      if (NamedOneOf(*child, "result_source", "engine"))
        r.Engines.push_back(decode.Unescaped(child->Value));
  if (const TdewXMLNode* urls = field("result_urls", "urls"))
    for (const auto& child : urls->Children)
      if (NamedOneOf(*child, "result_url", "url")) r.AddOtherUrl(decode.Unescaped(child->Value));
  r.ApplyFilter();
}

void ReadResults(tResultsList& list, const TdewXMLNode& root, const TextDecoder& decode, bool merge) {
  const TdewXMLNode* results = FindTop(root, {"results", "items"});
  if (!results) return;
  const int count = static_cast<int>(results->Children.size());
  for (int i = 0; i < count; ++i) {
    if (list.OnLoadProgress) list.OnLoadProgress(list, i, count);
    const TdewXMLNode& child = *results->Children[static_cast<std::size_t>(i)];
    if (NamedOneOf(child, "result", "item")) ReadResult(list, child, decode, merge);
  }
}

bool DeclaresUtf8(const TdewXMLNode& root) {
  const TdewXMLNode* encoding = FindTop(root, {"twr_encoding", "encoding"});
  return encoding && (encoding->Value == "utf8" || encoding->Value == "utf-8");
}

}  // namespace

void LoadFromText(tResultsList& list, const std::string& content, const std::string& fileName,
                  bool merge, std::string& serversLog, std::string& log) {
  serversLog.clear();
  log.clear();
  xml::TdewXMLTree tree;
  tree.LoadFromText(content);
  // Decided before anything changes, so that a file that is not a result
  // set leaves the list - its name, saved state and results - as it was.
  if (!FindTop(tree, {"twr_version", "version"})) throw ResultSetError(kBadFileFormat);

  const TextDecoder decode(DeclaresUtf8(tree) || text::IsValidUtf8(text::StripUtf8Bom(content)));
  LoadClosing closing(list, merge, fileName);
  list.Plain = false;
  list.Servers.clear();
  if (!merge) ReadDescription(list, tree, decode, serversLog, log);
  ReadBlackList(list, tree, decode, merge);
  ReadResults(list, tree, decode, merge);
}

void LoadFromFile(tResultsList& list, const std::string& fileName, bool merge,
                  std::string& serversLog, std::string& log) {
  serversLog.clear();
  log.clear();
  const std::string content = ReadFileForLoad(fileName, kMaxResultSetFileSize);
  LoadFromText(list, content, fileName, merge, serversLog, log);
}

}  // namespace trawler::results
