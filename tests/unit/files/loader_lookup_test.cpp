// Where the result-set reader finds its elements in files of unusual shape:
// each top-level item is the first found by the children-first lookup over
// the whole document, and each field of a result the first found depth first
// within it.
#include <gtest/gtest.h>

#include "files_fixture.h"
#include "results/result_set_loader.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using testing::Titles;

TEST(ResultSetLoaderLookups, FindsItemsChildrenFirstAcrossTheDocument) {
  struct Case {
    const char* name;
    const char* content;
    std::vector<std::string> titles;
    double search_date;
  };
  const double march7 = *text::TryEncodeDate(2001, 3, 7);
  const double march9 = *text::TryEncodeDate(2001, 3, 9);
  const Case cases[] = {
      {"results after the root element belong to the declaration and win",
       "<?xml version=\"1.0\"?><twr><version>1</version><results><result><title>inner</title>"
       "<url>http://a.lan/</url></result></results></twr>"
       "<results><result><title>outer</title><url>http://b.lan/</url></result></results>",
       {"outer"}, 0},
      {"without a date of the set, the first result's date dates it",
       "<twr><version>1</version><items><item><title>t</title><url>http://a.lan/</url>"
       "<date>7 mar 2001</date></item></items></twr>",
       {"t"}, march7},
      {"a date of the set wins over any result's",
       "<twr><version>1</version><items><item><title>t</title><url>http://a.lan/</url>"
       "<date>7 mar 2001</date></item></items><date>9 mar 2001</date></twr>",
       {"t"}, march9},
      {"a field nested deeper in a result is still found",
       "<twr><twr_version>1</twr_version><results><result><wrap><result_title>deep</result_title>"
       "</wrap><result_main_url>http://a.lan/</result_main_url></result>"
       "<other/><result><result_title>second</result_title><result_main_url>http://b.lan/"
       "</result_main_url></result></results></twr>",
       {"deep", "second"}, 0},
      {"unclosed results run to the end of the file",
       "<twr><version>1</version><results><result><title>a</title><url>http://a.lan/</url>"
       "</result><result><title>b</title><url>http://b.lan/</url>",
       {"a", "b"}, 0},
  };
  for (const Case& c : cases) {
    tResultsList list;
    std::string serversLog, log;
    LoadFromText(list, c.content, "/nonexistent/shape.twf", false, serversLog, log);
    EXPECT_EQ(Titles(list), c.titles) << c.name;
    if (c.search_date != 0) {
      EXPECT_EQ(list.SearchDate, c.search_date) << c.name;
    }
  }
}

}  // namespace
}  // namespace trawler::results
