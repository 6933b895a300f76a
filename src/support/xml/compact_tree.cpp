#include "support/xml/compact_tree.h"

#include <algorithm>
#include <stdexcept>

#include "support/text/string_toolkit.h"
#include "support/xml/xml_tree.h"

namespace trawler::xml {

namespace {
constexpr std::uint32_t kMaxTextLength = 0x7FFFFFFF;
}  // namespace

CompactXmlTree::CompactXmlTree(std::string_view text) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  if (text.size() > kMaxTextLength) throw std::length_error("XML text too long");
  FText = text;
  // At most one node per "<"; untouched room costs no memory.
  FNodes.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '<')) + 1);
  FNodes.push_back(Node{Keep(Token{TokenKind::kText, "root", false}), TextRef{0, 0, 0}, kNone, 0, 0, 0, 0});

  NodeId current = kRoot;
  int depth = 0;
  // Opening tags met beyond kMaxDepth; their closing tags pop this count
  // instead of the open elements.
  int overflow = 0;
  TokenScanner scanner(text);
  Token token;
  while (scanner.Next(token)) {
    switch (token.kind) {
      case TokenKind::kOpenTag: {
        ++FOpenCount;
        const NodeId node = AddNodeFromTag(current, token);
        if (depth < kMaxDepth) {
          current = node;
          ++depth;
        } else {
          ++overflow;
        }
        break;
      }
      case TokenKind::kCloseTag:
        if (overflow > 0) {
          --overflow;
        } else if (current != kRoot) {
          FNodes[current].end = static_cast<NodeId>(FNodes.size());
          current = FNodes[current].parent;
          --depth;
        }
        break;
      case TokenKind::kEmptyTag:
        AddNodeFromTag(current, token);
        break;
      case TokenKind::kText:
      case TokenKind::kCData:
        FNodes[current].is_cdata = token.kind == TokenKind::kCData;
        FNodes[current].value = Keep(token);
        break;
    }
  }
  // Elements left open run to the end of the document.
  for (NodeId open = current; open != kNone; open = FNodes[open].parent)
    FNodes[open].end = static_cast<NodeId>(FNodes.size());
}

CompactXmlTree::TextRef CompactXmlTree::Keep(const Token &token) {
  if (token.in_source) {
    return TextRef{static_cast<std::uint32_t>(token.text.data() - FText.data()),
                   static_cast<std::uint32_t>(token.text.size()), 0};
  }
  // Rewritten texts are never longer than the document they come from plus
  // one escape per byte; the sum of them all stays within 32 bits only
  // while the document is small enough, which the constructor checked.
  if (FRewritten.size() + token.text.size() > kMaxTextLength)
    throw std::length_error("XML text too long");
  const TextRef ref{static_cast<std::uint32_t>(FRewritten.size()),
                    static_cast<std::uint32_t>(token.text.size()), 1};
  FRewritten.append(token.text);
  return ref;
}

std::string_view CompactXmlTree::View(TextRef ref) const {
  const char *base = ref.rewritten ? FRewritten.data() : FText.data();
  return std::string_view(base + ref.offset, ref.length);
}

CompactXmlTree::TextRef CompactXmlTree::Within(TextRef whole, std::string_view whole_text,
                                               std::string_view piece) {
  return TextRef{whole.offset + static_cast<std::uint32_t>(piece.data() - whole_text.data()),
                 static_cast<std::uint32_t>(piece.size()), whole.rewritten};
}

// The name runs up to the first space; attributes follow as name="value"
// pairs. Values are kept as written; single quotes are not recognised, and
// parsing stops at the first missing "=" or double quote.
CompactXmlTree::NodeId CompactXmlTree::AddNodeFromTag(NodeId parent, const Token &token) {
  const TextRef tag_ref = Keep(token);
  const std::string_view tag = View(tag_ref);
  const NodeId id = static_cast<NodeId>(FNodes.size());
  const std::size_t space = tag.find(' ');
  Node node{Within(tag_ref, tag, tag.substr(0, space)), TextRef{0, 0, 0}, parent, id + 1,
            static_cast<std::uint32_t>(FAttributes.size()), 0, 0};
  if (space != std::string_view::npos) {
    std::size_t pos = space;
    while (pos < tag.size()) {
      const std::size_t eq = tag.find('=', pos);
      if (eq == std::string_view::npos) break;
      const std::size_t open = tag.find('"', eq + 1);
      if (open == std::string_view::npos) break;
      const std::size_t close = tag.find('"', open + 1);
      if (close == std::string_view::npos) break;
      FAttributes.push_back(AttributeRefs{
          Within(tag_ref, tag, text::TrimBlanks(tag.substr(pos, eq - pos))),
          Within(tag_ref, tag, tag.substr(open + 1, close - open - 1))});
      ++node.attribute_count;
      pos = close + 1;
    }
  }
  FNodes.push_back(node);
  return id;
}

CompactXmlTree::NodeId CompactXmlTree::FirstChild(NodeId node) const {
  return node + 1 < FNodes[node].end ? node + 1 : kNone;
}

CompactXmlTree::NodeId CompactXmlTree::NextSibling(NodeId node) const {
  const NodeId parent = FNodes[node].parent;
  if (parent == kNone) return kNone;
  const NodeId next = FNodes[node].end;
  return next < FNodes[parent].end ? next : kNone;
}

std::size_t CompactXmlTree::ChildCount(NodeId node) const {
  std::size_t count = 0;
  for (NodeId child = FirstChild(node); child != kNone; child = NextSibling(child)) ++count;
  return count;
}

CompactXmlTree::Attribute CompactXmlTree::AttributeAt(NodeId node, std::size_t index) const {
  const AttributeRefs &refs = FAttributes[FNodes[node].first_attribute + index];
  return Attribute{View(refs.name), View(refs.value)};
}

CompactXmlTree::NodeId CompactXmlTree::FindNode(NodeId node, std::string_view name) const {
  // The descendants follow the node in document order: a plain scan is the
  // depth-first walk.
  for (NodeId i = node + 1; i < FNodes[node].end; ++i)
    if (View(FNodes[i].name) == name) return i;
  return kNone;
}

CompactXmlTree::NodeId CompactXmlTree::FindElement(NodeId node, std::string_view name) const {
  // Visiting the subtree's nodes in document order and comparing each one's
  // children is the children-first search of xml_node.h.
  for (NodeId visited = node; visited < FNodes[node].end; ++visited)
    for (NodeId child = FirstChild(visited); child != kNone; child = NextSibling(child))
      if (View(FNodes[child].name) == name) return child;
  return kNone;
}

}  // namespace trawler::xml
