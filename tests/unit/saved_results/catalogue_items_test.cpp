// The known result sets of the catalogue: saving, reading, deleting and
// renaming.

#include <filesystem>

#include "catalogue_fixture.h"

namespace trawler::results {
namespace {

using Strings = std::vector<std::string>;

class CatalogueItems : public testing::CatalogueTest {
 protected:
  // Saves an item with facts; returns its path.
  std::string Save(tUPResultsList& upr, const std::string& name, double date,
                   const std::string& keywords = "words") {
    const std::string file = MakeFile(name);
    tUPResult& item = upr.FindOrAddItem(file);
    item.Date = date;
    item.Keywords = keywords;
    item.Category = "web";
    item.Count = 7;
    upr.SaveItem(item);
    return file;
  }
  static Strings Paths(const tUPResultsList& upr) {
    Strings paths;
    for (int i = 0; i < upr.Count(); ++i) paths.push_back(upr.Items(i)->FileName);
    return paths;
  }
};

TEST_F(CatalogueItems, NewItemsGetNumberedSubkeysThatNeverCollide) {
  for (bool exclusive : {true, false}) {
    SCOPED_TRACE(exclusive ? "exclusive" : "shared");
    CatalogueKey().DeleteKey(tUPResultsList::kDefaultKey);
    tUPResultsList upr(scratch.Store());
    upr.Exclusive = exclusive;
    const std::string a = Save(upr, "a.twf", 45000.5, "first");
    Save(upr, "b.twf", 45001);
    EXPECT_EQ(SubkeyNames(), (Strings{"00000001", "00000002"}));
    // Saving a known file again writes over its facts, in its own subkey.
    Save(upr, "a.twf", 45002, "again");
    EXPECT_EQ(SubkeyNames(), (Strings{"00000001", "00000002"}));
    // A name that is no number, made last, does not restart the count.
    CatalogueKey().CreateKey("foreign");
    Save(upr, "c.twf", 45003);
    EXPECT_EQ(SubkeyNames(), (Strings{"00000001", "00000002", "foreign", "00000003"}));

    platform::RegKey first(scratch.Store());
    ASSERT_TRUE(first.OpenKey(std::string(tUPResultsList::kDefaultKey) + "\\00000001", false));
    EXPECT_EQ(first.ReadString(""), a);
    EXPECT_EQ(first.ReadDateTime("Date"), 45002);
    EXPECT_EQ(first.ReadInteger("Count"), 7);
    EXPECT_EQ(first.ReadString("Category"), "web");
    EXPECT_EQ(first.ReadString("Keywords"), "again");
  }
}

TEST_F(CatalogueItems, ReadsExistingFilesNewestFirst) {
  tUPResultsList upr(scratch.Store());
  upr.Exclusive = true;
  const std::string older = Save(upr, "older.twf", 45000.25);
  const std::string gone = Save(upr, "gone.twf", 45009);
  const std::string newer = Save(upr, "newer.twf", 45000.75);  // half a day later
  const std::string oldest = Save(upr, "oldest.twf", 44000);
  {
    // Written by hand: names in other letter cases, and a subkey without a path.
    platform::RegKey key(scratch.Store());
    key.OpenKey(std::string(tUPResultsList::kDefaultKey) + "\\00000010", true);
    key.WriteString("", MakeFile("hand.twr"));
    key.WriteDateTime("DATE", 45005);
    key.WriteString("KEYWORDS", "by hand");
    key.WriteInteger("count", 3);
    key.OpenKey(std::string(tUPResultsList::kDefaultKey) + "\\00000011", true);
    key.WriteString("Keywords", "no path");
  }
  std::filesystem::remove(gone);

  tUPResultsList next(scratch.Store());
  int reloads = 0;
  next.OnReloadItems = [&](tUPResultsList&) { ++reloads; };
  next.Load();
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(Paths(next), (Strings{Folder() + "/hand.twr", newer, older, oldest}));
  const tUPResult* hand = next.FindItem(Folder() + "/hand.twr");
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(hand->Keywords, "by hand");
  EXPECT_EQ(hand->Count, 3);
  EXPECT_EQ(hand->Category, "");
  EXPECT_EQ(next.Items(4), nullptr);
  EXPECT_EQ(next.Items(-1), nullptr);
  // The entry of the deleted file stays in the store.
  EXPECT_EQ(SubkeyNames().size(), 6u);
}

TEST_F(CatalogueItems, PathsDifferingInCaseAreTwoFiles) {
  tUPResultsList upr(scratch.Store());
  const std::string lower = Save(upr, "set.twf", 45000, "lower");
  const std::string upper = Save(upr, "SET.twf", 45001, "upper");
  EXPECT_EQ(upr.Count(), 2);
  EXPECT_EQ(upr.FindItem(lower)->Keywords, "lower");
  EXPECT_EQ(upr.FindItem(upper)->Keywords, "upper");
}

TEST_F(CatalogueItems, DeletingRemovesTheFileAndTheItem) {
  tUPResultsList upr(scratch.Store());
  const std::string a = Save(upr, "a.twf", 45000);
  const std::string b = Save(upr, "b.twf", 45001);
  const std::string stranger = MakeFile("stranger.twf");
  EXPECT_TRUE(upr.DeleteResultFile(stranger));  // no item: nothing happens
  EXPECT_TRUE(std::filesystem::exists(stranger));
  EXPECT_TRUE(upr.DeleteResultFile(a));
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(Paths(upr), (Strings{b}));
  upr.LoadItems();
  EXPECT_EQ(Paths(upr), (Strings{b}));
}

TEST_F(CatalogueItems, RenamingMovesTheFileAndNeverReplacesAnother) {
  tUPResultsList upr(scratch.Store());
  const std::string a = Save(upr, "a.twf", 45000, "set a");
  const std::string b = Save(upr, "b.twf", 45001, "set b");
  const std::string renamed = Folder() + "/renamed.twf";

  EXPECT_TRUE(upr.RenameResultFile(a, renamed));
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_TRUE(std::filesystem::exists(renamed));
  upr.LoadItems();
  ASSERT_NE(upr.FindItem(renamed), nullptr);
  EXPECT_EQ(upr.FindItem(renamed)->Keywords, "set a");
  EXPECT_EQ(upr.FindItem(a), nullptr);

  // Onto an existing file: refused, both files as they were.
  EXPECT_THROW(upr.RenameResultFile(renamed, b), std::filesystem::filesystem_error);
  EXPECT_TRUE(std::filesystem::exists(renamed));
  EXPECT_TRUE(std::filesystem::exists(b));
  EXPECT_EQ(upr.FindItem(b)->Keywords, "set b");
  EXPECT_NE(upr.FindItem(renamed), nullptr);

  // A file gone meanwhile: false, and the item goes.
  std::filesystem::remove(b);
  EXPECT_FALSE(upr.RenameResultFile(b, Folder() + "/c.twf"));
  EXPECT_EQ(upr.FindItem(b), nullptr);
  EXPECT_FALSE(upr.RenameResultFile(Folder() + "/unknown.twf", Folder() + "/d.twf"));
}

}  // namespace
}  // namespace trawler::results
