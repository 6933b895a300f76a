// The recent files of the Open drop-down and the fields the window keeps in a result set.
#include <gtest/gtest.h>

#include <set>

#include "core/mainwin/recent_entries.h"
#include "core/mainwin/result_set_fields.h"

namespace trawler::mainwin {
namespace {

using Names = std::vector<std::string>;

struct RecentCase {
  const char *name;
  Names before;
  std::string file;
  int limit;
  Names after;
};

TEST(RecentEntries, AddFollowsTheRules) {
  const RecentCase cases[] = {
      {"first file", {}, "/a.twf", 10, {"/a.twf"}},
      {"new file on top", {"/a.twf", "/b.twf"}, "/c.twf", 10, {"/c.twf", "/a.twf", "/b.twf"}},
      {"same file moves to top", {"/a.twf", "/b.twf", "/c.twf"}, "/c.twf", 10,
       {"/c.twf", "/a.twf", "/b.twf"}},
      {"top file stays", {"/a.twf", "/b.twf"}, "/a.twf", 10, {"/a.twf", "/b.twf"}},
      {"letter case ignored", {"/x/a.twf", "/x/Файл.twf"}, "/X/ФАЙЛ.TWF", 10,
       {"/x/Файл.twf", "/x/a.twf"}},
      {"cut to the limit", {"/a.twf", "/b.twf"}, "/c.twf", 2, {"/c.twf", "/a.twf"}},
      {"limit 0 keeps none", {}, "/a.twf", 0, {}},
      {"negative limit keeps none", {}, "/a.twf", -3, {}},
      {"empty name changes nothing", {"/a.twf"}, "", 10, {"/a.twf"}},
  };
  for (const RecentCase &c : cases)
    EXPECT_EQ(AddRecentEntry(c.before, c.file, c.limit), c.after) << c.name;
}

TEST(RecentEntries, CatalogueListKeepsItsOrderUpToTheLimit) {
  const Names mru{"/new.twf", "/mid.twf", "/old.twf"};
  EXPECT_EQ(RecentEntriesFromCatalogue(mru, 10), mru);
  // Added from the last: the oldest fall off, the newest stays on top.
  EXPECT_EQ(RecentEntriesFromCatalogue(mru, 2), (Names{"/new.twf", "/mid.twf"}));
  EXPECT_EQ(RecentEntriesFromCatalogue(mru, 0), Names{});
}

TEST(ServerLog, RowsRoundTripWithWorkingEnginesSavedAsDone) {
  std::vector<EngineRow> rows(4);
  const int pictures[] = {epQueued, epWorking, epSuspended, epError};
  for (int i = 0; i < 4; ++i) {
    rows[i].Picture = pictures[i];
    rows[i].Received = std::to_string(i * 10);
    rows[i].Total = std::to_string(i * 100);
    rows[i].Transferred = std::to_string(i * 1000);
    rows[i].State = "state " + std::to_string(i);
    rows[i].Caption = "Site #" + std::to_string(i);
  }
  const std::string log = ServerLogFromRows(rows);
  EXPECT_EQ(log.substr(0, log.find("\r\n")), "3#0#0#0#state 0#Site #0");
  const std::vector<EngineRow> back = RowsFromServerLog(log);
  ASSERT_EQ(back.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(back[i].Picture, i < 3 ? epDone : epError) << i;
    EXPECT_EQ(back[i].Received, rows[i].Received);
    EXPECT_EQ(back[i].Total, rows[i].Total);
    EXPECT_EQ(back[i].Transferred, rows[i].Transferred);
    EXPECT_EQ(back[i].State, rows[i].State);
    EXPECT_EQ(back[i].Caption, rows[i].Caption);
    EXPECT_EQ(back[i].Engine, nullptr);
  }
}

TEST(ServerLog, ReadsUnevenLines) {
  struct Case {
    const char *line;
    int picture;
    const char *received, *state, *caption;
  } cases[] = {
      {"x#1#2#3#Done#Name", 5, "1", "Done", "Name"},
      {"4#1#2#3#Error", 4, "1", "Error", ""},
      {"2", 2, "", "", ""},
      {"#####", 5, "", "", ""},
  };
  for (const Case &c : cases) {
    const std::vector<EngineRow> rows = RowsFromServerLog(c.line);
    ASSERT_EQ(rows.size(), 1u) << c.line;
    EXPECT_EQ(rows[0].Picture, c.picture) << c.line;
    EXPECT_EQ(rows[0].Received, c.received) << c.line;
    EXPECT_EQ(rows[0].State, c.state) << c.line;
    EXPECT_EQ(rows[0].Caption, c.caption) << c.line;
  }
  EXPECT_EQ(RowsFromServerLog("3#a#b#c#d#e\n\r\n3#a#b#c#d#f\r").size(), 2u);
  EXPECT_TRUE(RowsFromServerLog("").empty());
}

TEST(LoadedCategory, FallsBackToTheRootThenToNone) {
  const auto known = [](std::set<std::string> keys) {
    return [keys](std::string_view key) { return keys.count(std::string(key)) > 0; };
  };
  EXPECT_EQ(LoadedCategory("12", known({"0", "12"})), "12");
  EXPECT_EQ(LoadedCategory("u3", known({"0", "12"})), "0");
  EXPECT_EQ(LoadedCategory("u3", known({"12"})), "");
}

}  // namespace
}  // namespace trawler::mainwin
