#include "support/lang/language.h"

#include <algorithm>
#include <system_error>

#include "platform/atomic_file.h"
#include "support/lang/pack_encoding.h"
#include "support/text/case_folding.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"
#include "support/xml/xml_tree.h"

namespace trawler::lang {
namespace {

using xml::FindNode;
using xml::TdewXMLNode;

std::string TrimmedText(const TdewXMLNode *node) {
  return node ? std::string(text::TrimBlanks(node->Value)) : std::string();
}

std::unique_ptr<tALangFormat> ReadFormat(const TdewXMLNode &element) {
  auto format = std::make_unique<tALangFormat>();
  format->Name = TrimmedText(FindNode(element, "name"));
  format->TableIn = TrimmedText(FindNode(element, "table-in"));
  format->TableOut = TrimmedText(FindNode(element, "table-out"));
  if (const TdewXMLNode *symbols = FindNode(element, "symbols")) {
    for (const auto &symbol : symbols->Children) {
      if (symbol->Name != "symbol") continue;
      const TdewXMLNode *in = FindNode(*symbol, "in");
      const TdewXMLNode *out = FindNode(*symbol, "out");
      if (in == nullptr || in->Value.empty()) continue;
      format->Symbols.emplace_back(in->Value, out ? out->Value : std::string());
    }
  }
  return format;
}

void FillFromTree(tALanguage &pack, const xml::TdewXMLTree &tree) {
  if (const TdewXMLNode *n = FindNode(tree, "caption")) pack.Caption = TrimmedText(n);
  if (const TdewXMLNode *n = FindNode(tree, "langid")) pack.LangId = TrimmedText(n);
  if (const TdewXMLNode *n = FindNode(tree, "author")) pack.Author = TrimmedText(n);
  if (const TdewXMLNode *n = FindNode(tree, "codepage"))
    pack.CodePage = text::IntOfText(TrimmedText(n), -1);
  if (const TdewXMLNode *n = FindNode(tree, "date"))
    pack.Date = text::ParseDateByPattern(TrimmedText(n), text::kStandardDatePattern);
  if (const TdewXMLNode *n = FindNode(tree, "default"))
    pack.Default = text::SameTextIgnoreCase(TrimmedText(n), "TRUE");
  if (const TdewXMLNode *n = FindNode(tree, "locale")) {
    pack.Locale.clear();
    std::string_view list = n->Value;
    while (true) {
      std::size_t comma = list.find(',');
      std::string_view id = text::TrimBlanks(list.substr(0, comma));
      if (!id.empty()) pack.Locale.emplace_back(id);
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
  }
  if (const TdewXMLNode *formats = FindNode(tree, "formats")) {
    pack.Formats.clear();
    for (const auto &element : formats->Children)
      if (element->Name == "format") pack.Formats.push_back(ReadFormat(*element));
  }
}

}  // namespace

const tALangFormat *tALanguage::FindFormat(std::string_view name) const {
  for (const auto &format : Formats)
    if (text::SameTextIgnoreCase(format->Name, name)) return format.get();
  return nullptr;
}

void ReadDescription(tALanguage &pack, int legacyCodePage) {
  const std::filesystem::path description = pack.Directory / ".description";
  std::string bytes;
  std::error_code error;
  if (std::filesystem::is_regular_file(description, error) &&
      platform::ReadWholeFile(description, bytes, kMaxPackFileSize)) {
    xml::TdewXMLTree tree;
    tree.LoadFromText(bytes);
    std::string decoded = DecodePackText(bytes, text::IntOfText(TrimmedText(FindNode(tree, "codepage")), -1),
                                         legacyCodePage);
    if (decoded != bytes) tree.LoadFromText(decoded);
    FillFromTree(pack, tree);
    pack.Described = true;
    if (pack.Date == 0) pack.Date = text::FileDateTime(description.string());
  }
  const std::filesystem::path icon = pack.Directory / "icon";
  if (std::filesystem::is_regular_file(icon, error)) pack.IconFile = icon;
}

bool IsCyrillicPack(const tALanguage *pack) {
  if (pack == nullptr) return false;
  return std::any_of(pack->Locale.begin(), pack->Locale.end(), [](const std::string &id) {
    return id == "1049" || id == "2073" || id == "1059" || id == "1058";
  });
}

}  // namespace trawler::lang
