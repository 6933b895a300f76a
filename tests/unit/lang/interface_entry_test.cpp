#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lang/interface_entry.h"

namespace {

using trawler::lang::SplitInterfaceEntry;
using trawler::lang::SplitItems;

TEST(SplitInterfaceEntry, CaptionHintAndItems) {
  struct Case {
    const char *entry;
    const char *caption;
    const char *hint;
    const char *items;
  } cases[] = {
      {"Output format%%Internal%HTML% #Output format", "Output format", "Output format",
       "Internal%HTML%"},
      {"low%medium%high% #Details", "", "Details", "low%medium%high%"},
      {"&File#Common menu", "&File", "Common menu", ""},
      {"Sto&p", "Sto&p", "Stop", ""},
      {"  Save #Save results set  ", "Save", "Save results set", ""},
      {"#Port of the proxy server", "", "Port of the proxy server", ""},
      {"Yes%No%", "", "Yes%No%", "Yes%No%"},
      {"text%%a%b%c%", "text", "text%%a%b%c%", "a%b%c%"},
      {"A#b#&c&", "A", "b#c", ""},
      {"Use regular expressions%%Yes%No%#Search using Perl regular expressions",
       "Use regular expressions", "Search using Perl regular expressions", "Yes%No%"},
      {"", "", "", ""},
  };
  for (const Case &c : cases) {
    auto entry = SplitInterfaceEntry(c.entry);
    EXPECT_EQ(entry.Caption, c.caption) << c.entry;
    EXPECT_EQ(entry.Hint, c.hint) << c.entry;
    EXPECT_EQ(entry.Items, c.items) << c.entry;
  }
}

TEST(SplitItems, EachTextEndedByPercentAndTrimmed) {
  struct Case {
    const char *items;
    std::vector<std::string> expected;
  } cases[] = {
      {"Internal%HTML%", {"Internal", "HTML"}},
      {" low % medium%high %", {"low", "medium", "high"}},
      {"a%b", {"a"}},  // a last text without "%" is no item
      {"%%", {"", ""}},
      {"", {}},
  };
  for (const Case &c : cases) EXPECT_EQ(SplitItems(c.items), c.expected) << c.items;
}

}  // namespace
