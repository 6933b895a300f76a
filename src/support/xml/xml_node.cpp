#include "support/xml/xml_node.h"

#include <utility>

namespace trawler::xml {

TdewXMLNode::TdewXMLNode(std::string name, TdewXMLNode *parent)
    : Name(std::move(name)), Parent(parent) {}

TdewXMLNode::~TdewXMLNode() { ClearContent(); }

void TdewXMLNode::ClearContent() {
  Attributes.clear();
  // Detach grandchildren before each child dies, so no destructor ever
  // finds children of its own and recursion stays one level deep.
  std::vector<std::unique_ptr<TdewXMLNode>> pending = std::move(Children);
  Children.clear();
  while (!pending.empty()) {
    std::unique_ptr<TdewXMLNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto &child : node->Children) pending.push_back(std::move(child));
    node->Children.clear();
  }
}

TdewXMLNode &TdewXMLNode::AddChild(std::string name) {
  Children.push_back(std::make_unique<TdewXMLNode>(std::move(name), this));
  return *Children.back();
}

TdewXMLAttribute &TdewXMLNode::AddAttribute(std::string name, std::string value) {
  Attributes.push_back(
      std::make_unique<TdewXMLAttribute>(TdewXMLAttribute{std::move(name), std::move(value)}));
  return *Attributes.back();
}

const std::string *TdewXMLNode::AttributeValue(std::string_view name) const {
  for (const auto &attribute : Attributes)
    if (attribute->Name == name) return &attribute->Value;
  return nullptr;
}

const TdewXMLNode *FindNode(const TdewXMLNode &node, std::string_view name) {
  // Pre-order walk with an explicit stack; children are pushed in reverse so
  // they are visited in document order.
  std::vector<const TdewXMLNode *> stack;
  for (auto it = node.Children.rbegin(); it != node.Children.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    const TdewXMLNode *current = stack.back();
    stack.pop_back();
    if (current->Name == name) return current;
    for (auto it = current->Children.rbegin(); it != current->Children.rend(); ++it)
      stack.push_back(it->get());
  }
  return nullptr;
}

TdewXMLNode *FindNode(TdewXMLNode &node, std::string_view name) {
  return const_cast<TdewXMLNode *>(FindNode(static_cast<const TdewXMLNode &>(node), name));
}

const TdewXMLNode *FindElement(const TdewXMLNode &node, std::string_view name) {
  // Nodes are visited in pre-order; at each visited node its direct children
  // are compared before anything below them.
  std::vector<const TdewXMLNode *> stack{&node};
  while (!stack.empty()) {
    const TdewXMLNode *current = stack.back();
    stack.pop_back();
    for (const auto &child : current->Children)
      if (child->Name == name) return child.get();
    for (auto it = current->Children.rbegin(); it != current->Children.rend(); ++it)
      stack.push_back(it->get());
  }
  return nullptr;
}

TdewXMLNode *FindElement(TdewXMLNode &node, std::string_view name) {
  return const_cast<TdewXMLNode *>(FindElement(static_cast<const TdewXMLNode &>(node), name));
}

}  // namespace trawler::xml
