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
#include "support/xml/compact_tree.h"

namespace trawler::results {

namespace {

// The file is read into the compact tree: a set of 100,000 results is some
// two million elements, which as separate node objects would cost several
// times the file's size.
using Tree = xml::CompactXmlTree;
using NodeId = Tree::NodeId;
constexpr NodeId kNone = Tree::kNone;

// The first of the names found among the whole document by the children-first
// lookup (top-level items), or none.
NodeId FindTop(const Tree& tree, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    const NodeId found = tree.FindElement(Tree::kRoot, name);
    if (found != kNone) return found;
  }
  return kNone;
}

// The first of the names found among the node's descendants, depth first.
NodeId FindIn(const Tree& tree, NodeId node, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    const NodeId found = tree.FindNode(node, name);
    if (found != kNone) return found;
  }
  return kNone;
}

bool NamedOneOf(const Tree& tree, NodeId node, std::string_view a, std::string_view b) {
  return tree.Name(node) == a || tree.Name(node) == b;
}

// Turns the file's texts into the program's UTF-8.
class TextDecoder {
 public:
  explicit TextDecoder(bool utf8) : FUtf8(utf8) {}
  std::string operator()(std::string_view raw) const {
    if (!FUtf8) return text::DecodeLegacy(raw);
    return text::IsValidUtf8(raw) ? std::string(raw) : text::MakeValidUtf8(raw);
  }
  std::string Unescaped(std::string_view raw) const {
    // Most texts need no repair: unescaping them as they stand spares a copy.
    if (FUtf8 && text::IsValidUtf8(raw)) return text::XmlUnescape(raw);
    return text::XmlUnescape((*this)(raw));
  }

 private:
  bool FUtf8;
};

std::string JoinedLines(const Tree& tree, NodeId parent, std::string_view a, std::string_view b,
                        const TextDecoder& decode) {
  std::string joined;
  if (parent == kNone) return joined;
  bool first = true;
  for (NodeId child = tree.FirstChild(parent); child != kNone; child = tree.NextSibling(child)) {
    if (!NamedOneOf(tree, child, a, b)) continue;
    if (!first) joined += "\r\n";
    joined += decode(tree.Value(child));
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

void ReadDescription(tResultsList& list, const Tree& tree, const TextDecoder& decode,
                     std::string& serversLog, std::string& log) {
  const NodeId date = FindTop(tree, {"twr_date", "date"});
  list.SearchDate = date != kNone ? text::ParseDateByPattern(text::LowerText(decode(tree.Value(date))),
                                                             text::kStandardDatePattern)
                                  : 0;
  const NodeId plain = FindTop(tree, {"twr_plain", "plain"});
  list.Plain = plain != kNone && text::SameTextIgnoreCase(tree.Value(plain), "true");

  const NodeId servers = tree.FindElement(Tree::kRoot, "servers");
  if (servers != kNone)
    for (NodeId child = tree.FirstChild(servers); child != kNone; child = tree.NextSibling(child))
      if (NamedOneOf(tree, child, "twr_server", "server"))
        list.Servers.push_back(decode.Unescaped(tree.Value(child)));

  log = JoinedLines(tree, tree.FindElement(Tree::kRoot, "log"), "log_item", "item", decode);
  serversLog = JoinedLines(tree, tree.FindElement(Tree::kRoot, "serverslog"), "serverlog",
                           "serverlog", decode);

  const NodeId params = tree.FindElement(Tree::kRoot, "params");
  if (params != kNone) {
    const NodeId cat = FindIn(tree, params, {"param_cat", "cat"});
    if (cat != kNone) list.Category = decode.Unescaped(tree.Value(cat));
    const NodeId words = FindIn(tree, params, {"param_words", "words"});
    if (words != kNone) list.Keywords = decode.Unescaped(tree.Value(words));
    const NodeId mode = FindIn(tree, params, {"param_mode", "mode"});
    if (mode != kNone) list.MatchMode = text::IntOfText(tree.Value(mode), 0);
  }
}

void ReadBlackList(tResultsList& list, const Tree& tree, const TextDecoder& decode, bool merge) {
  const NodeId black = tree.FindElement(Tree::kRoot, "black");
  if (!merge) {
    if (list.OnBlackListClear) list.OnBlackListClear(list);
    list.TemporaryBlackList().Clear();
  }
  if (black == kNone) return;
  for (NodeId item = tree.FirstChild(black); item != kNone; item = tree.NextSibling(item)) {
    if (!NamedOneOf(tree, item, "black_item", "item")) continue;
    const NodeId urlNode = FindIn(tree, item, {"black_url", "url"});
    const std::string url = urlNode != kNone ? decode.Unescaped(tree.Value(urlNode)) : std::string();
    if (url.empty()) continue;
    if (list.PermanentBlackList().FindExact(url, -1) >= 0 ||
        list.TemporaryBlackList().FindExact(url, -1) >= 0)
      continue;
    bool checked = true;
    const NodeId mark = FindIn(tree, item, {"black_checked", "checked"});
    if (mark != kNone)
      checked = text::IntOfText(tree.Value(mark), 0) == 1 ||
                text::SameTextIgnoreCase(tree.Value(mark), "true");
    list.TemporaryBlackList().Add(url, checked);
  }
}

void ReadResult(tResultsList& list, const Tree& tree, NodeId item, const TextDecoder& decode,
                bool merge) {
  const NodeId titleNode = FindIn(tree, item, {"result_title", "title"});
  const NodeId urlNode = FindIn(tree, item, {"result_main_url", "url"});
  const std::string title = titleNode != kNone ? decode.Unescaped(tree.Value(titleNode)) : std::string();
  const std::string mainUrl = urlNode != kNone ? decode.Unescaped(tree.Value(urlNode)) : std::string();
  if (title.empty() || mainUrl.empty()) return;
  if (merge && list.FindByUrl(text::NormalizeUrl(text::LowerText(mainUrl), false), false, 0, false))
    return;

  tUrlResult& r = list.CreateResult();
  r.AddUrl(mainUrl);
  r.Title = title;
  r.SetIsNew(false);
  list.ResultsChanged();

  // The value of the first element of either name, if there is one.
  NodeId n = kNone;
  auto field = [&](std::string_view a, std::string_view b) {
    n = FindIn(tree, item, {a, b});
    return n != kNone;
  };
  auto value = [&] { return tree.Value(n); };
  if (field("result_deleted", "deleted")) r.SetDeleted(text::LowerText(value()) == "true");
  if (field("result_hit", "hit")) r.Relevance = text::IntOfText(value(), 0);
  if (field("result_text", "text")) r.Description = decode.Unescaped(value());
  if (field("result_server", "server")) r.Server = decode.Unescaped(value());
  if (field("result_content", "content")) r.ContentType = decode.Unescaped(value());
  if (field("result_size", "size")) r.Size = decode.Unescaped(value());
  if (field("result_code", "code")) r.Code = text::IntOfText(value(), 0);
  if (field("result_reason", "reason")) r.Reason = decode.Unescaped(value());
  if (field("result_check", "check"))
    r.CheckState = ClampCheckState(text::IntOfText(value(), csUnchecked));
  if (field("result_new", "new"))
    r.SetIsNew(text::LowerText(value()).find("true") != std::string::npos);
  if (field("result_date", "date")) r.Date = ParseFileDateTime(value());
  if (field("result_created", "created")) r.Created = ParseFileDateTime(value());
  if (field("result_sources", "engines"))
    for (NodeId child = tree.FirstChild(n); child != kNone; child = tree.NextSibling(child))
      if (NamedOneOf(tree, child, "result_source", "engine"))
        r.Engines.push_back(decode.Unescaped(tree.Value(child)));
  if (field("result_urls", "urls"))
    for (NodeId child = tree.FirstChild(n); child != kNone; child = tree.NextSibling(child))
      if (NamedOneOf(tree, child, "result_url", "url"))
        r.AddOtherUrl(decode.Unescaped(tree.Value(child)));
  r.ApplyFilter();
}

void ReadResults(tResultsList& list, const Tree& tree, const TextDecoder& decode, bool merge) {
  const NodeId results = FindTop(tree, {"results", "items"});
  if (results == kNone) return;
  const int count = static_cast<int>(tree.ChildCount(results));
  int i = 0;
  for (NodeId child = tree.FirstChild(results); child != kNone; child = tree.NextSibling(child), ++i) {
    if (list.OnLoadProgress) list.OnLoadProgress(list, i, count);
    if (NamedOneOf(tree, child, "result", "item")) ReadResult(list, tree, child, decode, merge);
  }
}

bool DeclaresUtf8(const Tree& tree) {
  const NodeId encoding = FindTop(tree, {"twr_encoding", "encoding"});
  return encoding != kNone && (tree.Value(encoding) == "utf8" || tree.Value(encoding) == "utf-8");
}

}  // namespace

void LoadFromText(tResultsList& list, const std::string& content, const std::string& fileName,
                  bool merge, std::string& serversLog, std::string& log) {
  serversLog.clear();
  log.clear();
  const Tree tree(content);
  // Decided before anything changes, so that a file that is not a result
  // set leaves the list - its name, saved state and results - as it was.
  if (FindTop(tree, {"twr_version", "version"}) == kNone) throw ResultSetError(kBadFileFormat);

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
