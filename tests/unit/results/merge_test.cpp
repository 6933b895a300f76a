// Merging hits into the result list: every status AddHit reports, and which
// result a hit lands in.

#include <gtest/gtest.h>

#include "results/results_list.h"
#include "results_fixture.h"
#include "support/text/url.h"

namespace trawler::results {
namespace {

using testing::ExpectCountsMatchMarks;
using testing::Hit;

constexpr const char* kPage = "http://a.lan/x";

struct MergeCase {
  const char* name;
  tHit existing;        // the hit that made the one result before
  bool existingOld;     // the result was marked old before the hit arrives
  tHit hit;
  bool refreshing;
  int status;
  int results;                        // results after the hit
  std::vector<std::string> urls;      // of the first result
  std::vector<std::string> engines;   // of the first result
  text::TDateTime date;               // of the first result
};

class MergeStatus : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeStatus, ReportsWhatTheHitAdded) {
  const MergeCase& c = GetParam();
  tResultsList list;
  list.AddHit(c.existing, false);
  if (c.existingOld) list.Items(0)->SetIsNew(false);
  ExpectCountsMatchMarks(list);

  const auto added = list.AddHit(c.hit, c.refreshing);

  EXPECT_EQ(added.Status, c.status);
  EXPECT_EQ(added.Result != nullptr, c.status == hsNew);
  ASSERT_EQ(list.Count(), c.results);
  const tUrlResult& first = *list.Items(0);
  EXPECT_EQ(first.Urls(), c.urls);
  EXPECT_EQ(first.MainUrl(), c.existing.Url) << "the main address never moves in a merge";
  EXPECT_EQ(first.Engines, c.engines);
  EXPECT_EQ(first.Date, c.date);
  ExpectCountsMatchMarks(list);
}

const tHit kUndated = Hit(kPage, "e1");
const tHit kDated = Hit(kPage, "e1", 40000.0);

INSTANTIATE_TEST_SUITE_P(
    Spellings, MergeStatus,
    ::testing::Values(
        MergeCase{"CaseOnlySameEngine", kUndated, false, Hit("HTTP://A.LAN/x", "e1"), false,
                  hsSamePage, 1, {kPage}, {"e1"}, 0},
        MergeCase{"CaseOnlyOtherEngine", kUndated, false, Hit("HTTP://A.LAN/x", "e2"), false,
                  hsMerged, 1, {kPage}, {"e1", "e2"}, 0},
        MergeCase{"EngineKeyDiffersInCase", kUndated, false, Hit("HTTP://A.LAN/x", "E1"), false,
                  hsSamePage, 1, {kPage}, {"e1"}, 0},
        MergeCase{"LeadingWww", kUndated, false, Hit("http://www.a.lan/x", "e1"), false,
                  hsMerged, 1, {kPage, "http://www.a.lan/x"}, {"e1"}, 0},
        MergeCase{"LeadingWwwAnyCase", kUndated, false, Hit("http://wWw.a.lan/x", "e1"), false,
                  hsMerged, 1, {kPage, "http://wWw.a.lan/x"}, {"e1"}, 0},
        MergeCase{"UserInformation", kUndated, false, Hit("http://me:pw@a.lan/x", "e1"), false,
                  hsMerged, 1, {kPage, "http://me:pw@a.lan/x"}, {"e1"}, 0},
        MergeCase{"Port", kUndated, false, Hit("http://a.lan:8080/x", "e1"), false, hsMerged, 1,
                  {kPage, "http://a.lan:8080/x"}, {"e1"}, 0},
        MergeCase{"IdenticalSameEngineNew", kUndated, false, Hit(kPage, "e1"), false,
                  hsDuplicate, 1, {kPage}, {"e1"}, 0},
        MergeCase{"IdenticalOtherEngine", kUndated, false, Hit(kPage, "e2"), false, hsMerged, 1,
                  {kPage}, {"e1", "e2"}, 0},
        MergeCase{"IdenticalSameEngineOld", kUndated, true, Hit(kPage, "e1"), false, hsMerged, 1,
                  {kPage}, {"e1"}, 0},
        MergeCase{"IdenticalWhileRefreshing", kUndated, false, Hit(kPage, "e1"), true, hsMerged,
                  1, {kPage}, {"e1"}, 0},
        MergeCase{"OtherPage", kUndated, false, Hit("http://a.lan/y", "e1"), false, hsNew, 2,
                  {kPage}, {"e1"}, 0},
        MergeCase{"OtherQuery", kUndated, false, Hit("http://a.lan/x?p=2", "e1"), false, hsNew,
                  2, {kPage}, {"e1"}, 0},
        MergeCase{"SeparateHitOfIdenticalAddress", kUndated, false,
                  Hit(kPage, "e1", 0, /*separate=*/true), false, hsNew, 2, {kPage}, {"e1"}, 0},
        MergeCase{"DateIntoUndatedIdentical", kUndated, false, Hit(kPage, "e1", 41000.0), false,
                  hsMerged, 1, {kPage}, {"e1"}, 41000.0},
        MergeCase{"DateIntoUndatedOtherSpelling", kUndated, false,
                  Hit("HTTP://A.LAN/x", "e1", 41000.0), false, hsSamePage, 1, {kPage}, {"e1"},
                  41000.0},
        MergeCase{"DatedResultKeepsItsDate", kDated, false, Hit(kPage, "e1", 41000.0), false,
                  hsDuplicate, 1, {kPage}, {"e1"}, 40000.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MergeHit, HitMatchingOnlyAFurtherAddressMakesANewResult) {
  tResultsList list;
  list.AddHit(Hit(kPage), false);
  list.AddHit(Hit("http://www.a.lan/x", "e2"), false);  // now a further address
  ASSERT_EQ(list.Items(0)->Urls().size(), 2u);
  list.Items(0)->AddOtherUrl("http://b.lan/y");

  const auto added = list.AddHit(Hit("http://b.lan/y"), false);

  EXPECT_EQ(added.Status, hsNew);
  EXPECT_EQ(list.Count(), 2);
  ExpectCountsMatchMarks(list);
}

TEST(MergeHit, FirstResultInListOrderWins) {
  tResultsList list;
  // Two results that both name the page: separate hits are never merged.
  list.AddHit(Hit("http://a.lan/x", "e1", 0, true), false);
  list.AddHit(Hit("http://A.LAN/x", "e2", 0, true), false);

  EXPECT_EQ(list.AddHit(Hit("http://A.LAN/x", "e3"), false).Status, hsMerged);

  EXPECT_EQ(list.Items(0)->Engines, (std::vector<std::string>{"e1", "e3"}));
  EXPECT_EQ(list.Items(1)->Engines, (std::vector<std::string>{"e2"}));
  ExpectCountsMatchMarks(list);
}

TEST(MergeHit, ResultThatTakesANewMainAddressKeepsItsPlaceInListOrder) {
  tResultsList list;
  list.AddHit(Hit("http://c.lan/old"), false);
  list.AddHit(Hit("http://a.lan/x", "e2", 0, true), false);
  // The earlier result moves to the page the later one names (as a link
  // check that follows a redirect does).
  list.Items(0)->AddUrl("http://a.lan/x");

  EXPECT_EQ(list.AddHit(Hit("http://a.lan/x", "e3"), false).Status, hsMerged);
  EXPECT_EQ(list.Items(0)->Engines, (std::vector<std::string>{"e1", "e3"}));
  EXPECT_EQ(list.Items(1)->Engines, (std::vector<std::string>{"e2"}));

  // The old main address is no longer the key of anything.
  EXPECT_EQ(list.AddHit(Hit("http://c.lan/old"), false).Status, hsNew);
  ExpectCountsMatchMarks(list);
}

TEST(MergeHit, FreedResultNoLongerCatchesHits) {
  tResultsList list;
  list.AddHit(Hit("http://a.lan/x"), false);
  list.AddHit(Hit("http://b.lan/"), false);
  list.FreeResult(list.Items(0));
  ExpectCountsMatchMarks(list);

  const auto added = list.AddHit(Hit("http://A.lan/x"), false);

  EXPECT_EQ(added.Status, hsNew);
  EXPECT_EQ(list.IndexOf(added.Result), 1);
  ExpectCountsMatchMarks(list);
}

TEST(MergeHit, ChangesClearSavedOnlyWhenSomethingWasAdded) {
  tResultsList list;
  int savedEvents = 0;
  list.OnSavedChange = [&](tResultsList&) { ++savedEvents; };
  list.AddHit(Hit(kPage), false);
  list.SetSaved(true);
  savedEvents = 0;

  list.AddHit(Hit(kPage), false);  // identical, nothing added
  EXPECT_TRUE(list.Saved());
  EXPECT_EQ(savedEvents, 0);

  list.AddHit(Hit(kPage, "e2"), false);  // an engine added
  EXPECT_FALSE(list.Saved());
  EXPECT_GT(savedEvents, 0);
  ExpectCountsMatchMarks(list);
}

TEST(MergeHit, MergedResultRowIsRefreshed) {
  testing::RowKeeper rows;  // the view outlives the list
  tResultsList list;
  list.OnEngineTitle = [](const std::string& key, std::string& text) { text = "Engine " + key; };
  list.AddHit(Hit(kPage), false);
  testing::FakeRow& row = rows.Bind(*list.Items(0));
  EXPECT_EQ(row.columns.at(1), "Engine e1");

  list.AddHit(Hit("http://www.a.lan/x", "e2"), false);

  EXPECT_EQ(row.columns.at(0), kPage);
  EXPECT_EQ(row.columns.at(1), "Engine e1 Engine e2");
  ExpectCountsMatchMarks(list);
}

// The index replaces one-by-one CompareUrls: equal keys must mean exactly
// CompareUrls >= 0.
TEST(SamePageKey, AgreesWithCompareUrls) {
  const std::vector<std::string> urls = {
      "http://a.lan/x",        "HTTP://A.LAN/X",          "http://www.a.lan/x",
      "http://WWW.a.lan/x",    "http://www.www.a.lan/x",  "http://u:p@a.lan/x",
      "http://u@www.a.lan:81/x", "http://a.lan:8080/x",   "http://a.lan/x?q=1",
      "http://a.lan/x?Q=1",    "http://a.lan/y",          "https://a.lan/x",
      "a.lan/x",               "www.a.lan",               "http://a.lan",
      "http://ä.lan/Ä",        "http://Ä.LAN/ä",          "http://a.lan/x/",
      "",                      "http://a.lan:80",         "mailto:me@a.lan"};
  for (const std::string& a : urls) {
    for (const std::string& b : urls) {
      EXPECT_EQ(text::CompareUrls(a, b) >= 0, SamePageKey(a) == SamePageKey(b))
          << "'" << a << "' vs '" << b << "'";
    }
  }
}

}  // namespace
}  // namespace trawler::results
