// New/old marks and the mark timer, view modes, the selection commands and
// black-listed hits arriving deleted.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/poll_event_loop.h"
#include "results/results_list.h"
#include "results_fixture.h"

namespace trawler::results {
namespace {

using namespace std::chrono_literals;
using testing::ExpectCountsMatchMarks;
using testing::Hit;
using testing::VisibleUrls;

class MarksTest : public ::testing::Test {
 protected:
  platform::PollEventLoop loop;
  testing::RowKeeper rows;  // outlives the list, as the view does
  tResultsList list{&loop};

  tUrlResult& Add(const std::string& url) { return *list.AddHit(Hit(url), false).Result; }
};

// ---- Mark timer

TEST_F(MarksTest, PositiveIntervalTurnsSelectedResultOldWhenTimerFires) {
  list.SetMarkInterval(4);
  tUrlResult& r = Add("http://a.lan/");
  testing::FakeRow& row = rows.Bind(r);

  r.SetSelected(true);
  EXPECT_TRUE(r.IsNew());
  EXPECT_EQ(list.MarkCandidate(), &r);
  EXPECT_TRUE(list.MarkTimerRunning());
  loop.runFor(100ms);
  EXPECT_TRUE(r.IsNew()) << "the timer waits 2000 ms";
  ExpectCountsMatchMarks(list);

  ASSERT_TRUE(loop.runUntil([&] { return !r.IsNew(); }, 5s));
  EXPECT_FALSE(list.MarkTimerRunning());
  EXPECT_TRUE(r.Selected());
  EXPECT_EQ(row.image, csUnchecked);
  EXPECT_EQ(list.NewCount(), 0);
  EXPECT_EQ(list.OldCount(), 1);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, ZeroIntervalTurnsSelectedResultOldAtOnce) {
  list.SetMarkInterval(0);
  tUrlResult& r = Add("http://a.lan/");
  list.SetSaved(true);

  r.SetSelected(true);

  EXPECT_FALSE(r.IsNew());
  EXPECT_FALSE(list.MarkTimerRunning());
  EXPECT_TRUE(list.Saved()) << "automatic transitions leave Saved alone";
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, NegativeIntervalKeepsSelectedResultNew) {
  list.SetMarkInterval(-1);
  tUrlResult& r = Add("http://a.lan/");

  r.SetSelected(true);
  loop.runFor(50ms);

  EXPECT_TRUE(r.IsNew());
  EXPECT_FALSE(list.MarkTimerRunning());
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, DeselectingTheCandidateStopsTheTimer) {
  tUrlResult& r = Add("http://a.lan/");
  r.SetSelected(true);
  ASSERT_TRUE(list.MarkTimerRunning());

  r.SetSelected(false);

  EXPECT_EQ(list.MarkCandidate(), nullptr);
  EXPECT_FALSE(list.MarkTimerRunning());
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, SettingIntervalToZeroWhileTimerRunsTurnsCandidateOldAtOnce) {
  tUrlResult& r = Add("http://a.lan/");
  r.SetSelected(true);
  ASSERT_TRUE(list.MarkTimerRunning());

  list.SetMarkInterval(0);

  EXPECT_FALSE(r.IsNew());
  EXPECT_FALSE(list.MarkTimerRunning());
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, FreeingTheCandidateStopsTheTimer) {
  tUrlResult& r = Add("http://a.lan/");
  Add("http://b.lan/");
  r.SetSelected(true);
  ASSERT_EQ(list.MarkCandidate(), &r);

  list.DeleteSelected(/*permanently=*/true);

  EXPECT_EQ(list.MarkCandidate(), nullptr);
  EXPECT_FALSE(list.MarkTimerRunning());
  loop.runFor(10ms);
  EXPECT_EQ(list.Count(), 1);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, ResultTurningOldInNewOnlyViewLeavesTheView) {
  list.SetMarkInterval(0);
  tUrlResult& r = Add("http://a.lan/");
  list.SetViewMode(vmNewOnly);
  testing::FakeRow& row = rows.Bind(r);

  r.SetSelected(true);

  EXPECT_FALSE(r.IsNew());
  EXPECT_FALSE(r.Visible());
  EXPECT_FALSE(r.Selected());
  EXPECT_EQ(r.ListItem(), nullptr);
  EXPECT_TRUE(row.unbound);
  EXPECT_TRUE(row.deleted);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, MarkSelectedMovesMarksAndClearsSaved) {
  tUrlResult& a = Add("http://a.lan/");
  tUrlResult& b = Add("http://b.lan/");
  Add("http://c.lan/");
  list.SetMarkInterval(-1);
  a.SetSelected(true);
  b.SetSelected(true);
  list.SetSaved(true);
  int begins = 0, ends = 0;
  list.OnBeginUpdate = [&](tResultsList&) { ++begins; };
  list.OnEndUpdate = [&](tResultsList&) { ++ends; };

  list.MarkSelected(false);
  EXPECT_FALSE(a.IsNew());
  EXPECT_FALSE(b.IsNew());
  EXPECT_EQ(list.OldCount(), 2);
  EXPECT_FALSE(list.Saved());
  ExpectCountsMatchMarks(list);

  list.MarkSelected(true);
  EXPECT_TRUE(a.IsNew());
  EXPECT_EQ(list.NewCount(), 3);
  EXPECT_EQ(begins, 2);
  EXPECT_EQ(ends, 2);
  ExpectCountsMatchMarks(list);
}

// ---- View modes

struct ViewCase {
  int mode;
  std::vector<std::string> visible;
};

class ViewModes : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewModes, ShowTheMarksTheModeAsksFor) {
  tResultsList list;
  list.AddHit(Hit("http://new.lan/"), false);
  list.AddHit(Hit("http://old.lan/"), false).Result->SetIsNew(false);
  list.AddHit(Hit("http://deleted-new.lan/"), false).Result->SetDeleted(true);
  tUrlResult* deletedOld = list.AddHit(Hit("http://deleted-old.lan/"), false).Result;
  deletedOld->SetDeleted(true);
  deletedOld->SetIsNew(false);
  list.Items(0)->SetSelected(true);
  int updates = 0;
  list.OnUpdate = [&](tResultsList&) { ++updates; };

  list.SetViewMode(GetParam().mode);

  EXPECT_EQ(VisibleUrls(list), GetParam().visible);
  EXPECT_EQ(list.FirstSelected(), nullptr) << "changing the view deselects everything";
  EXPECT_EQ(updates, 1);
  ExpectCountsMatchMarks(list);
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, ViewModes,
    ::testing::Values(ViewCase{0, {"http://new.lan/", "http://old.lan/"}},
                      ViewCase{1, {"http://new.lan/"}}, ViewCase{2, {"http://old.lan/"}},
                      ViewCase{4, {"http://deleted-new.lan/", "http://deleted-old.lan/"}},
                      ViewCase{5, {"http://deleted-new.lan/"}},
                      ViewCase{6, {"http://deleted-old.lan/"}}));

// ---- Deleting

TEST_F(MarksTest, DeleteSelectedOutsideDeletedViewMarksAndHides) {
  tUrlResult& a = Add("http://a.lan/");
  Add("http://b.lan/");
  testing::FakeRow& row = rows.Bind(a);
  a.SetSelected(true);
  bool updateRaised = false;
  list.OnUpdate = [&](tResultsList&) { updateRaised = true; };

  list.DeleteSelected(false);

  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(a.Deleted());
  EXPECT_FALSE(a.Visible());
  EXPECT_FALSE(a.Selected());
  EXPECT_TRUE(row.deleted);
  EXPECT_EQ(list.DeletedCount(), 1);
  EXPECT_FALSE(updateRaised);
  EXPECT_TRUE(static_cast<bool>(list.OnUpdate)) << "the held-back handler is restored";
  ExpectCountsMatchMarks(list);

  list.SetViewMode(vmDeleted);
  EXPECT_EQ(VisibleUrls(list), (std::vector<std::string>{"http://a.lan/"}));
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, DeleteSelectedInDeletedViewFreesTheResults) {
  Add("http://a.lan/").SetDeleted(true);
  Add("http://b.lan/").SetDeleted(true);
  Add("http://c.lan/");
  list.SetViewMode(vmDeleted);
  rows.BindVisible(list);
  list.Items(0)->SetSelected(true);

  list.DeleteSelected(false);

  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0)->MainUrl(), "http://b.lan/");
  EXPECT_EQ(list.DeletedCount(), 1);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, PermanentDeleteFreesInAnyView) {
  Add("http://a.lan/").SetSelected(true);
  Add("http://b.lan/");
  Add("http://c.lan/").SetSelected(true);

  list.DeleteSelected(true);

  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->MainUrl(), "http://b.lan/");
  EXPECT_EQ(list.IndexOf(list.Items(0)), 0);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, UndeleteSelectedWorksOnlyInDeletedView) {
  tUrlResult& a = Add("http://a.lan/");
  a.SetSelected(true);
  list.DeleteSelected(false);
  a.SetSelected(true);  // hidden, but selected by hand

  list.UndeleteSelected();
  EXPECT_TRUE(a.Deleted()) << "outside the deleted view nothing is restored";
  ExpectCountsMatchMarks(list);

  list.SetViewMode(vmDeleted);
  a.SetSelected(true);
  list.UndeleteSelected();
  EXPECT_FALSE(a.Deleted());
  EXPECT_FALSE(a.Visible()) << "a restored result leaves the deleted view";
  EXPECT_EQ(list.DeletedCount(), 0);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, PurgeDeletedFreesOnlyDeletedResults) {
  Add("http://a.lan/").SetDeleted(true);
  Add("http://b.lan/");
  Add("http://c.lan/").SetDeleted(true);

  list.PurgeDeleted();

  EXPECT_EQ(VisibleUrls(list), (std::vector<std::string>{"http://b.lan/"}));
  EXPECT_EQ(list.Count(), 1);
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, ClearFreesEverythingButKeepsTheSearch) {
  list.Keywords = "query";
  list.FileName = "/tmp/set.twf";
  Add("http://a.lan/");
  rows.BindVisible(list);
  list.AddBlack("*.bad.lan", true, false);

  list.Clear();

  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FileName, "");
  EXPECT_EQ(list.Keywords, "query");
  EXPECT_EQ(list.TemporaryCount(), 1);
  EXPECT_FALSE(list.Saved());
  ExpectCountsMatchMarks(list);
}

TEST_F(MarksTest, RowErrorsAreIgnored) {
  tUrlResult& r = Add("http://a.lan/");
  testing::FakeRow& row = rows.Bind(r);
  row.throwOnWrite = true;

  r.SetCheckState(csGood);
  r.RefreshRow();
  r.SetSelected(true);
  list.DeleteSelected(false);

  EXPECT_EQ(r.CheckState, csGood);
  EXPECT_TRUE(r.Deleted());
  EXPECT_EQ(r.ListItem(), nullptr);
  ExpectCountsMatchMarks(list);
}

// ---- Black-listed hits

TEST_F(MarksTest, BlackHitArrivesDeleted) {
  list.AddBlack("*.bad.lan", true, true);

  const auto added = list.AddHit(Hit("http://w.bad.lan/p"), false);

  ASSERT_NE(added.Result, nullptr);
  EXPECT_EQ(added.Status, hsSamePage);
  EXPECT_TRUE(added.Result->Deleted());
  EXPECT_FALSE(added.Result->Visible());
  EXPECT_EQ(list.DeletedCount(), 1);
  EXPECT_EQ(list.NewCount(), 1);
  ExpectCountsMatchMarks(list);

  list.SetViewMode(vmDeleted);
  EXPECT_TRUE(added.Result->Visible());

  // Unchecked entries are not in force.
  list.BlackList().Items(0)->SetChecked(false);
  EXPECT_EQ(list.AddHit(Hit("http://v.bad.lan/p"), false).Status, hsNew);
  ExpectCountsMatchMarks(list);
}

}  // namespace
}  // namespace trawler::results
