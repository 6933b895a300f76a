#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/mainwin/command_states.h"
#include "core/mainwin/engine_menu.h"
#include "core/mainwin/engine_rows.h"
#include "core/mainwin/search_log.h"
#include "core/mainwin/search_rules.h"
#include "core/mainwin/url_opener.h"
#include "core/engine_list.h"
#include "core/sdf_records.h"
#include "platform/poll_event_loop.h"
#include "support/scratch_store.h"

namespace trawler::mainwin {
namespace {

TEST(EngineRows, FirstStateAddsRowThenUpdatesIt) {
  ScratchStore store;
  platform::PollEventLoop loop;
  core::TEngineList list(loop, store.Store());
  core::TSDFInfo sdf;
  core::TEngine a(sdf, list);
  core::TEngine b(sdf, list);
  a.Caption = "Alpha";
  b.Caption = "Beta";

  EngineRows rows;
  int changes = 0;
  rows.OnRowChanged = [&](int) { ++changes; };
  EXPECT_EQ(rows.ShowEngineState(a, "Queued", epQueued), 0);
  EXPECT_EQ(a.StateRow, 0);
  EXPECT_EQ(rows.Row(0).Caption, "Alpha");
  EXPECT_EQ(rows.Row(0).Received, "");
  EXPECT_EQ(rows.Row(0).Total, "");
  EXPECT_EQ(rows.Row(0).Transferred, "0");

  EXPECT_EQ(rows.ShowEngineState(b, "Queued", epQueued), 1);
  a.HitCount = 12;
  a.BytesReceived = 3456;
  EXPECT_EQ(rows.ShowEngineState(a, "Processing results", epWorking), 0);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(rows.Row(0).State, "Processing results");
  EXPECT_EQ(rows.Row(0).Picture, epWorking);
  EXPECT_EQ(rows.Row(0).Received, "12");
  EXPECT_EQ(rows.Row(0).Total, "");  // a total of 0 leaves the column as it was
  EXPECT_EQ(rows.Row(0).Transferred, "3456");
  EXPECT_EQ(changes, 3);

  // After the engines are replaced the rows stay without their links, and an engine whose
  // stale row index points at an unlinked row gets a new row.
  rows.ForgetEngines();
  EXPECT_EQ(rows.EngineAt(0), nullptr);
  EXPECT_EQ(rows.ShowEngineState(a, "Queued", epQueued), 2);

  rows.Clear();
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(a.StateRow, -1);
  EXPECT_EQ(rows.EngineAt(0), nullptr);
}

TEST(CommandStates, Table) {
  using S = SearchState;
  struct Case {
    S state;
    bool inRetrieved, rows;
    bool search, stop, pause, pauseChecked, refresh, reset, retrieved, panel;
  } cases[] = {
      {S::Idle, false, false, true, false, false, false, true, true, false, true},
      {S::Idle, false, true, true, false, false, false, true, true, true, true},
      {S::Idle, true, false, true, false, false, false, false, true, true, true},
      {S::Searching, false, true, false, true, true, false, false, false, false, false},
      {S::Paused, false, true, false, true, true, true, false, false, true, false},
      {S::Paused, false, false, false, true, true, true, false, false, false, false},
  };
  for (const Case &c : cases) {
    CommandInputs in;
    in.State = c.state;
    in.SiteListLoaded = true;
    in.SearchInRetrievedOn = c.inRetrieved;
    in.ViewHasRows = c.rows;
    const CommandStates s = StatesFor(in);
    SCOPED_TRACE(static_cast<int>(c.state));
    EXPECT_EQ(s.Search, c.search);
    EXPECT_EQ(s.Stop, c.stop);
    EXPECT_EQ(s.Pause, c.pause);
    EXPECT_EQ(s.PauseChecked, c.pauseChecked);
    EXPECT_EQ(s.Refresh, c.refresh);
    EXPECT_EQ(s.Reset, c.reset);
    EXPECT_EQ(s.SearchInRetrieved, c.retrieved);
    EXPECT_EQ(s.Panel, c.panel);
  }
  CommandInputs before;  // no site list yet: nothing to search with
  EXPECT_FALSE(StatesFor(before).Search);
  EXPECT_FALSE(StatesFor(before).Refresh);
}

TEST(EngineMenu, EnabledAndCheckedByPicture) {
  struct Case {
    int picture;
    bool url, repeat;
    const char *checked;  // "play", "pause", "stop"
    bool play, pause, stop, repeatOn;
  } cases[] = {
      {0, true, true, "", true, true, true, false},
      {1, true, true, "play", false, true, true, false},
      {2, true, true, "pause", true, false, true, false},
      {3, true, true, "stop", false, false, false, true},
      {4, true, false, "stop", false, false, false, false},
      {4, false, true, "stop", false, false, false, false},
  };
  for (const Case &c : cases) {
    const EngineMenuState m = EngineMenuFor({true, c.picture, c.url, c.repeat});
    SCOPED_TRACE(c.picture);
    EXPECT_EQ(m.PlayChecked, std::string(c.checked) == "play");
    EXPECT_EQ(m.PauseChecked, std::string(c.checked) == "pause");
    EXPECT_EQ(m.StopChecked, std::string(c.checked) == "stop");
    EXPECT_EQ(m.PlayEnabled, c.play);
    EXPECT_EQ(m.PauseEnabled, c.pause);
    EXPECT_EQ(m.StopEnabled, c.stop);
    EXPECT_EQ(m.RepeatEnabled, c.repeatOn);
    EXPECT_EQ(m.OpenEnabled, c.url);
    EXPECT_EQ(m.CopyEnabled, c.url);
  }
  const EngineMenuState unlinked = EngineMenuFor({false, 1, true, true});
  EXPECT_FALSE(unlinked.PauseEnabled || unlinked.StopEnabled || unlinked.OpenEnabled);
}

TEST(SearchLog, StatusLineFirstOtherLinesAppended) {
  SearchLog log;
  log.SetStatusLine("started", false);
  log.Append("error");
  log.SetStatusLine("suspended", true);
  EXPECT_EQ(log.Selected(), 0);
  log.SetStatusLine("resumed", true);
  log.Append("finished");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"resumed", "error", "finished"}));
  EXPECT_EQ(log.Selected(), 2);
  log.Clear();
  EXPECT_TRUE(log.Lines().empty());
}

TEST(SearchRules, AskToSaveOnlyWhenResultsWouldBeLost) {
  struct Case {
    bool clear, saved;
    int count;
    bool atClose, ask;
  } cases[] = {
      {true, false, 3, true, true},   {false, false, 3, true, false}, {true, true, 3, true, false},
      {true, false, 0, true, false},  {true, false, 3, false, false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(ShouldAskToSave(c.clear, c.saved, c.count, c.atClose), c.ask);
  EXPECT_TRUE(ShouldAskAtClose(false, 1, true));
}

TEST(SearchRules, ConnectionsAndCheckerSlots) {
  EXPECT_EQ(SearchConnections(5, true), 4);
  EXPECT_EQ(SearchConnections(5, false), 5);
  EXPECT_EQ(SearchConnections(1, true), 1);  // a search always keeps one connection
  EXPECT_EQ(CheckerSlotsWhileSearching(true), 1);
  EXPECT_EQ(CheckerSlotsWhileSearching(false), 0);
  EXPECT_EQ(CheckerSlotsAfterSearch(5, true), 5);
  EXPECT_EQ(CheckerSlotsAfterSearch(5, false), 0);
}

TEST(SearchRules, RetrievedSearchErrors) {
  EXPECT_EQ(RetrievedSearchErrors(0, false, 1, 1, 1), std::vector<int>{});  // panel: all fields
  EXPECT_EQ(RetrievedSearchErrors(3, false, 0, 0, 0), std::vector<int>{34});
  EXPECT_EQ(RetrievedSearchErrors(3, true, 1, 1, 1), (std::vector<int>{34, 19}));
  EXPECT_EQ(RetrievedSearchErrors(1, true, 1, 0, 1), std::vector<int>{});
}

TEST(SearchRules, ServiceAddresses) {
  EXPECT_EQ(DonationAddress("", "http://home"), "http://home");
  EXPECT_EQ(DonationAddress("http://give", "http://home"), "http://give");
  EXPECT_EQ(MailAddress("", false), "");
  EXPECT_EQ(MailAddress("a@b.c", false), "mailto:a@b.c");
  EXPECT_EQ(MailAddress("a@b.c", true),
            "mailto:a@b.c?subject=Please add this server to your nice app");
}

TEST(UrlOpener, FirstLaunchedDirectlyLaterThroughConversation) {
  std::vector<std::pair<std::string, std::string>> calls;
  auto record = [&](const char *how) {
    return [&calls, how](const std::string &browser, const std::string &url) {
      calls.push_back({how, browser + " " + url});
      return true;
    };
  };
  UrlOpener opener(record("launch"), record("dde"));
  opener.Open("", "", "System", false);  // nothing for an empty address
  opener.Open("", "http://a", "System", false);
  opener.Open("Firefox", "http://b", "System", false);
  opener.Open("", "http://c", "System", true);  // conversations off: always launched
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], (std::pair<std::string, std::string>{"launch", "System http://a"}));
  EXPECT_EQ(calls[1], (std::pair<std::string, std::string>{"dde", "Firefox http://b"}));
  EXPECT_EQ(calls[2], (std::pair<std::string, std::string>{"launch", "System http://c"}));
}

}  // namespace
}  // namespace trawler::mainwin
