// The pattern submenus of the result view: parents, host and host masks,
// their numbering, and what choosing an entry acts on.

#include <gtest/gtest.h>

#include <set>

#include "core/view/pattern_menus.h"

namespace trawler::core::view {
namespace {

std::vector<std::string> Captions(const std::vector<PatternItem>& items) {
  std::vector<std::string> out;
  for (const PatternItem& item : items) out.push_back(item.Separator ? "-" : item.Caption);
  return out;
}

TEST(PatternMenus, ParentsThenHostAndMasksNumberedOnward) {
  const PatternMenus menus = BuildPatternMenus("h://w.a.lan/d/p.html", nullptr);
  const std::vector<std::string> expected = {"&0 h://w.a.lan/d/p.html", "&1 h://w.a.lan/d",
                                             "&2 h://w.a.lan", "-", "&3 w.a.lan",
                                             "&4 *.a.lan", "&5 *.lan"};
  EXPECT_EQ(Captions(menus.MassDelete), expected);
  EXPECT_EQ(Captions(menus.BlackList), expected);
  EXPECT_EQ(menus.MassDelete[5].Pattern, "*.a.lan");
}

TEST(PatternMenus, ListedParentsLeaveOnlyTheBlackListMenus) {
  const std::set<std::string> listed = {"h://w.a.lan/d", "w.a.lan"};
  const PatternMenus menus = BuildPatternMenus(
      "h://w.a.lan/d/p.html", [&](const std::string& p) { return listed.count(p) > 0; });
  EXPECT_EQ(Captions(menus.BlackList),
            (std::vector<std::string>{"&0 h://w.a.lan/d/p.html", "&2 h://w.a.lan", "-",
                                      "&3 w.a.lan", "&4 *.a.lan", "&5 *.lan"}));
  EXPECT_EQ(menus.MassDelete.size(), 7u);
}

TEST(PatternMenus, NoPrefixFromTenOn) {
  const PatternMenus menus = BuildPatternMenus("h://a.lan/1/2/3/4/5/6/7/8/9/10/p", nullptr);
  const std::vector<std::string> captions = Captions(menus.MassDelete);
  ASSERT_EQ(captions.size(), 12u + 1u + 2u);
  EXPECT_EQ(captions[9], "&9 h://a.lan/1/2");
  EXPECT_EQ(captions[10], "h://a.lan/1");
  EXPECT_EQ(captions[11], "h://a.lan");
  EXPECT_EQ(captions[13], "a.lan");
  EXPECT_EQ(captions.back(), "*.lan");
  EXPECT_EQ(menus.MassDelete.back().Pattern, "*.lan");
}

TEST(PatternMenus, AddressWithoutHostGivesNoHostEntries) {
  const PatternMenus menus = BuildPatternMenus("", nullptr);
  EXPECT_TRUE(menus.MassDelete.empty());
  EXPECT_TRUE(menus.BlackList.empty());
}

TEST(PatternFromCaption, DropsTheNumberPrefix) {
  struct Case { const char* caption; const char* pattern; };
  for (const Case& c : {Case{"&0 h://a.lan/x", "h://a.lan/x"}, Case{"&5 *.lan", "*.lan"},
                        Case{"h://a.lan/1", "h://a.lan/1"}, Case{"&", ""}, Case{"", ""}}) {
    EXPECT_EQ(PatternFromCaption(c.caption), c.pattern) << c.caption;
  }
}

}  // namespace
}  // namespace trawler::core::view
