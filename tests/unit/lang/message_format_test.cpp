#include <gtest/gtest.h>

#include <string>

#include "support/lang/message_format.h"

namespace {

using trawler::lang::FormatMessage;

TEST(FormatMessage, FillsPlacesInOrderAndNeverReadsMissingValues) {
  struct Case {
    const char *name;
    std::string result;
    const char *expected;
  } cases[] = {
      {"text and number", FormatMessage("The search is finished %s; loaded %d links", {"12:00", 42}),
       "The search is finished 12:00; loaded 42 links"},
      {"missing values stay empty", FormatMessage("a %s b %d c %s", {"x"}), "a x b  c "},
      {"no values at all", FormatMessage("Deleted: %d", {}), "Deleted: "},
      {"extra values are ignored", FormatMessage("only %s", {"one", "two", 3}), "only one"},
      {"either kind fits either place", FormatMessage("%d/%s", {"text", 7}), "text/7"},
      {"percent doubled", FormatMessage("100%% of %s", {"x"}), "100% of x"},
      {"other places kept as written", FormatMessage("%x %n %5d %s", {"v"}), "%x %n %5d v"},
      {"lone percent at the end", FormatMessage("50%", {"v"}), "50%"},
      {"negative and large numbers", FormatMessage("%d %d", {-5, std::int64_t{1} << 40}),
       "-5 1099511627776"},
      {"value with places is not re-read", FormatMessage("[%s] %s", {"%s%d", "b"}), "[%s%d] b"},
  };
  for (const Case &c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
}

}  // namespace
