#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "support/xml/xml_tree.h"
#include "xml_dump.h"

namespace {

using trawler::xml::FindElement;
using trawler::xml::FindNode;
using trawler::xml::kMaxDepth;
using trawler::xml::TdewXMLNode;
using trawler::xml::TdewXMLTree;

std::string Built(const std::string &content) {
  TdewXMLTree tree;
  tree.LoadFromText(content);
  return Dump(tree);
}

TEST(TdewXMLTree, BuildsForgivingTrees) {
  struct Case {
    const char *name;
    const char *input;
    const char *expected;
  } cases[] = {
      {"attributes and value", R"(<a x="1" y="2">t</a>)", R"(root{a[x=1;y=2]="t"})"},
      {"declaration stays open around the document",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<twr><a>1</a></twr>\n",
       R"(root{?xml[version=1.0;encoding=utf-8]{twr{a="1"}}})"},
      {"empty elements", "<r><b/><c /></r>", "root{r{b,c}}"},
      {"text over several lines", "<a>\n  first line\n\tsecond  \n</a>",
       R"(root{a="first line  second"})"},
      {"later text replaces earlier text", "<a>x<b/>y</a>", R"(root{a="y"{b}})"},
      {"cdata marks the node", "<a><![CDATA[<b>&amp;</b>]]></a>", R"(root{a="<b>&amp;</b>"*})"},
      {"plain text after cdata clears the mark", "<a><![CDATA[x]]>y</a>", R"(root{a="y"})"},
      {"entities are not decoded", "<a>A &amp; B &lt;c&gt;</a>", R"(root{a="A &amp; B &lt;c&gt;"})"},
      {"extra closing tags at the root are ignored", "</x></y><a/>", "root{a}"},
      {"unclosed elements stay open to the end", "<a><b><c>t", R"(root{a{b{c="t"}}})"},
      {"closing tags are not matched by name", "<a><b></a><c/>", "root{a{b,c}}"},
      {"text at the root", "hello", R"(root="hello")"},
      {"no markup gives no children", "", "root"},
      {"values are kept as written", R"(<a href="x?a=1&amp;b=2" t = "sp ace"/>)",
       "root{a[href=x?a=1&amp;b=2;t=sp ace]}"},
      {"single quotes are not recognised", R"(<a x='1' y="2"/>)", "root{a[x=2]}"},
      {"missing closing quote stops attributes", R"(<a x="1" y="2/>)", "root{a[x=1]}"},
      {"missing equals stops attributes", R"(<a x="1" flag/>)", "root{a[x=1]}"},
      {"comment opens a node like any tag", "<!-- note --><a/>", "root{!--{a}}"},
      {"leading byte order mark is skipped", "\xEF\xBB\xBF<a/>", "root{a}"},
  };
  for (const Case &c : cases) EXPECT_EQ(Built(c.input), c.expected) << c.name;
}

TEST(TdewXMLTree, CountsOpeningTagsAndLinksParents) {
  TdewXMLTree tree;
  tree.LoadFromText("<?xml version=\"1.0\"?><twr><r><t>x</t></r><e/></twr>");
  EXPECT_EQ(tree.OpenCount, 4);
  const TdewXMLNode *t = FindNode(tree, "t");
  ASSERT_NE(t, nullptr);
  ASSERT_NE(t->Parent, nullptr);
  EXPECT_EQ(t->Parent->Name, "r");
  EXPECT_EQ(t->Parent->Parent->Name, "twr");
  EXPECT_EQ(t->Parent->Parent->Parent->Name, "?xml");
  EXPECT_EQ(t->Parent->Parent->Parent->Parent, &tree);
  EXPECT_EQ(tree.Parent, nullptr);
  ASSERT_NE(tree.Children[0]->AttributeValue("version"), nullptr);
  EXPECT_EQ(*tree.Children[0]->AttributeValue("version"), "1.0");
  EXPECT_EQ(tree.Children[0]->AttributeValue("Version"), nullptr);
}

// Document: root → ?xml → twr, with a <date> inside the first result, a later
// direct <date> child of twr, and a <Result> differing only by case.
constexpr const char *kLookupDocument =
    "<?xml version=\"1.0\"?>"
    "<twr>"
    "<result><title>one</title><date>inner</date></result>"
    "<result><title>two</title></result>"
    "<date>outer</date>"
    "<Result>capital</Result>"
    "</twr>";

TEST(FindLookups, DepthFirstAgainstChildrenFirst) {
  TdewXMLTree tree;
  tree.LoadFromText(kLookupDocument);
  const TdewXMLNode *twr = FindNode(tree, "twr");
  ASSERT_NE(twr, nullptr);

  struct Case {
    const char *name;
    const char *find_node;     // FindNode from twr, value of the match or "-"
    const char *find_element;  // FindElement from twr
  } cases[] = {
      // depth first: the earlier child's subtree wins over a later direct child
      {"date", "inner", "outer"},
      {"title", "one", "one"},
      {"Result", "capital", "capital"},
      {"RESULT", "-", "-"},
      {"twr", "-", "-"},  // only descendants are searched
  };
  auto value = [](const TdewXMLNode *n) { return n ? n->Value : std::string("-"); };
  for (const Case &c : cases) {
    EXPECT_EQ(value(FindNode(*twr, c.name)), c.find_node) << c.name;
    EXPECT_EQ(value(FindElement(*twr, c.name)), c.find_element) << c.name;
  }
  // Both lookups see through the never-closed declaration node.
  EXPECT_EQ(FindElement(tree, "twr"), twr);
  EXPECT_EQ(FindNode(tree, "twr"), twr);
}

TEST(FindLookups, ElementSearchesEarlierSubtreeBeforeLaterOne) {
  // No "date" among the root element's children; the first result has one
  // two levels down, the second result directly.
  TdewXMLTree tree;
  tree.LoadFromText(
      "<twr><result><meta><date>deep-first</date></meta></result>"
      "<result><date>shallow-second</date></result></twr>");
  const TdewXMLNode *found = FindElement(tree, "date");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Value, "deep-first");
}

TEST(TdewXMLTree, HostileNestingIsBounded) {
  // Far deeper than any stack would allow for a recursive builder.
  const int levels = 200000;
  std::string doc;
  for (int i = 0; i < levels; ++i) doc += "<a>";
  doc += "<leaf/>";
  for (int i = 0; i < levels; ++i) doc += "</a>";
  doc += "<after/>";

  TdewXMLTree tree;
  tree.LoadFromText(doc);
  EXPECT_EQ(tree.OpenCount, levels);

  int depth = 0;
  const TdewXMLNode *node = &tree;
  while (!node->Children.empty() && node->Children.front()->Name == "a" &&
         !node->Children.front()->Children.empty()) {
    node = node->Children.front().get();
    ++depth;
  }
  EXPECT_EQ(depth, kMaxDepth);
  // Everything nested deeper is kept flat under the deepest node.
  EXPECT_EQ(node->Children.size(), static_cast<std::size_t>(levels - kMaxDepth + 1));
  // The closing tags balance again: <after/> lands beside the outermost <a>.
  ASSERT_EQ(tree.Children.size(), 2u);
  EXPECT_EQ(tree.Children[1]->Name, "after");
  EXPECT_NE(FindNode(tree, "leaf"), nullptr);
  EXPECT_NE(FindElement(tree, "leaf"), nullptr);
  EXPECT_EQ(FindNode(tree, "missing"), nullptr);
}

class TreeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("xml_tree_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path Write(const std::string &name, const std::string &content) {
    std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(TreeFileTest, LoadsAFileAndReplacesEarlierContent) {
  TdewXMLTree tree;
  tree.LoadFromFile(Write("one.xml", "<?xml version=\"1.0\"?>\r\n<twr>\r\n<a>1</a>\r\n</twr>\r\n"));
  EXPECT_EQ(Dump(tree), R"(root{?xml[version=1.0]{twr{a="1"}}})");
  tree.LoadFromFile(Write("two.xml", "<b>2</b>"));
  EXPECT_EQ(Dump(tree), R"(root{b="2"})");
  EXPECT_EQ(tree.OpenCount, 1);
}

TEST_F(TreeFileTest, FileErrorsCarryTheSystemMessageAndLeaveTheTreeEmpty) {
  TdewXMLTree tree;
  tree.LoadFromText("<a/>");
  struct Case {
    std::filesystem::path path;
    int error;
  } cases[] = {{dir_ / "missing.xml", ENOENT}, {dir_, EISDIR}};
  for (const Case &c : cases) {
    try {
      tree.LoadFromFile(c.path);
      ADD_FAILURE() << "no error for " << c.path;
    } catch (const std::system_error &e) {
      EXPECT_EQ(e.code().value(), c.error);
      EXPECT_NE(std::string(e.what()).find(c.path.string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(tree.Children.empty());
  }
}

}  // namespace
