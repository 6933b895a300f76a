// Builds arbitrary bytes into a tree both ways - in one pass through the
// compact tree, and as a token list built afterwards - and stops on the first
// difference in any node, attribute, count or lookup.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/xml/compact_tree.h"
#include "support/xml/xml_tokenizer.h"
#include "support/xml/xml_tree.h"

using trawler::xml::CompactXmlTree;
using trawler::xml::TdewXMLNode;

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Nodes of the two-pass tree in document order.
std::vector<const TdewXMLNode *> InDocumentOrder(const TdewXMLNode &root) {
  std::vector<const TdewXMLNode *> order;
  std::vector<const TdewXMLNode *> stack{&root};
  while (!stack.empty()) {
    const TdewXMLNode *node = stack.back();
    stack.pop_back();
    order.push_back(node);
    for (auto it = node->Children.rbegin(); it != node->Children.rend(); ++it) stack.push_back(it->get());
  }
  return order;
}

using Positions = std::unordered_map<const TdewXMLNode *, long>;

long IndexOf(const Positions &positions, const TdewXMLNode *node) {
  if (!node) return -1;
  const auto found = positions.find(node);
  return found == positions.end() ? -2 : found->second;
}

long IndexOf(CompactXmlTree::NodeId id) {
  return id == CompactXmlTree::kNone ? -1 : static_cast<long>(id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view content(reinterpret_cast<const char *>(data), size);
  const CompactXmlTree compact(content);
  trawler::xml::TdewXMLTree tree;
  std::string_view body = content;
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  tree.Tokens = trawler::xml::Tokenize(body);
  tree.Build();

  const std::vector<const TdewXMLNode *> order = InDocumentOrder(tree);
  Positions positions;
  for (std::size_t i = 0; i < order.size(); ++i) positions[order[i]] = static_cast<long>(i);
  Require(order.size() == compact.NodeCount());
  Require(tree.OpenCount == compact.OpenCount());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const TdewXMLNode &node = *order[i];
    const auto id = static_cast<CompactXmlTree::NodeId>(i);
    Require(node.Name == compact.Name(id));
    Require(node.Value == compact.Value(id));
    Require(node.IsCData == compact.IsCData(id));
    Require(IndexOf(positions, node.Parent) == IndexOf(compact.Parent(id)));
    Require(node.Children.size() == compact.ChildCount(id));
    Require(compact.AttributeCount(id) == node.Attributes.size());
    for (std::size_t a = 0; a < node.Attributes.size(); ++a) {
      const CompactXmlTree::Attribute attribute = compact.AttributeAt(id, a);
      Require(node.Attributes[a]->Name == attribute.Name && node.Attributes[a]->Value == attribute.Value);
    }
  }
  for (std::string_view name : {"twr", "result", "date", "?xml", "a", "b"}) {
    Require(IndexOf(positions, trawler::xml::FindNode(tree, name)) ==
            IndexOf(compact.FindNode(CompactXmlTree::kRoot, name)));
    Require(IndexOf(positions, trawler::xml::FindElement(tree, name)) ==
            IndexOf(compact.FindElement(CompactXmlTree::kRoot, name)));
  }
  return 0;
}
