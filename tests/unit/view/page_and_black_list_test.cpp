// The HTML page of the result list, and adding addresses to the black lists
// from the result view.

#include <gtest/gtest.h>

#include "core/view/black_list_commands.h"
#include "core/view/result_list_page.h"
#include "results/results_list.h"
#include "support/lang/lang_list.h"

namespace trawler::core::view {
namespace {

TEST(ResultListPage, SixEscapedLinesPerRowBetweenTheTableTags) {
  results::tResultsList list;
  results::tUrlResult& a = list.CreateResult();
  a.AddUrl("http://a.lan/\"x");
  a.Title = "<b>A</b> & co";
  a.AddEngine("f:one");
  a.AddEngine("f:two");
  a.Description = "<script>x()</script><i>ok</i>";
  results::tUrlResult& b = list.CreateResult();
  b.AddUrl("http://b.lan/");
  b.Title = "B";

  const std::vector<std::string> page = ResultListPage({&a, nullptr, &b});
  ASSERT_EQ(page.size(), 2u + 12u + 1u);
  EXPECT_EQ(page[0], "<H1>Search results</H1>");
  EXPECT_EQ(page[1], "<table width=100%>");
  EXPECT_EQ(page.back(), "</table>");
  const std::vector<std::string> first(page.begin() + 2, page.begin() + 8);
  EXPECT_EQ(first, (std::vector<std::string>{
                       "<tr>", "<td><a href=\"http://a.lan/&quot;x\">Link</a></td>",
                       "<td><b>&lt;b&gt;A&lt;/b&gt; &amp; co</b></td></tr>",
                       "<tr><td>&nbsp;</td></tr>", "<td align=right> f:one f:two</td></tr>",
                       "<tr><td colspan=2>x() <i>ok</i></td></tr>"}));
  EXPECT_EQ(page[12], "<td>&nbsp;</td></tr>");
}

TEST(AddToBlackList, AddsACheckedEntryAndAsksByKind) {
  struct Case { const char* text; bool permanent; const char* question; };
  for (const Case& c : {Case{"http://a.lan/x", true, "Delete all links that starting with \"http://a.lan/x\"?"},
                        Case{"*.a.lan", false, "Delete all links with domain \"*.a.lan\"?"}}) {
    results::tResultsList list;
    lang::tALanglist lang;
    EXPECT_EQ(AddToBlackList(list, c.text, c.permanent, lang), c.question);
    results::tUrlItem* entry = list.FindBlackItem(c.text, !c.permanent);
    ASSERT_NE(entry, nullptr) << c.text;
    EXPECT_EQ(list.PermanentCount(), c.permanent ? 1 : 0);
    EXPECT_EQ(list.TemporaryCount(), c.permanent ? 0 : 1);
  }
  results::tResultsList list;
  lang::tALanglist lang;
  EXPECT_EQ(AddToBlackList(list, "", true, lang), "");
  EXPECT_EQ(list.PermanentCount(), 0);
}

TEST(BlackListTextOfUrl, DropsTheQueryAndLowercasesForThePermanentList) {
  EXPECT_EQ(BlackListTextOfUrl("http://A.lan/Page?q=1", false), "http://A.lan/Page");
  EXPECT_EQ(BlackListTextOfUrl("http://A.lan/Page?q=1", true), "http://a.lan/page");
}

}  // namespace
}  // namespace trawler::core::view
