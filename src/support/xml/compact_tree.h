#pragma once

// The forgiving XML tree in compact form, for large documents (result-set
// files of many thousands of results). It is built by the same rules as
// TdewXMLTree and answers the same lookups, but holds its nodes in one
// array in document order, with names, values and attributes pointing into
// the document's text wherever they stand there unchanged. A node's
// descendants are the nodes that follow it up to its subtree's end.
//
// The text passed in must outlive the tree, and be shorter than 2 GiB
// (longer texts throw std::length_error).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/xml/xml_tokenizer.h"

namespace trawler::xml {

class CompactXmlTree {
 public:
  using NodeId = std::uint32_t;
  static constexpr NodeId kRoot = 0;
  static constexpr NodeId kNone = UINT32_MAX;

  struct Attribute {
    std::string_view Name;
    std::string_view Value;  // as written between the double quotes
  };

  // Tokenizes and builds in one pass; a leading UTF-8 byte order mark is
  // skipped. The root is named "root"; markup never makes building fail.
  explicit CompactXmlTree(std::string_view text);

  CompactXmlTree(const CompactXmlTree &) = delete;
  CompactXmlTree &operator=(const CompactXmlTree &) = delete;

  std::size_t NodeCount() const { return FNodes.size(); }
  int OpenCount() const { return FOpenCount; }  // opening tags met

  std::string_view Name(NodeId node) const { return View(FNodes[node].name); }
  std::string_view Value(NodeId node) const { return View(FNodes[node].value); }
  bool IsCData(NodeId node) const { return FNodes[node].is_cdata; }
  NodeId Parent(NodeId node) const { return FNodes[node].parent; }
  // Children in document order: FirstChild, then NextSibling until kNone.
  NodeId FirstChild(NodeId node) const;
  NodeId NextSibling(NodeId node) const;
  std::size_t ChildCount(NodeId node) const;
  std::size_t AttributeCount(NodeId node) const { return FNodes[node].attribute_count; }
  // Attribute `index` (from 0, below AttributeCount) of the node, in document order.
  Attribute AttributeAt(NodeId node, std::size_t index) const;

  // The lookups of xml_node.h with the same answers: FindNode depth first
  // among the descendants, FindElement a node's children before anything
  // below them. kNone when nothing matches.
  NodeId FindNode(NodeId node, std::string_view name) const;
  NodeId FindElement(NodeId node, std::string_view name) const;

 private:
  // A text of the tree: a piece of the document's text, or of the texts the
  // tokenizer rewrote. 32-bit positions keep a node at 32 bytes.
  struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length : 31;
    std::uint32_t rewritten : 1;
  };
  struct Node {
    TextRef name;
    TextRef value;
    NodeId parent;
    NodeId end;  // one past the last descendant
    std::uint32_t first_attribute;
    std::uint32_t attribute_count : 31;
    std::uint32_t is_cdata : 1;
  };
  struct AttributeRefs {
    TextRef name;
    TextRef value;
  };

  NodeId AddNodeFromTag(NodeId parent, const Token &token);
  TextRef Keep(const Token &token);
  std::string_view View(TextRef ref) const;
  // The part of a kept text that `piece` (a view into it) covers.
  static TextRef Within(TextRef whole, std::string_view whole_text, std::string_view piece);

  std::string_view FText;
  std::vector<Node> FNodes;
  std::vector<AttributeRefs> FAttributes;
  std::string FRewritten;  // texts the tokenizer rewrote, one after the other
  int FOpenCount = 0;
};

}  // namespace trawler::xml
