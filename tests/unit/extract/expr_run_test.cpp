#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/poll_event_loop.h"
#include "results/expr_export.h"
#include "results/expr_history.h"
#include "results/expr_run.h"
#include "results/results_list.h"
#include "support/scratch_store.h"

namespace trawler::results {
namespace {

using namespace std::chrono_literals;

struct ResultShape {
  std::string title;
  std::vector<std::string> urls;  // the first is the main address
  std::string description;
};

void Fill(tResultsList& list, const std::vector<ResultShape>& shapes) {
  for (const ResultShape& shape : shapes) {
    tHit hit;
    hit.Url = shape.urls.at(0);
    hit.Engine = "e";
    hit.Title = shape.title;
    hit.Description = shape.description;
    tUrlResult* result = list.AddHit(hit, false).Result;
    ASSERT_NE(result, nullptr) << hit.Url;
    for (std::size_t i = 1; i < shape.urls.size(); ++i) result->AddOtherUrl(shape.urls[i]);
  }
}

class ExprRunTest : public ::testing::Test {
 protected:
  // Runs the expression to the end and returns what the run reported.
  tExprRunOutcome Run(const std::string& expression, const tExprSources& sources = {}) {
    tExprRun run(loop);
    run.Options = sources;
    tExprRunOutcome outcome;
    bool done = false;
    run.OnDone = [&](const tExprRunOutcome& o) {
      outcome = o;
      done = true;
    };
    EXPECT_TRUE(run.Start(list, expression, lines));
    EXPECT_TRUE(loop.runUntil([&] { return done; }, 20s));
    return outcome;
  }

  platform::PollEventLoop loop;
  tResultsList list;
  tExprLines lines;
};

TEST_F(ExprRunTest, UniqueLinesIgnoreCaseAndIncludeLinesAlreadyThere) {
  Fill(list, {{"Mail ann@example.com or ANN@EXAMPLE.COM", {"http://a.example/"}, ""},
              {"again ann@example.com", {"http://b.example/"}, "bob@example.org"}});
  lines.SetText("bob@EXAMPLE.org\r\n");
  const tExprRunOutcome outcome = Run(R"(\w+@[\w.]+\w)");
  EXPECT_FALSE(outcome.Failed);
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"bob@EXAMPLE.org", "ann@example.com"}));
  EXPECT_EQ(outcome.Added, 1);
}

TEST_F(ExprRunTest, WithoutUniqueEveryOccurrenceIsAdded) {
  Fill(list, {{"x1 x2 x1", {"http://a.example/"}, ""}});
  tExprSources sources;
  sources.Unique = false;
  Run("x\\d", sources);
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"x1", "x2", "x1"}));
}

TEST_F(ExprRunTest, DescriptionIsSearchedAsPlainTextOnlyWhenTheRawTextGivesNoMatch) {
  struct Case {
    std::string description;
    std::string expression;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      // The raw text matches: the plain-text form is not searched as well.
      {"<b>Tom</b> &amp; Jerry Tom", "Tom(</b>)?", {"Tom</b>", "Tom"}},
      // Only the plain text matches.
      {"Tom &amp; <i>Jerry</i>", "Tom & Jerry", {"Tom & Jerry"}},
      {"<p>nothing</p>", "Jerry", {}},
  };
  for (const Case& c : cases) {
    tResultsList results;
    Fill(results, {{"", {"http://a.example/"}, c.description}});
    tExprLines found;
    tExprRun run(loop);
    run.Options.Unique = false;
    bool done = false;
    run.OnDone = [&](const tExprRunOutcome&) { done = true; };
    run.Start(results, c.expression, found);
    ASSERT_TRUE(loop.runUntil([&] { return done; }, 20s));
    EXPECT_EQ(found.Lines(), c.expected) << c.description;
  }
}

TEST_F(ExprRunTest, MainAddressIsNeverSearchedOtherAddressesAre) {
  Fill(list, {{"", {"http://main.example/a", "http://other.example/b", "http://third.example/c"}, ""},
              {"", {"http://single.example/"}, ""}});
  const tExprRunOutcome outcome = Run(R"(http://[^\r\n]+)");
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"http://other.example/b", "http://third.example/c"}));
  EXPECT_EQ(outcome.Searched, 2);
}

TEST_F(ExprRunTest, SourcesAndVisibilityChooseTheTexts) {
  Fill(list, {{"t:title", {"http://a.example/", "http://t:url.example/"}, "t:desc"},
              {"t:hidden", {"http://hidden.example/"}, ""}});
  list.SetFilter(fmAllWords, true, false, false, "title", false);
  ASSERT_FALSE(list.Items(1)->Visible());
  struct Case {
    bool onlyVisible, title, urls, description;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, true, true, true, {"t:title", "t:url", "t:desc", "t:hidden"}},
      {true, true, true, true, {"t:title", "t:url", "t:desc"}},
      {true, false, true, false, {"t:url"}},
      {false, true, false, true, {"t:title", "t:desc", "t:hidden"}},
  };
  for (const Case& c : cases) {
    lines.SetText("");
    Run("t:[a-z]+", {c.onlyVisible, true, c.title, c.urls, c.description});
    EXPECT_EQ(lines.Lines(), c.expected);
  }
}

TEST_F(ExprRunTest, EmptyMatchesAdvanceByOneWholeCharacter) {
  Fill(list, {{"aé", {"http://a.example/"}, ""}});
  tExprSources sources;
  sources.Unique = false;
  sources.Urls = sources.Description = false;
  Run("a*", sources);
  // "a" at 0, then the empty match before "é", then the empty match at the end.
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"a", "", ""}));
}

TEST_F(ExprRunTest, MalformedExpressionReportsTheEnginesMessageAndPosition) {
  Fill(list, {{"abc", {"http://a.example/"}, ""}});
  const tExprRunOutcome outcome = Run("ab(c");
  EXPECT_TRUE(outcome.Failed);
  EXPECT_TRUE(outcome.Compiled);
  EXPECT_NE(outcome.Error.find("missing closing parenthesis"), std::string::npos) << outcome.Error;
  EXPECT_NE(outcome.Error.find("position 4"), std::string::npos) << outcome.Error;
  EXPECT_EQ(outcome.Searched, 1);  // the run stopped at its first search
  EXPECT_EQ(lines.Count(), 0);
}

TEST_F(ExprRunTest, RunThatSearchesNothingNeverCompiles) {
  const tExprRunOutcome empty = Run("ab(c");
  EXPECT_FALSE(empty.Failed);
  EXPECT_FALSE(empty.Compiled);
  Fill(list, {{"abc", {"http://a.example/"}, ""}});
  list.SetFilter(fmAllWords, true, false, false, "zzz", false);
  const tExprRunOutcome hidden = Run("ab(c", {true, true, true, true, true});
  EXPECT_FALSE(hidden.Failed);
  EXPECT_FALSE(hidden.Compiled);
}

TEST_F(ExprRunTest, CatastrophicBacktrackingEndsWithAnErrorKeepingEarlierMatches) {
  struct Case {
    std::string expression;
    std::string description;
  };
  const Case cases[] = {
      {"(a|aa)+$", std::string(20000, 'a') + "!"},  // deep recursion
      {"(a|a)+b", std::string(40, 'a') + "cb"},     // exponentially many paths
  };
  for (const Case& c : cases) {
    tResultsList results;
    Fill(results, {{"found: b", {"http://a.example/"}, ""},
                   {"", {"http://b.example/"}, c.description},
                   {"b", {"http://c.example/"}, ""}});
    tExprLines found;
    tExprRun run(loop);
    tExprRunOutcome outcome;
    bool done = false;
    run.OnDone = [&](const tExprRunOutcome& o) {
      outcome = o;
      done = true;
    };
    run.Start(results, c.expression + "|found: b", found);
    ASSERT_TRUE(loop.runUntil([&] { return done; }, 60s)) << c.expression;
    EXPECT_TRUE(outcome.Failed) << c.expression;
    EXPECT_NE(outcome.Error.find("limit"), std::string::npos) << outcome.Error;
    EXPECT_EQ(outcome.Searched, 2);
    EXPECT_EQ(found.Lines(), std::vector<std::string>{"found: b"}) << c.expression;
  }
}

TEST_F(ExprRunTest, RunEndsAtTheCountTakenAtItsStartAndYieldsPerResult) {
  Fill(list, {{"r1", {"http://a.example/"}, ""}, {"r2", {"http://b.example/"}, ""}});
  tExprRun run(loop);
  std::vector<std::pair<int, int>> progress;
  bool done = false;
  bool otherWorkRan = false;
  run.OnProgress = [&](int position, int maximum) {
    progress.emplace_back(position, maximum);
    if (position == 1) {
      // Work queued during a run gets its turn before the run ends.
      loop.post([&] { otherWorkRan = !done; });
      Fill(list, {{"r3", {"http://c.example/"}, ""}});
    }
  };
  run.OnDone = [&](const tExprRunOutcome&) { done = true; };
  ASSERT_TRUE(run.Start(list, "r\\d", lines));
  EXPECT_FALSE(run.Start(list, "r\\d", lines));
  ASSERT_TRUE(loop.runUntil([&] { return done; }, 20s));
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"r1", "r2"}));
  EXPECT_TRUE(otherWorkRan);
  EXPECT_FALSE(run.Running());
}

TEST_F(ExprRunTest, ResultsFreedDuringTheRunAreSkipped) {
  Fill(list, {{"r1", {"http://a.example/"}, ""}, {"r2", {"http://b.example/"}, ""},
              {"r3", {"http://c.example/"}, ""}});
  tExprRun run(loop);
  bool done = false;
  tExprRunOutcome outcome;
  run.OnProgress = [&](int position, int) {
    if (position == 1) list.FreeResult(list.Items(2));
  };
  run.OnDone = [&](const tExprRunOutcome& o) {
    outcome = o;
    done = true;
  };
  run.Start(list, "r\\d", lines);
  ASSERT_TRUE(loop.runUntil([&] { return done; }, 20s));
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"r1", "r2"}));
  EXPECT_EQ(outcome.Searched, 2);
}

TEST(ExprHistory, TopWithoutDuplicatesAndAtMostFifty) {
  std::vector<std::string> history;
  AddToExprHistory(history, "a+");
  AddToExprHistory(history, "b+");
  AddToExprHistory(history, "A+");
  EXPECT_EQ(history, (std::vector<std::string>{"A+", "b+"}));
  for (int i = 0; i < 50; ++i) AddToExprHistory(history, "e" + std::to_string(i));
  ASSERT_EQ(history.size(), 50u);
  EXPECT_EQ(history.front(), "e49");
  EXPECT_EQ(history.back(), "e0");  // "A+" and "b+" were pushed out, oldest first
}

TEST(ExprNames, ProposalSkipsListedNamesIgnoringCase) {
  struct Case {
    std::vector<std::string> listed;
    std::string expected;
  };
  const Case cases[] = {
      {{}, "New expression"},
      {{"Emails"}, "New expression"},
      {{"New expression", "New expression_1"}, "New expression_2"},
      {{"NEW EXPRESSION", "new expression_2"}, "New expression_1"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProposeExprName(c.listed, "New expression"), c.expected);
}

TEST(ExprLines, SplitAndJoin) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"a\n\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    tExprLines lines;
    lines.SetText(c.text);
    EXPECT_EQ(lines.Lines(), c.lines) << c.text;
  }
  tExprLines lines;
  lines.SetText("x\ny");
  EXPECT_EQ(lines.Text(), "x\r\ny\r\n");
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(ExprExport, WritesTheTextWithCrLfAndReplacesAnExistingFile) {
  ScratchStore scratch;
  const std::filesystem::path file = scratch.Path() / "extract.txt";
  std::ofstream(file) << "old content that is longer than the new one";
  std::string error;
  ASSERT_TRUE(ExportExprText(file, "a@b.c\nd@e.f\r\ng\rlast", &error)) << error;
  EXPECT_EQ(ReadFile(file), "a@b.c\r\nd@e.f\r\ng\r\nlast");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, std::vector<std::string>{"extract.txt"});  // no temporary file left
}

TEST(ExprExport, UnwritableFileReportsTheError) {
  ScratchStore scratch;
  std::string error;
  EXPECT_FALSE(ExportExprText(scratch.Path() / "missing" / "x.txt", "text", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "missing"));
}

}  // namespace
}  // namespace trawler::results
