#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/xml/compact_tree.h"
#include "support/xml/xml_tokenizer.h"
#include "support/xml/xml_tree.h"
#include "xml_dump.h"

namespace {

using trawler::xml::CompactXmlTree;
using trawler::xml::kMaxDepth;
using trawler::xml::TdewXMLNode;
using trawler::xml::TdewXMLTree;
using trawler::xml::Tokenize;

// The tree by the two passes: every token listed, then built.
void BuildInTwoPasses(TdewXMLTree &tree, std::string_view text) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  tree.Tokens = Tokenize(text);
  tree.Build();
}

// Position of a node in document order (the root is 0), or -1 for none.
long DocumentIndex(const TdewXMLNode &root, const TdewXMLNode *wanted) {
  if (!wanted) return -1;
  long index = 0;
  std::vector<const TdewXMLNode *> stack{&root};
  while (!stack.empty()) {
    const TdewXMLNode *node = stack.back();
    stack.pop_back();
    if (node == wanted) return index;
    ++index;
    for (auto it = node->Children.rbegin(); it != node->Children.rend(); ++it) stack.push_back(it->get());
  }
  return -2;
}

long CompactIndex(CompactXmlTree::NodeId id) {
  return id == CompactXmlTree::kNone ? -1 : static_cast<long>(id);
}

// Builds the text both ways and checks that the trees and every lookup agree.
void ExpectSameTreesAndLookups(const std::string &text) {
  TdewXMLTree one_pass;
  one_pass.LoadFromText(text);
  TdewXMLTree two_passes;
  BuildInTwoPasses(two_passes, text);
  ASSERT_EQ(Dump(one_pass), Dump(two_passes)) << text;
  ASSERT_EQ(one_pass.OpenCount, two_passes.OpenCount) << text;

  const CompactXmlTree compact(text);
  for (const char *name : {"a", "b", "c", "date", "result", "?xml", "!--", "x", "root", ""}) {
    ASSERT_EQ(CompactIndex(compact.FindNode(CompactXmlTree::kRoot, name)),
              DocumentIndex(two_passes, trawler::xml::FindNode(two_passes, name)))
        << "FindNode " << name << " in " << text;
    ASSERT_EQ(CompactIndex(compact.FindElement(CompactXmlTree::kRoot, name)),
              DocumentIndex(two_passes, trawler::xml::FindElement(two_passes, name)))
        << "FindElement " << name << " in " << text;
  }
}

TEST(CompactXmlTree, BuildsTheTreeOfTheTwoPasses) {
  std::string nested;
  for (int i = 0; i < kMaxDepth + 40; ++i) nested += "<a i=\"" + std::to_string(i) + "\">";
  nested += "deep text<b/>";
  for (int i = 0; i < kMaxDepth + 45; ++i) nested += "</a>";
  nested += "<c>after</c>";
  const std::string documents[] = {
      "",
      "plain text only",
      "\xEF\xBB\xBF<a/>",
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<twr><date>1</date><results><result>"
      "<date>2</date><title>t</title></result></results></twr>\r\n",
      "<a>x<b/>y</a>",
      "<a><![CDATA[line\r\n\tnext]]></a><![CDATA[open to the end",
      "<a\r\n  x=\"1\"\r\n  y = \"two words\"\t>v\r\nw</a></x></y>",
      "< a > b < c",
      nested,
  };
  for (const std::string &text : documents) ExpectSameTreesAndLookups(text);
}

// Random mixtures of the markup the reader forgives.
TEST(CompactXmlTree, AgreesWithTheTwoPassesOnMarkupMixtures) {
  const std::vector<std::string> pieces = {
      "<a>", "</a>", "<b x=\"1\">", "</b>", "<c/>", "<c />", "<date>", "</date>", "<result>",
      "</result>", "text", " \r\n ", "\t", "\r", "<![CDATA[x\r\ny]]>", "<![cdata[", "]]>", "<",
      ">", "</>", "<>", "<?xml version=\"1.0\"?>", "<!-- c -->", "<a q='1' r=\"2\" s>", "x=\"",
      "\xEF\xBB\xBF", "<x\r\n/>", "</ a>"};
  std::mt19937 random(8);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 14);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    ExpectSameTreesAndLookups(text);
  }
}

TEST(CompactXmlTree, WalksChildrenAndAttributesInDocumentOrder) {
  const std::string text = "<r><a k=\"1\" l=\"2\"><x/></a>mid<b/><c>t</c></r>";
  const CompactXmlTree tree(text);
  const CompactXmlTree::NodeId r = tree.FindNode(CompactXmlTree::kRoot, "r");
  ASSERT_NE(r, CompactXmlTree::kNone);
  std::string names;
  for (auto child = tree.FirstChild(r); child != CompactXmlTree::kNone; child = tree.NextSibling(child))
    names += std::string(tree.Name(child)) + ",";
  EXPECT_EQ(names, "a,b,c,");
  EXPECT_EQ(tree.ChildCount(r), 3u);
  EXPECT_EQ(tree.Value(r), "mid");
  const auto a = tree.FirstChild(r);
  ASSERT_EQ(tree.AttributeCount(a), 2u);
  EXPECT_EQ(tree.AttributeAt(a, 1).Name, "l");
  EXPECT_EQ(tree.AttributeAt(a, 1).Value, "2");
  EXPECT_EQ(tree.Parent(a), r);
  EXPECT_EQ(tree.OpenCount(), 3);
}

}  // namespace
