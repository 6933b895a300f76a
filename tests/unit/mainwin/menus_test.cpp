#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/mainwin/categories_menu.h"
#include "core/mainwin/related_links.h"

namespace trawler::mainwin {
namespace {

std::string Name(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "Site %02d", i);
  return buf;
}

TEST(RelatedLinks, FortyFiveSitesNestTwentyOneTwentyOneThree) {
  std::vector<LinkSite> sites;
  // Added in reverse order, and with sites of another region in between.
  for (int i = 45; i >= 1; --i) {
    sites.push_back({Name(i), "Europe", {"About " + Name(i)}});
    if (i % 10 == 0) sites.push_back({"Other " + std::to_string(i), "Asia", {}});
  }
  const auto menus = BuildRelatedLinks({"Asia", "europe"}, sites);
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].Menu.Entries.size(), 4u);
  EXPECT_FALSE(menus[0].Menu.Next);

  const LinkSubmenu &first = menus[1].Menu;
  ASSERT_EQ(first.Entries.size(), 21u);
  EXPECT_EQ(first.Entries.front().Caption, "Site 01");
  EXPECT_EQ(first.Entries.back().Caption, "Site 21");
  EXPECT_EQ(first.Entries.front().Hint, "About Site 01");
  ASSERT_TRUE(first.Next);
  ASSERT_EQ(first.Next->Entries.size(), 21u);
  EXPECT_EQ(first.Next->Entries.front().Caption, "Site 22");
  ASSERT_TRUE(first.Next->Next);
  ASSERT_EQ(first.Next->Next->Entries.size(), 3u);
  EXPECT_EQ(first.Next->Next->Entries.back().Caption, "Site 45");
  EXPECT_FALSE(first.Next->Next->Next);
}

TEST(RelatedLinks, CaptionsSortIgnoringCase) {
  const auto menus = BuildRelatedLinks({"R"}, {{"beta", "R", {}}, {"Alpha", "R", {}}, {"Gamma", "r", {}}});
  ASSERT_EQ(menus[0].Menu.Entries.size(), 3u);
  EXPECT_EQ(menus[0].Menu.Entries[0].Caption, "Alpha");
  EXPECT_EQ(menus[0].Menu.Entries[1].Caption, "beta");
  EXPECT_EQ(menus[0].Menu.Entries[2].Caption, "Gamma");
}

TEST(RelatedLinks, HintIsOneLineAndCutByCharacters) {
  EXPECT_EQ(LinkHint({"a\r\nb", "c"}), "a  b c");
  const std::string exactly100(100, 'x');
  EXPECT_EQ(LinkHint({exactly100}), exactly100);
  std::string cyrillic;
  for (int i = 0; i < 101; ++i) cyrillic += "ж";
  std::string expected;
  for (int i = 0; i < 98; ++i) expected += "ж";
  EXPECT_EQ(LinkHint({cyrillic}), expected + "...");
}

TEST(CategoriesMenu, UserCategoriesFirstThenSeparatorThenSites) {
  const auto entries = BuildCategoryMenu({{"u1", "Zed", "mine"}, {"u0", "Alpha", ""}},
                                         {{"12", "News", "n"}, {"2", "Web", "w"}},
                                         CategorySort::ByCategory, 0);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].Caption, "Alpha (u0)");
  EXPECT_EQ(entries[1].Caption, "Zed (u1)");
  EXPECT_EQ(entries[1].Hint, "mine");
  EXPECT_TRUE(entries[2].Separator);
  EXPECT_EQ(entries[3].Key, "2");  // numbers sort as numbers
  EXPECT_EQ(entries[4].Key, "12");

  const auto byTitle =
      BuildCategoryMenu({}, {{"2", "Web", ""}, {"12", "news", ""}}, CategorySort::ByTitle, 0);
  ASSERT_EQ(byTitle.size(), 2u);  // no separator without user categories
  EXPECT_EQ(byTitle[0].Caption, "news (12)");
}

TEST(CategoriesMenu, ColumnBreaks) {
  struct Case {
    std::vector<bool> separators;  // one per entry
    int perColumn;
    std::vector<int> breaks;       // indices that start a column
  } cases[] = {
      {std::vector<bool>(7, false), 3, {3, 6}},
      {std::vector<bool>(7, false), 0, {}},
      // The separator is counted but cannot start a column: the next entry does.
      {{false, false, true, false, false}, 2, {3}},
      {{false, false, false, true, false, false}, 3, {4}},
  };
  for (const Case &c : cases) {
    std::vector<CategoryMenuEntry> entries;
    for (bool sep : c.separators) entries.push_back(CategoryMenuEntry{sep, false, {}, {}, {}});
    BreakColumns(entries, c.perColumn);
    std::vector<int> got;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].NewColumn) got.push_back(static_cast<int>(i));
    EXPECT_EQ(got, c.breaks) << "per column " << c.perColumn;
  }
}

}  // namespace
}  // namespace trawler::mainwin
