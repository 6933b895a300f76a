#include <gtest/gtest.h>

#include <cstdlib>

#include "../results/results_fixture.h"
#include "results/bot_result.h"
#include "results/results_list.h"

namespace trawler::results {
namespace {

using testing::FakeRow;
using testing::Hit;

tBotResult Answered(std::string url, std::string code, std::string reason) {
  tBotResult r;
  r.Url = std::move(url);
  r.Code = std::move(code);
  r.Reason = std::move(reason);
  return r;
}

class ApplyCheckResult : public ::testing::Test {
 protected:
  tResultsList list;
  tUrlResult& Add(const std::string& url) {
    tUrlResult* r = list.AddHit(Hit(url), false).Result;
    return *r;
  }
};

TEST_F(ApplyCheckResult, SetsStateByCodeAndDeletesGonePagesOnRequest) {
  struct Case {
    const char* code;
    bool deleteBad;
    bool kept;
    int state;
  } cases[] = {
      {"200", false, true, csGood},   {"302", true, true, csGood},
      {"404", false, true, csBad},    {"404", true, false, 0},
      {"503", true, false, 0},        {"500", true, true, csBad},
      {"403", false, true, csBad},    {"0", true, true, csGood},  // scheme not checked
      {"", true, true, csUnchecked},  // no answer
  };
  for (const Case& c : cases) {
    tResultsList fresh;
    tUrlResult* r = fresh.AddHit(Hit("http://h.example/a"), false).Result;
    tBotResult check = Answered("http://h.example/a", c.code, "why");
    fresh.ApplyCheckResult(check, c.deleteBad);
    const std::string name = std::string("code '") + c.code + "' deleteBad " +
                             (c.deleteBad ? "on" : "off");
    ASSERT_EQ(fresh.Count(), c.kept ? 1 : 0) << name;
    if (!c.kept) continue;
    EXPECT_EQ(r->CheckState, c.state) << name;
    EXPECT_EQ(r->Code, std::atoi(c.code)) << name;
    EXPECT_EQ(r->Reason, "why") << name;
  }
}

TEST_F(ApplyCheckResult, CopiesTheFactsAndFollowsAPermanentMove) {
  tUrlResult& r = Add("http://h.example/moved/a");
  r.Date = 100;
  tBotResult check = Answered("http://h.example/moved/a", "301", "HTTP/1.1 301 Moved Permanently");
  check.Location = "http://h.example/doc/a";
  check.Server = " nginx";
  check.ContentType = " text/html";
  check.Size = "512 bytes";
  check.Date = 200;
  list.ApplyCheckResult(check, true);
  EXPECT_EQ(r.MainUrl(), "http://h.example/doc/a");
  EXPECT_EQ(r.Urls(), (std::vector<std::string>{"http://h.example/moved/a", "http://h.example/doc/a"}));
  EXPECT_EQ(r.Code, 301);
  EXPECT_EQ(r.Server, " nginx");
  EXPECT_EQ(r.ContentType, " text/html");
  EXPECT_EQ(r.Size, "512 bytes");
  EXPECT_EQ(r.Date, 200);
  EXPECT_EQ(r.CheckState, csGood);
  // The new main address is the one the list finds the result by.
  EXPECT_EQ(list.FindByUrl("http://h.example/doc/a", false, 0, false), &r);

  // A check without a date keeps the result's date.
  list.ApplyCheckResult(Answered("http://h.example/doc/a", "200", "HTTP/1.1 200 OK"), false);
  EXPECT_EQ(r.Date, 200);
}

TEST_F(ApplyCheckResult, UpdatesOnlyTheFirstResultWithThatExactMainAddress) {
  tUrlResult& first = Add("http://h.example/a");
  tHit separate = Hit("http://h.example/a", "e2");
  separate.Separate = true;
  tUrlResult& second = *list.AddHit(separate, false).Result;
  tHit upper = Hit("http://h.example/A");
  upper.Separate = true;  // else it would merge into the first
  tUrlResult& otherCase = *list.AddHit(upper, false).Result;
  list.ApplyCheckResult(Answered("http://h.example/a", "404", "gone"), false);
  EXPECT_EQ(first.CheckState, csBad);
  EXPECT_EQ(second.CheckState, csUnchecked);
  EXPECT_EQ(otherCase.CheckState, csUnchecked);

  list.ApplyCheckResult(Answered("http://nowhere.example/", "404", "gone"), true);
  list.ApplyCheckResult(Answered("", "404", "gone"), true);
  EXPECT_EQ(list.Count(), 3);
  // After a move the result answers to its new main address only.
  tBotResult moved = Answered("http://h.example/A", "301", "moved");
  moved.Location = "http://h.example/new";
  list.ApplyCheckResult(moved, false);
  list.ApplyCheckResult(Answered("http://h.example/A", "404", "gone"), true);
  EXPECT_EQ(list.Count(), 3);
  list.ApplyCheckResult(Answered("http://h.example/new", "404", "gone"), true);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), &first);
  EXPECT_EQ(list.Items(1), &second);
}

TEST_F(ApplyCheckResult, LeavesSavedAloneAndRepaintsTheRow) {
  tUrlResult& r = Add("http://h.example/a");
  Add("http://h.example/b");
  FakeRow row;
  r.BindRow(&row);
  list.SetSaved(true);
  tBotResult check = Answered("http://h.example/a", "301", "moved");
  check.Location = "http://h.example/c";
  list.ApplyCheckResult(check, false);
  EXPECT_TRUE(list.Saved());
  EXPECT_EQ(row.image, csGood);
  EXPECT_EQ(row.columns.at(0), "http://h.example/c");

  // Freeing a gone page is a change of the set.
  list.ApplyCheckResult(Answered("http://h.example/b", "404", "gone"), true);
  EXPECT_FALSE(list.Saved());
  EXPECT_EQ(list.Count(), 1);
  r.BindRow(nullptr);  // the row dies before the list
}

TEST_F(ApplyCheckResult, NoAnswerKeepsTheMarksAndRecordsWhy) {
  tUrlResult& r = Add("http://h.example/a");
  tUrlResult& checked = Add("http://h.example/b");
  checked.CheckState = csBad;
  for (const char* reason : {kCheckConnectionFailed, kCheckTimedOut}) {
    list.ApplyCheckResult(Answered("http://h.example/a", "", reason), true);
    list.ApplyCheckResult(Answered("http://h.example/b", "", reason), true);
    EXPECT_EQ(r.CheckState, csUnchecked) << reason;
    EXPECT_EQ(checked.CheckState, csBad) << reason;
    EXPECT_EQ(r.Code, 0) << reason;
    EXPECT_EQ(r.Reason, reason);
  }
}

}  // namespace
}  // namespace trawler::results
