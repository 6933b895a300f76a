#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/mainwin/query_history.h"
#include "core/mainwin/version_number.h"
#include "core/mainwin/window_title.h"

namespace trawler::mainwin {
namespace {

TEST(WindowTitle, LabelAndTextInBrackets) {
  EXPECT_EQ(WindowTitle("Category", "Web"), "Trawler [Category: Web]");
  // A stored category the sites do not know ends with an empty category text.
  EXPECT_EQ(WindowTitle("Category", ""), "Trawler [Category: ]");
  EXPECT_EQ(WindowTitle("Quick template", "Новости"), "Trawler [Quick template: Новости]");
}

TEST(QueryHistory, SameQueryTwiceKeepsOneEntryOnTop) {
  std::vector<std::string> history{"b", "a", "c"};
  PushHistory(history, "a");
  EXPECT_EQ(history, (std::vector<std::string>{"a", "b", "c"}));
  PushHistory(history, "a");
  EXPECT_EQ(history, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(QueryHistory, FiftyFirstDistinctQueryDropsTheOldest) {
  std::vector<std::string> history;
  for (int i = 1; i <= 51; ++i) PushHistory(history, "q" + std::to_string(i));
  ASSERT_EQ(history.size(), 50u);
  EXPECT_EQ(history.front(), "q51");
  EXPECT_EQ(history.back(), "q2");
}

TEST(QueryHistory, EmptyQueryChangesNothing) {
  std::vector<std::string> history{"x"};
  PushHistory(history, "");
  EXPECT_EQ(history, (std::vector<std::string>{"x"}));
}

TEST(VersionNumber, PartsAreShiftedByThousands) {
  struct Case {
    const char *text;
    std::int64_t number;
  } cases[] = {
      {"1.2", 1002},
      {"1.1.0.0", 1001000000},
      {"1.1.0.1", 1001000001},
      {"", 0},
      {"2.x.3", 2000003},  // a part that is not a number counts 0
      {"7", 7},
  };
  for (const Case &c : cases) EXPECT_EQ(VersionNumber(c.text), c.number) << c.text;
}

TEST(VersionNumber, CompatibilityQuestion) {
  struct Case {
    const char *required, *program;
    bool ask;
  } cases[] = {
      {"1.2", "1.1.0.0", false},  // 1002 < 1001000000: no question, as the numbers say
      {"1.1.0.1", "1.1.0.0", true},
      {"  ", "1.1.0.0", false},
      {"1.1.0.0", "1.1.0.0", false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(NeedsNewerProgram(c.required, c.program), c.ask) << c.required << " vs " << c.program;
}

}  // namespace
}  // namespace trawler::mainwin
