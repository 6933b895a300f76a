#pragma once

// One element of a forgiving XML tree, its attributes and the two lookups
// by name. The tree itself (loading from a file) is in xml_tree.h.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::xml {

struct TdewXMLAttribute {
  std::string Name;
  std::string Value;  // as written between the double quotes, not unescaped
};

class TdewXMLNode {
 public:
  explicit TdewXMLNode(std::string name = {}, TdewXMLNode *parent = nullptr);
  // Frees the whole subtree without recursion, so a hostile document with
  // deep nesting cannot exhaust the stack on destruction.
  virtual ~TdewXMLNode();

  TdewXMLNode(const TdewXMLNode &) = delete;
  TdewXMLNode &operator=(const TdewXMLNode &) = delete;

  // Creates a child owned by this node, appended after the existing ones.
  TdewXMLNode &AddChild(std::string name);
  TdewXMLAttribute &AddAttribute(std::string name, std::string value);

  // The value of the first attribute of that name (compared with case), or
  // nullptr when the node has none.
  const std::string *AttributeValue(std::string_view name) const;

  // Frees children and attributes; name and value stay.
  void ClearContent();

  std::string Name;
  std::string Value;  // the last text given to the node; empty when none
  std::vector<std::unique_ptr<TdewXMLNode>> Children;         // document order
  std::vector<std::unique_ptr<TdewXMLAttribute>> Attributes;  // document order
  TdewXMLNode *Parent = nullptr;                              // none for the root
  bool IsCData = false;  // the last text came from a CDATA section
};

// Depth-first search among the descendants of `node` in document order:
// the first descendant whose name equals `name` byte for byte. A match
// inside an earlier child wins over a later direct child.
const TdewXMLNode *FindNode(const TdewXMLNode &node, std::string_view name);
TdewXMLNode *FindNode(TdewXMLNode &node, std::string_view name);

// Looks among the direct children first; only when none matches is each
// child's subtree searched the same way, in order. So a name among a node's
// children is found before any name deeper down under that node.
const TdewXMLNode *FindElement(const TdewXMLNode &node, std::string_view name);
TdewXMLNode *FindElement(TdewXMLNode &node, std::string_view name);

}  // namespace trawler::xml
