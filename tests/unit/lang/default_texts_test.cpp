#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/lang/default_texts.h"
#include "support/lang/interface_entry.h"
#include "support/lang/lang_list.h"
#include "support/lang/message_format.h"

namespace {

using namespace trawler::lang;

TEST(DefaultTexts, NumberedAscendingWithOnlyTheUnusedNumbersMissing) {
  struct Case {
    const char *name;
    std::span<const NumberedText> texts;
    int first;
    int last;
    std::set<int> unused;
  } cases[] = {
      {"messages", BuiltInMessages(), 0, 62, {25, 26, 32, 48}},
      {"interface", BuiltInInterface(), 100, 384, {336}},
  };
  for (const Case &c : cases) {
    std::set<int> expected;
    for (int n = c.first; n <= c.last; ++n)
      if (!c.unused.count(n)) expected.insert(n);
    std::set<int> actual;
    int previous = -1;
    for (const NumberedText &t : c.texts) {
      EXPECT_GT(t.Number, previous) << c.name;
      previous = t.Number;
      actual.insert(t.Number);
      EXPECT_FALSE(t.Text.empty()) << c.name << " " << t.Number;
      for (char ch : t.Text) EXPECT_GE(static_cast<unsigned char>(ch), 0x20u) << t.Number;
    }
    EXPECT_EQ(actual, expected) << c.name;
  }
}

TEST(DefaultTexts, SampledTextsAsTheProgramShowsThem) {
  tALanglist list;  // no pack at all: everything comes from the built-in lists
  struct Case {
    int n;
    const char *text;
  } messages[] = {
      {0, "Error of loading of the list of engines: %s it is necessary to you to load the working version!"},
      {2, "Recieving results"},
      {8, "Can't delete the existing file \"%s\""},
      {10, "<b>Error</b>: %s"},
      {27, "\"Show Links Description as Hints\" does required \"Show Hints\" checked. Feauture disabled."},
      {51, "No one engine are enabled for search. Please select other category or go to categories "
           "management and select engines and(or) regions"},
      {62, "Save extract to file"},
      {25, ""},
      {63, ""},
  };
  for (const Case &c : messages) EXPECT_EQ(list.MessageText(c.n), c.text) << c.n;

  struct EntryCase {
    int n;
    const char *caption;
    const char *hint;
    std::vector<std::string> items;
  } entries[] = {
      {100, "Browser by default", "Browser by default", {}},
      {113, "Connection timeout", "Connection timeout, seconds(maximum 600)", {}},
      {139, "&Exit", "Exit this nice prog", {}},
      {153, "Output format", "Output format",
       {"Internal format (.twf)", "HTML (.htm, *.html)", "Comma separated file (.csv)",
        "Internet Explorer favorites (.url)"}},
      {162, "", "Match mode", {"all keywords", "any keywords", "exact phrase", "boolean expression"}},
      {187, "Delete nonexistent links",
       "Delete links if \"File not found\" or \"Server no found\" errors are obtained", {}},
      {243, "", "pause after limit reached%pause after every page%no pause%",
       {"pause after limit reached", "pause after every page", "no pause"}},
      {384, "Stop", "Stop", {}},
      {336, "", "", {}},
  };
  for (const EntryCase &c : entries) {
    EXPECT_EQ(list.CaptionText(c.n), c.caption) << c.n;
    EXPECT_EQ(list.HintText(c.n), c.hint) << c.n;
    EXPECT_EQ(list.ItemList(c.n), c.items) << c.n;
  }
  // The maker's pages and the proxy examples are ours; they must still be entries.
  EXPECT_FALSE(list.CaptionText(184).empty());
  EXPECT_FALSE(list.CaptionText(185).empty());
  EXPECT_EQ(list.CaptionText(115), "Proxy server");
  EXPECT_EQ(list.HintText(115).rfind("Proxy server (e.q. ", 0), 0u);
}

TEST(DefaultTexts, EveryLookupWithoutPackComesFromTheBuiltInLists) {
  tALanglist list;
  for (const NumberedText &t : BuiltInMessages()) EXPECT_EQ(list.MessageText(t.Number), t.Text);
  for (const NumberedText &t : BuiltInInterface()) {
    InterfaceEntry expected = SplitInterfaceEntry(t.Text);
    EXPECT_EQ(list.CaptionText(t.Number), expected.Caption) << t.Number;
    EXPECT_EQ(list.HintText(t.Number), expected.Hint) << t.Number;
    EXPECT_EQ(list.ItemsText(t.Number), expected.Items) << t.Number;
  }
}

TEST(DefaultTexts, Message53TakesTheExportedFileName) {
  tALanglist list;
  EXPECT_EQ(FormatMessage(list.MessageText(53), {"/home/u/trawler.reg"}),
            "Settings was succefully exported into \"/home/u/trawler.reg\". For restoring close all "
            "instances of Trawler and run this file");
}

}  // namespace
