#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/expr_list.h"
#include "support/scratch_store.h"
#include "support/text/regex_match.h"

namespace trawler::results {
namespace {

using platform::RegKey;

const std::string kBase = std::string(tExprList::kDefaultBaseKey);

std::vector<std::string> Names(const tExprList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Items(i)->Name);
  return names;
}

std::vector<std::string> SubKeys(platform::RegistryStore& store, const std::string& path) {
  RegKey key(store);
  if (!key.OpenKeyReadOnly(path)) return {};
  return key.GetKeyNames();
}

void WriteTemplate(platform::RegistryStore& store, const std::string& number, const std::string& name,
                   const std::string& expression) {
  RegKey key(store);
  ASSERT_TRUE(key.OpenKey(kBase + "\\" + number, true));
  if (!name.empty()) key.WriteString("", name);
  if (!expression.empty()) key.WriteString("expression", expression);
}

// Every match of an expression in a text, as the extractor would gather them.
std::vector<std::string> AllMatches(const std::string& expression, const std::string& text) {
  text::RegexError error;
  auto regex = text::CompiledRegex::Get(expression, false, &error);
  EXPECT_TRUE(regex) << error.message;
  std::vector<std::string> found;
  text::RegexMatch match;
  for (std::size_t start = 0; regex && regex->Find(text, start, &match, nullptr) == text::RegexOutcome::kMatch;
       start = match.end() + (match.end() == match.begin() ? 1 : 0))
    found.push_back(text.substr(match.begin(), match.end() - match.begin()));
  return found;
}

TEST(ExprList, FirstStartWritesTheFiveDefaultsInOrder) {
  ScratchStore scratch;
  tExprList list(scratch.Store());
  list.Load();
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Emails", "HTTP URLs", "FTP URLs", "Audio links",
                                                   "Video links"}));
  EXPECT_EQ(SubKeys(scratch.Store(), kBase), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
  EXPECT_EQ(list.Items(0)->Expression, R"([_a-zA-Z\d\-\.]+@[_a-zA-Z\d\-]+(\.[_a-zA-Z\d\-]+)+)");
  EXPECT_EQ(list.Items(1)->ItemKey, kBase + "\\1");
  EXPECT_EQ(list.Items(5), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);
}

TEST(ExprList, DefaultExpressionsFindWhatTheirNamesSay) {
  struct Case {
    int index;
    std::string text;
    std::vector<std::string> found;
  };
  const std::string page =
      "Write to Jo.Doe@mail.example.org or see HTTP://www.Example.com/a/b.html and "
      "ftp://ftp.example.net/pub/tune.mp3 or http://video.example.com/clips/film.avi now";
  const Case cases[] = {
      {0, page, {"Jo.Doe@mail.example.org"}},
      {1, page, {"HTTP://www.Example.com/a/b.html", "http://video.example.com/clips/film.avi"}},
      {2, page, {"ftp://ftp.example.net/pub/tune.mp3"}},
      {3, page, {"ftp://ftp.example.net/pub/tune.mp3"}},
      {4, page, {"http://video.example.com/clips/film.avi"}},
  };
  ScratchStore scratch;
  tExprList list(scratch.Store());
  list.Load();
  for (const Case& c : cases)
    EXPECT_EQ(AllMatches(list.Items(c.index)->Expression, c.text), c.found) << list.Items(c.index)->Name;
}

TEST(ExprList, DeletingEveryTemplateKeepsTheStoreSoDefaultsStayAway) {
  ScratchStore scratch;
  {
    tExprList list(scratch.Store());
    list.Load();
    EXPECT_FALSE(list.Delete(5));
    EXPECT_FALSE(list.Delete(-1));
    while (list.Count() > 0) ASSERT_TRUE(list.Delete(0));
  }
  EXPECT_TRUE(RegKey(scratch.Store()).KeyExists(kBase));
  tExprList again(scratch.Store());
  again.Load();
  EXPECT_EQ(again.Count(), 0);
  EXPECT_TRUE(SubKeys(scratch.Store(), kBase).empty());
}

TEST(ExprList, NewTemplatesTakeTheNumberAfterTheLargest) {
  struct Case {
    std::vector<std::string> existing;
    std::string expected;
  };
  const Case cases[] = {
      {{"0", "1", "7"}, "8"},
      {{"abc"}, "1"},  // a name that is not a number counts as 0
      {{"abc", "3"}, "4"},
      {{"-5"}, "0"},
  };
  for (const Case& c : cases) {
    ScratchStore scratch;
    for (const std::string& number : c.existing) WriteTemplate(scratch.Store(), number, "t" + number, "x");
    tExprList list(scratch.Store());
    list.Load();
    tExprItem& item = list.NewItem();
    item.Name = "New";
    item.Expression = "n+";
    ASSERT_TRUE(item.Save());
    EXPECT_EQ(item.ItemKey, kBase + "\\" + c.expected) << c.existing.size();

    tExprList reread(scratch.Store());
    reread.Load();
    ASSERT_EQ(reread.Count(), static_cast<int>(c.existing.size()) + 1);
    EXPECT_EQ(reread.Items(reread.Count() - 1)->Name, "New");
    EXPECT_EQ(reread.Items(reread.Count() - 1)->Expression, "n+");
  }
}

TEST(ExprList, SubkeysWithoutNameOrExpressionAreIgnoredButKeepTheirNumber) {
  ScratchStore scratch;
  WriteTemplate(scratch.Store(), "0", "Kept", "k");
  WriteTemplate(scratch.Store(), "1", "", "no name");
  WriteTemplate(scratch.Store(), "5", "No expression", "");
  tExprList list(scratch.Store());
  list.Load();
  EXPECT_EQ(Names(list), std::vector<std::string>{"Kept"});
  tExprItem& item = list.NewItem();
  item.Name = "n";
  item.Expression = "e";
  ASSERT_TRUE(item.Save());
  EXPECT_EQ(item.ItemKey, kBase + "\\6");
}

TEST(ExprList, StoreIsRenumberedOnlyAboveTheThreshold) {
  struct Case {
    std::string largest;
    std::vector<std::string> keysAfter;
  };
  const Case cases[] = {
      {"1024", {"3", "junk", "1024"}},
      {"1025", {"0", "1"}},
  };
  for (const Case& c : cases) {
    ScratchStore scratch;
    WriteTemplate(scratch.Store(), "3", "Three", "3+");
    WriteTemplate(scratch.Store(), "junk", "", "");
    WriteTemplate(scratch.Store(), c.largest, "Big", "b+");
    tExprList list(scratch.Store());
    list.Load();
    EXPECT_EQ(SubKeys(scratch.Store(), kBase), c.keysAfter) << c.largest;
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Three", "Big"}));
    tExprList reread(scratch.Store());
    reread.Load();
    EXPECT_EQ(Names(reread), (std::vector<std::string>{"Three", "Big"}));
    EXPECT_EQ(reread.Items(1)->Expression, "b+");
    EXPECT_EQ(reread.Items(1)->ItemKey, list.Items(1)->ItemKey);
  }
}

TEST(ExprList, RewriteKeepsTheKeyAndReadTakesOnlyValuesThatExist) {
  ScratchStore scratch;
  tExprList list(scratch.Store());
  list.Load();
  tExprItem* item = list.Items(2);
  item->Name = "Renamed";
  item->Expression = "ftp:.*";
  ASSERT_TRUE(item->Save());
  EXPECT_EQ(item->ItemKey, kBase + "\\2");

  RegKey key(scratch.Store());
  ASSERT_TRUE(key.OpenKey(item->ItemKey, false));
  ASSERT_TRUE(key.DeleteValue("Expression"));
  item->Name = "stale";
  item->Expression = "still here";
  item->Read();
  EXPECT_EQ(item->Name, "Renamed");
  EXPECT_EQ(item->Expression, "still here");
}

TEST(ExprList, DeleteOfATemplateNeverSavedOrAlreadyGoneSucceeds) {
  ScratchStore scratch;
  tExprList list(scratch.Store());
  list.Load();
  list.NewItem();  // never saved: no key
  ASSERT_TRUE(RegKey(scratch.Store()).DeleteKey(list.Items(0)->ItemKey));
  EXPECT_TRUE(list.Delete(5));
  EXPECT_TRUE(list.Delete(0));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"HTTP URLs", "FTP URLs", "Audio links", "Video links"}));
  EXPECT_EQ(SubKeys(scratch.Store(), kBase), (std::vector<std::string>{"1", "2", "3", "4"}));
}

}  // namespace
}  // namespace trawler::results
