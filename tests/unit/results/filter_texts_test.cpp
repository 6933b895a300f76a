// The search-in-retrieved filter, lookups by title and address, and the
// texts a result shows (row, tip, engines).

#include <gtest/gtest.h>

#include "results/results_list.h"
#include "results_fixture.h"
#include "support/text/dates.h"
#include "support/text/utf8.h"

namespace trawler::results {
namespace {

using testing::ExpectCountsMatchMarks;
using testing::Hit;
using testing::VisibleUrls;

// ---- Filter

struct FilterCase {
  const char* name;
  int mode;
  bool inTitle, inUrls, inDescription;
  const char* text;
  bool regExpr;
  int viewMode;
  std::vector<std::string> visible;
};

class Filter : public ::testing::TestWithParam<FilterCase> {
 protected:
  void Fill(tResultsList& list) {
    auto add = [&](const char* url, const char* title, const char* description) {
      tHit hit = Hit(url);
      hit.Title = title;
      hit.Description = description;
      return list.AddHit(hit, false).Result;
    };
    add("http://a.lan/fish", "Salmon recipes", "Grill the <b>salmon</b> whole");
    add("http://b.lan/", "Trout", "Rivers &amp; lakes");
    add("http://c.lan/trout", "Pike", "Big pike");
    add("http://d.lan/", "Salmon and trout", "gone")->SetDeleted(true);
  }
};

TEST_P(Filter, ShowsMatchingResultsOnly) {
  const FilterCase& c = GetParam();
  tResultsList list;
  Fill(list);
  list.SetViewMode(c.viewMode);
  int updates = 0;
  list.OnUpdate = [&](tResultsList&) { ++updates; };

  list.SetFilter(c.mode, c.inTitle, c.inUrls, c.inDescription, c.text, c.regExpr);

  EXPECT_EQ(VisibleUrls(list), c.visible);
  EXPECT_EQ(updates, 1);
  ExpectCountsMatchMarks(list);

  list.ClearFilter();
  EXPECT_EQ(list.FilterText(), "");
  EXPECT_EQ(VisibleUrls(list).size(), c.viewMode == vmDeleted ? 1u : 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Filter,
    ::testing::Values(
        FilterCase{"EmptyTextLetsAllThrough", fmAllWords, true, true, true, "", false, vmAll,
                   {"http://a.lan/fish", "http://b.lan/", "http://c.lan/trout"}},
        FilterCase{"TitleWordIgnoringCase", fmAllWords, true, false, false, "SALMON", false,
                   vmAll, {"http://a.lan/fish"}},
        FilterCase{"TitleOnlyIgnoresUrls", fmAllWords, true, false, false, "trout", false, vmAll,
                   {"http://b.lan/"}},
        FilterCase{"UrlsOnly", fmAllWords, false, true, false, "trout", false, vmAll,
                   {"http://c.lan/trout"}},
        FilterCase{"AllWordsAcrossFields", fmAllWords, true, true, true, "pike trout", false,
                   vmAll, {"http://c.lan/trout"}},
        FilterCase{"AnyWord", fmAnyWord, true, false, false, "pike trout", false, vmAll,
                   {"http://b.lan/", "http://c.lan/trout"}},
        FilterCase{"PhraseAfterHtmlTurnedToText", fmPhrase, false, false, true, "rivers & lakes",
                   false, vmAll, {"http://b.lan/"}},
        FilterCase{"PhraseAcrossTag", fmPhrase, false, false, true, "the salmon whole", false,
                   vmAll, {"http://a.lan/fish"}},
        FilterCase{"RegexOnUrls", fmAllWords, false, true, false, "^http://[ab]\\.lan", true,
                   vmAll, {"http://a.lan/fish", "http://b.lan/"}},
        FilterCase{"RegexIgnoresCase", fmAllWords, true, false, false, "pIKE$", true, vmAll,
                   {"http://c.lan/trout"}},
        FilterCase{"MalformedRegexShowsNothing", fmAllWords, true, true, true, "(", true, vmAll,
                   {}},
        FilterCase{"DeletedViewFilteredToo", fmAllWords, true, false, false, "salmon", false,
                   vmDeleted, {"http://d.lan/"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Lookups

TEST(FindByTitle, FindsFirstTitleStartingWithTextIgnoringCase) {
  tResultsList list;
  for (const char* title : {"Zebra", "apple pie", "Apple tart", "Äpfel"}) {
    tHit hit = Hit(std::string("http://a.lan/") + title);
    hit.Title = title;
    list.AddHit(hit, false);
  }
  EXPECT_EQ(list.FindByTitle("APPLE"), 1);
  EXPECT_EQ(list.FindByTitle("apple t"), 2);
  EXPECT_EQ(list.FindByTitle("äPF"), 3);
  EXPECT_EQ(list.FindByTitle("pear"), -1);
}

struct FindCase {
  const char* name;
  const char* pattern;
  bool cut;
  int start;
  bool visibleOnly;
  int found;  // index, -1 for none
};

class FindByUrl : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindByUrl, FindsByNormalisedMainAddress) {
  const FindCase& c = GetParam();
  tResultsList list;
  list.AddHit(Hit("http://www.a.lan/Dir/page?q=1"), false);  // 0
  list.AddHit(Hit("http://user@b.lan:81/x"), false);          // 1
  tUrlResult* deleted = list.AddHit(Hit("http://a.lan/dir/page?q=1", "e2", 0, true), false).Result;
  deleted->SetDeleted(true);  // 2
  deleted->ApplyFilter();
  list.AddHit(Hit("http://w.c.lan/y"), false);                // 3

  const tUrlResult* found = list.FindByUrl(c.pattern, c.cut, c.start, c.visibleOnly);

  EXPECT_EQ(list.IndexOf(found), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindByUrl,
    ::testing::Values(
        // "www." is dropped only in capitals, so the first result keeps it.
        FindCase{"WholeAddress", "http://www.a.lan/dir/page?q=1", false, 0, false, 0},
        FindCase{"CapitalsInPatternMatch", "HTTP://WWW.A.LAN/DIR/PAGE?Q=1", false, 0, false, 0},
        FindCase{"WholeAddressNeedsWholeMatch", "http://www.a.lan/dir", false, 0, false, -1},
        FindCase{"UserAndPortDropped", "http://b.lan/x", false, 0, false, 1},
        FindCase{"LowercaseWwwIsKept", "http://a.lan/dir/page?q=1", false, 0, false, 2},
        FindCase{"StartSkipsEarlier", "http://www.a.lan/dir/page?q=1", false, 1, false, -1},
        FindCase{"VisibleOnlySkipsDeleted", "http://a.lan/dir/page?q=1", false, 0, true, -1},
        FindCase{"Prefix", "http://a.lan/dir", true, 0, false, 2},
        FindCase{"PrefixWithCapitals", "H" "TTP://WWW.A.LAN/DIR", true, 0, false, 0},
        FindCase{"PrefixFromStart", "http://", true, 2, false, 2},
        FindCase{"PrefixLongerThanAddress", "http://b.lan/x/more", true, 0, false, -1},
        FindCase{"HostMask", "*.c.lan", false, 0, false, 3},
        FindCase{"HostMaskExact", "b.lan", false, 0, false, 1},
        FindCase{"HostMaskNoMatch", "*.d.lan", false, 0, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindByUrlIndex, FollowsResultsAddedMovedAndFreedAfterTheFirstLookup) {
  tResultsList list;
  list.AddHit(Hit("http://a.lan/1"), false);
  ASSERT_EQ(list.IndexOf(list.FindByUrl("http://a.lan/1", false, 0, false)), 0);

  list.AddHit(Hit("http://a.lan/2"), false);
  EXPECT_EQ(list.IndexOf(list.FindByUrl("http://a.lan/2", false, 0, false)), 1);

  list.Items(0)->AddUrl("http://a.lan/moved");
  EXPECT_EQ(list.FindByUrl("http://a.lan/1", false, 0, false), nullptr);
  EXPECT_EQ(list.IndexOf(list.FindByUrl("http://a.lan/moved", false, 0, false)), 0);

  list.FreeResult(list.Items(0));
  EXPECT_EQ(list.FindByUrl("http://a.lan/moved", false, 0, false), nullptr);
  EXPECT_EQ(list.IndexOf(list.FindByUrl("http://a.lan/2", false, 0, false)), 0);

  list.Clear();
  EXPECT_EQ(list.FindByUrl("http://a.lan/2", false, 0, false), nullptr);
  list.AddHit(Hit("http://a.lan/2"), false);
  EXPECT_EQ(list.IndexOf(list.FindByUrl("http://a.lan/2", false, 0, false)), 0);
  ExpectCountsMatchMarks(list);
}

// ---- Texts

TEST(ResultTexts, EnginesTextUsesEngineTitles) {
  tResultsList list;
  tUrlResult& r = *list.AddHit(Hit("http://a.lan/", "k1"), false).Result;
  list.AddHit(Hit("http://a.lan/", "k2"), false);
  EXPECT_EQ(r.EnginesText(), "k1 k2") << "without a handler the keys show";

  list.OnEngineTitle = [](const std::string& key, std::string& text) {
    text = key == "k1" ? "One" : "Two";
  };
  EXPECT_EQ(r.EnginesText(), "One Two");
}

TEST(ResultTexts, SummaryTextListsWhatIsKnown) {
  tResultsList list;
  list.OnEngineTitle = [](const std::string& key, std::string& text) { text = "T-" + key; };
  tHit hit = Hit("http://a.lan/x", "e1", 40000.0);
  hit.Title = "Page";
  hit.Description = "<p>Some &amp; more</p>";
  tUrlResult& r = *list.AddHit(hit, false).Result;
  list.AddHit(Hit("http://www.a.lan/x", "e2"), false);
  r.Server = "nginx";
  r.Code = 404;
  r.Reason = "Not Found";
  r.ContentType = "text/html";
  r.Size = "123";

  EXPECT_EQ(r.SummaryText(),
            "Title: Page\r\nURL: http://a.lan/x\r\nhttp://www.a.lan/x\r\n"
            "Engines: T-e1; T-e2\r\nDate: " + text::FormatLocaleShortDate(40000.0) +
                "\r\nRelevance: 50\r\nServer: nginx\r\nResult: 404 Not Found"
                "\r\nContent: text/html 123\r\n\r\nSome & more");

  tResultsList empty;
  EXPECT_EQ(empty.CreateResult().SummaryText(), "???");
}

TEST(ResultTexts, LongSummaryIsCutTo512CharactersWithoutSplittingOne) {
  tResultsList list;
  tHit hit = Hit("http://a.lan/");
  hit.Description.clear();
  for (int i = 0; i < 400; ++i) hit.Description += "жé";  // two-byte characters
  tUrlResult& r = *list.AddHit(hit, false).Result;

  const std::string tip = r.SummaryText();

  EXPECT_EQ(text::Utf8Length(tip), 512u);
  EXPECT_TRUE(text::IsValidUtf8(tip));
  EXPECT_EQ(tip.substr(tip.size() - 3), "...");
  EXPECT_EQ(tip.compare(0, 14, "Title: Title o"), 0);
}

TEST(ResultTexts, RefreshRowWritesChangedColumnsOnly) {
  testing::RowKeeper rows;  // the view outlives the list
  tResultsList list;
  tHit hit = Hit("http://a.lan/", "e1", 40000.0);
  tUrlResult& r = *list.AddHit(hit, false).Result;
  testing::FakeRow& row = rows.Bind(r);

  EXPECT_EQ(row.caption, hit.Title);
  EXPECT_EQ(row.columns, (std::vector<std::string>{"http://a.lan/", "e1",
                                                   text::FormatLocaleShortDate(40000.0), "50"}));
  EXPECT_EQ(row.image, csUnchecked);
  const int writes = row.columnWrites;

  r.RefreshRow();
  EXPECT_EQ(row.columnWrites, writes);

  r.Date = 0;
  r.Relevance = 7;
  r.RefreshRow();
  EXPECT_EQ(row.columns[2], text::FormatLocaleShortDate(40000.0)) << "an undated result keeps the column";
  EXPECT_EQ(row.columns[3], "7");
  EXPECT_EQ(row.columnWrites, writes + 1);
}

TEST(ResultTexts, TitleChangeInLetterCaseOnlyKeepsSaved) {
  tResultsList list;
  tUrlResult& r = *list.AddHit(Hit("http://a.lan/"), false).Result;
  r.SetTitle("Hello");
  list.SetSaved(true);

  r.SetTitle("HELLO");
  EXPECT_TRUE(list.Saved());
  EXPECT_EQ(r.Title, "HELLO");

  r.SetTitle("Goodbye");
  EXPECT_FALSE(list.Saved());
}

TEST(ResultTexts, CheckStateChangeUpdatesRowAndSaved) {
  testing::RowKeeper rows;  // the view outlives the list
  tResultsList list;
  tUrlResult& r = *list.AddHit(Hit("http://a.lan/"), false).Result;
  r.SetSelected(true);
  testing::FakeRow& row = rows.Bind(r);
  list.SetSaved(true);

  list.SetSelectedCheckState(csUnchecked);
  EXPECT_TRUE(list.Saved()) << "an unchanged state is no change";

  list.SetSelectedCheckState(csBad);
  EXPECT_EQ(r.CheckState, csBad);
  EXPECT_EQ(row.image, csBad);
  EXPECT_FALSE(list.Saved());
  ExpectCountsMatchMarks(list);
}

}  // namespace
}  // namespace trawler::results
