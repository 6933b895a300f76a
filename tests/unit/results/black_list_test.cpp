// The black lists: which addresses they make black, adding and moving
// entries, deleting matching results, and keeping the permanent list in a
// real registry store.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/registry.h"
#include "results/black_matcher.h"
#include "results/results_list.h"
#include "results_fixture.h"
#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::results {
namespace {

namespace fs = std::filesystem;
using testing::ExpectCountsMatchMarks;
using testing::Hit;
using testing::VisibleUrls;

// ---- What is black

struct BlackCase {
  const char* entry;
  bool checked;
  const char* url;
  bool black;
};

class IsBlack : public ::testing::TestWithParam<BlackCase> {};

TEST_P(IsBlack, MatchesPrefixesAndHostMasks) {
  const BlackCase& c = GetParam();
  for (bool permanent : {true, false}) {
    tResultsList list;
    list.AddBlack(c.entry, c.checked, permanent);
    EXPECT_EQ(list.IsBlack(c.url), c.black)
        << c.entry << " / " << c.url << (permanent ? " (permanent)" : " (temporary)");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsBlack,
    ::testing::Values(
        BlackCase{"h://a.lan/x", true, "H://A.lan/x/y.html", true},
        BlackCase{"h://a.lan/x", true, "h://a.lan/y", false},
        BlackCase{"H://A.LAN/X", true, "h://a.lan/x/y.html", true},
        BlackCase{"h://a.lan/x", false, "h://a.lan/x/y.html", false},
        BlackCase{"h://a.lan/x", true, "h://user:pw@a.lan:81/x/y?q=1", true},
        BlackCase{"h://a.lan/x?q", true, "h://a.lan/x?q=1", false},  // the query is dropped
        BlackCase{"h://a.lan/x/y.html/more", true, "h://a.lan/x/y.html", false},
        BlackCase{"*.a.lan", true, "h://w.a.lan/p", true},
        BlackCase{"*.a.lan", true, "h://a.lan/", true},
        BlackCase{"*.a.lan", true, "h://bada.lan/", false},
        BlackCase{"*.A.LAN", true, "h://W.a.lan:81/p?x", true},
        BlackCase{"*.a.lan", false, "h://w.a.lan/p", false},
        BlackCase{"a.lan", true, "h://user@a.lan:81/p?q", true},
        BlackCase{"a.lan", true, "h://WWW.a.lan/p", true},
        BlackCase{"a.lan", true, "h://w.a.lan/p", false},
        BlackCase{"w.*", true, "h://w.a.lan/p", true},
        BlackCase{"w.*", true, "h://x.a.lan/p", false},
        BlackCase{"ä.lan", true, "h://Ä.LAN/p", true}));

// The indexed test must agree with trying every checked entry in turn.
bool BlackOneByOne(const std::vector<std::pair<std::string, bool>>& entries,
                   const std::string& url) {
  const std::string u = text::LowerText(text::NormalizeUrl(url, true));
  for (const auto& [entry, checked] : entries) {
    if (!checked) continue;
    if (entry.find("://") != std::string::npos) {
      const std::string e = text::LowerText(entry);
      if (u.compare(0, e.size(), e) == 0 && u.size() >= e.size()) return true;
    } else if (text::HostMatchesMask(entry, u)) {
      return true;
    }
  }
  return false;
}

TEST(BlackMatcher, AgreesWithTryingEveryEntry) {
  const std::vector<std::pair<std::string, bool>> entries = {
      {"h://a.lan/x", true}, {"*.b.lan", true}, {"c.lan", true},   {"d.*", true},
      {"x*.e.lan", true},    {"*.", false},     {"*.f.*", true},   {"h://g.lan", false},
      {"H://I.lan/", true},  {"*.J.LAN", true}, {"k.lan:81", true}};
  const std::vector<std::string> urls = {
      "h://a.lan/x",     "h://a.lan/xyz",   "h://a.lan/",      "h://q.b.lan/",   "h://b.lan",
      "h://bb.lan/",     "h://c.lan/p",     "h://w.c.lan/",    "h://d.x.lan/",   "h://dd.lan/",
      "h://e.lan/",      "h://w.e.lan/",    "h://f.lan/",      "h://q.f.x/",     "h://g.lan/",
      "h://i.lan/a",     "h://I.LAN/",      "h://w.j.lan/",    "h://k.lan:81/",  "h://k.lan/",
      "a.lan",           "",                "h://u@www.c.lan:1/", "h://WWW.WWW.c.lan/"};
  tUrlList list;
  for (const auto& [entry, checked] : entries) list.Add(entry, checked);
  BlackMatcher matcher;
  matcher.Build({&list});
  for (const std::string& url : urls)
    EXPECT_EQ(matcher.Matches(url), BlackOneByOne(entries, url)) << url;
}

// ---- Adding and moving entries

TEST(AddBlack, PermanentAddMovesTheTemporaryEntry) {
  tResultsList list;
  tUrlItem& temporary = list.AddBlack("h://a.lan/x", false, false);
  ASSERT_EQ(list.TemporaryCount(), 1);

  tUrlItem& added = list.AddBlack("H://A.LAN/X", true, true);

  EXPECT_EQ(&added, &temporary) << "the same entry, moved";
  EXPECT_EQ(list.TemporaryCount(), 0);
  EXPECT_EQ(list.PermanentCount(), 1);
  EXPECT_EQ(added.Owner(), &list.PermanentBlackList());
  EXPECT_EQ(added.Url(), "H://A.LAN/X");
  EXPECT_TRUE(added.Checked());
}

TEST(AddBlack, TemporaryAddUpdatesThePermanentEntryWhereItIs) {
  tResultsList list;
  list.AddBlack("*.a.lan", true, true);

  tUrlItem& added = list.AddBlack("*.A.lan", false, false);

  EXPECT_EQ(list.TemporaryCount(), 0);
  EXPECT_EQ(list.PermanentCount(), 1);
  EXPECT_EQ(added.Owner(), &list.PermanentBlackList());
  EXPECT_FALSE(added.Checked());
  EXPECT_EQ(list.FindBlackItem("*.a.LAN", false), &added);
  EXPECT_EQ(list.FindBlackItem("*.a.lan", true), nullptr);
}

TEST(BlackLists, FindBlackComparesExactlyAndSkipsTheException) {
  tResultsList list;
  list.AddBlack("a.lan", true, true);
  list.AddBlack("b.lan", true, true);
  list.AddBlack("c.lan", true, false);

  EXPECT_EQ(list.FindBlack("b.lan", false, -1), 1);
  EXPECT_EQ(list.FindBlack("B.lan", false, -1), -1);
  EXPECT_EQ(list.FindBlack("b.lan", false, 1), -1);
  EXPECT_EQ(list.FindBlack("c.lan", false, -1), -1);
  EXPECT_EQ(list.FindBlack("c.lan", true, -1), 0);
}

TEST(BlackLists, ShowSortAndMove) {
  tResultsList list;
  int clears = 0, updates = 0;
  list.OnBlackListClear = [&](tResultsList&) { ++clears; };
  list.OnBlackListUpdate = [&](tResultsList&) { ++updates; };
  list.AddBlack("b.lan", true, false);
  list.AddBlack("C.lan", true, false);
  list.AddBlack("a.lan", true, false);

  list.ShowBlackList(false);
  EXPECT_EQ(&list.BlackList(), &list.TemporaryBlackList());
  EXPECT_EQ(list.BlackCount(), 3);
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(updates, 1);

  list.SortBlackList(true);
  EXPECT_EQ(list.BlackItems(0)->Url(), "a.lan");
  EXPECT_EQ(list.BlackItems(1)->Url(), "b.lan");
  EXPECT_EQ(list.BlackItems(2)->Url(), "C.lan");
  list.SortBlackList(false);
  EXPECT_EQ(list.BlackItems(0)->Url(), "C.lan");

  list.MoveToPermanent(*list.BlackItems(0));
  EXPECT_EQ(list.TemporaryCount(), 2);
  ASSERT_EQ(list.PermanentCount(), 1);
  EXPECT_EQ(list.PermanentBlackList().Items(0)->Url(), "C.lan");

  list.ClearBlackLists();
  EXPECT_EQ(list.TemporaryCount() + list.PermanentCount(), 0);
  EXPECT_FALSE(list.IsBlack("h://a.lan/"));
}

// ---- Deleting matching results

class DeleteMatchingTest : public ::testing::Test {
 protected:
  testing::RowKeeper rows;
  tResultsList list;

  void SetUp() override {
    for (const char* url : {"h://a.lan/x/1", "h://A.LAN/x/2?q", "h://a.lan/y", "h://w.b.lan/",
                            "h://b.lan:81/z"})
      list.AddHit(Hit(url), false);
    rows.BindVisible(list);
  }
};

TEST_F(DeleteMatchingTest, PrefixWithCapitalsMarksMatchingResultsDeleted) {
  list.DeleteMatching("H://A.lan/x");

  EXPECT_EQ(VisibleUrls(list),
            (std::vector<std::string>{"h://a.lan/y", "h://w.b.lan/", "h://b.lan:81/z"}));
  EXPECT_EQ(list.DeletedCount(), 2);
  EXPECT_EQ(list.Count(), 5);
  ExpectCountsMatchMarks(list);
}

TEST_F(DeleteMatchingTest, HostMaskIgnoresPort) {
  list.DeleteMatching("*.b.lan");

  EXPECT_EQ(VisibleUrls(list),
            (std::vector<std::string>{"h://a.lan/x/1", "h://A.LAN/x/2?q", "h://a.lan/y"}));
  ExpectCountsMatchMarks(list);
}

TEST_F(DeleteMatchingTest, InDeletedViewFreesMatchingDeletedResults) {
  list.DeleteMatching("h://a.lan/");
  ASSERT_EQ(list.DeletedCount(), 3);
  list.SetViewMode(vmDeleted);
  rows.BindVisible(list);

  list.DeleteMatching("h://a.lan/x");

  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(VisibleUrls(list), (std::vector<std::string>{"h://a.lan/y"}));
  ExpectCountsMatchMarks(list);
}

TEST_F(DeleteMatchingTest, ApplyBlackListUsesCheckedEntriesOfTheShownList) {
  list.AddBlack("h://a.lan/x", true, false);
  list.AddBlack("b.lan", false, false);
  list.AddBlack("*.b.lan", true, true);  // not the list shown
  list.ShowBlackList(false);
  bool updated = false;
  list.OnUpdate = [&](tResultsList&) { updated = true; };

  list.ApplyBlackList();

  EXPECT_EQ(VisibleUrls(list),
            (std::vector<std::string>{"h://a.lan/y", "h://w.b.lan/", "h://b.lan:81/z"}));
  EXPECT_FALSE(updated);
  ExpectCountsMatchMarks(list);
}

// ---- The permanent list in the registry

class StoredBlackList : public ::testing::Test {
 protected:
  fs::path dir;
  std::unique_ptr<platform::RegistryStore> store;

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "trawler-black-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    store = std::make_unique<platform::RegistryStore>(dir);
  }
  void TearDown() override {
    store.reset();
    fs::remove_all(dir);
  }

  // What a second store - another connection, as after a crash and a
  // restart - finds in the registry.
  std::vector<std::pair<std::string, bool>> Stored() {
    platform::RegistryStore other(dir);
    tResultsList reader;
    reader.LoadBlackList(other);
    std::vector<std::pair<std::string, bool>> entries;
    for (int i = 0; i < reader.PermanentCount(); ++i)
      entries.emplace_back(reader.PermanentBlackList().Items(i)->Url(),
                           reader.PermanentBlackList().Items(i)->Checked());
    return entries;
  }

  std::vector<std::string> SubkeyNames() {
    platform::RegKey key(*store);
    if (!key.OpenKey(tResultsList::kBlackListKey, false)) return {};
    return key.GetKeyNames();
  }
};

TEST_F(StoredBlackList, SaveAndLoadRoundTrip) {
  {
    tResultsList list;
    list.LoadBlackList(*store);
    list.AddBlack("h://a.lan/x", true, true);
    list.AddBlack("*.b.lan", false, true);
    list.AddBlack("c.lan", true, false);  // temporary: never stored
  }
  EXPECT_EQ(Stored(), (std::vector<std::pair<std::string, bool>>{{"h://a.lan/x", true},
                                                                 {"*.b.lan", false}}));
  platform::RegKey key(*store);
  ASSERT_TRUE(key.OpenKey(std::string(tResultsList::kBlackListKey) + "\\1", false));
  EXPECT_EQ(key.ReadString("url"), "*.b.lan");
  EXPECT_FALSE(key.ValueExists("checked")) << "only checked entries carry the mark";
}

TEST_F(StoredBlackList, EveryChangeIsWrittenAtOnce) {
  tResultsList list;  // stays alive: nothing relies on the write at the end
  list.LoadBlackList(*store);
  using Entries = std::vector<std::pair<std::string, bool>>;

  list.AddBlack("a.lan", true, true);
  EXPECT_EQ(Stored(), (Entries{{"a.lan", true}}));

  list.AddBlack("b.lan", true, false);
  list.MoveToPermanent(*list.TemporaryBlackList().Items(0));
  EXPECT_EQ(Stored(), (Entries{{"a.lan", true}, {"b.lan", true}}));

  list.PermanentBlackList().Items(0)->SetChecked(false);
  EXPECT_EQ(Stored(), (Entries{{"a.lan", false}, {"b.lan", true}}));

  list.PermanentBlackList().Items(1)->SetUrl("h://b.lan/edited");
  EXPECT_EQ(Stored(), (Entries{{"a.lan", false}, {"h://b.lan/edited", true}}));

  list.ShowBlackList(true);
  list.SortBlackList(false);
  EXPECT_EQ(Stored(), (Entries{{"h://b.lan/edited", true}, {"a.lan", false}}));

  list.PermanentBlackList().Delete(0);
  EXPECT_EQ(Stored(), (Entries{{"a.lan", false}}));
}

TEST_F(StoredBlackList, RemovingTheMiddleOfThreeLeavesTwoSubkeys) {
  tResultsList list;
  list.LoadBlackList(*store);
  for (const char* url : {"a.lan", "b.lan", "c.lan"}) list.AddBlack(url, true, true);
  ASSERT_EQ(SubkeyNames().size(), 3u);

  list.PermanentBlackList().Delete(1);
  EXPECT_TRUE(list.SaveBlackList());

  EXPECT_EQ(SubkeyNames(), (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(Stored(), (std::vector<std::pair<std::string, bool>>{{"a.lan", true},
                                                                 {"c.lan", true}}));
}

TEST_F(StoredBlackList, LoadingTwiceGivesTheSameEntries) {
  {
    platform::RegKey key(*store);
    const std::string base = tResultsList::kBlackListKey;
    ASSERT_TRUE(key.OpenKey(base + "\\0", true));
    key.WriteString("url", "a.lan");
    key.WriteInteger("checked", 1);
    ASSERT_TRUE(key.OpenKey(base + "\\1", true));
    key.WriteString("url", "");  // passed over
    ASSERT_TRUE(key.OpenKey(base + "\\2", true));
    key.WriteString("url", "b.lan");
    key.WriteString("checked", "1");  // not an integer: dropped, entry unchecked
    ASSERT_TRUE(key.OpenKey(base + "\\3", true));
    key.WriteString("url", "c.lan");
    key.WriteInteger("checked", 2);
  }
  tResultsList list;
  list.LoadBlackList(*store);
  list.LoadBlackList(*store);

  ASSERT_EQ(list.PermanentCount(), 3);
  EXPECT_EQ(list.PermanentBlackList().Items(0)->Url(), "a.lan");
  EXPECT_TRUE(list.PermanentBlackList().Items(0)->Checked());
  EXPECT_EQ(list.PermanentBlackList().Items(1)->Url(), "b.lan");
  EXPECT_FALSE(list.PermanentBlackList().Items(1)->Checked());
  EXPECT_FALSE(list.PermanentBlackList().Items(2)->Checked());
  platform::RegKey key(*store);
  ASSERT_TRUE(key.OpenKey(std::string(tResultsList::kBlackListKey) + "\\2", false));
  EXPECT_FALSE(key.ValueExists("checked"));
  EXPECT_TRUE(list.IsBlack("h://a.lan/"));
  EXPECT_FALSE(list.IsBlack("h://b.lan/"));
}

TEST_F(StoredBlackList, ListThatNeverLoadedNeverWrites) {
  {
    tResultsList list;
    list.LoadBlackList(*store);
    list.AddBlack("a.lan", true, true);
  }
  {
    tResultsList scratch;  // a list made to append or scan files
    scratch.AddBlack("b.lan", true, true);
    EXPECT_FALSE(scratch.SaveBlackList());
  }
  EXPECT_EQ(Stored(), (std::vector<std::pair<std::string, bool>>{{"a.lan", true}}));
}

TEST_F(StoredBlackList, UnreadableStoreIsNeverWrittenOver) {
  store.reset();
  const fs::path hive = dir / "current_user.db";
  {
    platform::RegistryStore broken(dir);
    ASSERT_EQ(broken.HiveFile(platform::Hive::CurrentUser), hive);
  }
  fs::remove(hive);
  const std::string garbage = "not a database, but the user's file all the same";
  { std::ofstream(hive) << garbage; }
  store = std::make_unique<platform::RegistryStore>(dir);

  {
    tResultsList list;
    list.LoadBlackList(*store);
    list.AddBlack("a.lan", true, true);
    EXPECT_FALSE(list.SaveBlackList());
  }

  std::ifstream in(hive);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, garbage);
}

}  // namespace
}  // namespace trawler::results
