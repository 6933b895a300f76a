// The recent files of the catalogue: order, limit, the shared counter and
// two running copies of the program on one store.

#include <filesystem>

#include "catalogue_fixture.h"
#include "results/saved_result_names.h"

namespace trawler::results {
namespace {

using Strings = std::vector<std::string>;

class RecentFiles : public testing::CatalogueTest {};

TEST_F(RecentFiles, TheSameFileTwiceStaysOnceAtTheTop) {
  for (bool exclusive : {true, false}) {
    SCOPED_TRACE(exclusive ? "exclusive" : "shared");
    CatalogueKey().DeleteKey(tUPResultsList::kDefaultKey);
    const std::string a = MakeFile("a.twf"), b = MakeFile("b.twf");
    tUPResultsList upr(scratch.Store());
    upr.Exclusive = exclusive;
    EXPECT_TRUE(upr.AddToMru(a));
    EXPECT_TRUE(upr.AddToMru(b));
    EXPECT_TRUE(upr.AddToMru(a));
    EXPECT_FALSE(upr.AddToMru(Folder() + "/missing.twf"));
    EXPECT_FALSE(upr.AddToMru(Folder()));  // a folder is no file
    EXPECT_EQ(upr.Mru(), (Strings{a, b}));

    // The next start of the program reads the same list.
    tUPResultsList next(scratch.Store());
    next.Load();
    EXPECT_EQ(next.Mru(), (Strings{a, b}));
  }
}

TEST_F(RecentFiles, MaxMruCountDropsTheOldest) {
  for (bool exclusive : {true, false}) {
    SCOPED_TRACE(exclusive ? "exclusive" : "shared");
    CatalogueKey().DeleteKey(tUPResultsList::kDefaultKey);
    Strings files;
    for (const char* name : {"1.twf", "2.twf", "3.twf", "4.twf"}) files.push_back(MakeFile(name));
    tUPResultsList upr(scratch.Store());
    upr.Exclusive = exclusive;
    upr.MaxMruCount = 3;
    for (const std::string& f : files) upr.AddToMru(f);
    EXPECT_EQ(upr.Mru(), (Strings{files[3], files[2], files[1]}));

    tUPResultsList next(scratch.Store());
    next.MaxMruCount = 3;
    next.Load();
    EXPECT_EQ(next.Mru(), (Strings{files[3], files[2], files[1]}));
  }
}

TEST_F(RecentFiles, ACounterThatCannotGoOnRewritesTheList) {
  struct Case {
    const char* counter;  // nullptr: none stored
    bool rewritten;
  } cases[] = {{"0FFFFFFE", true}, {"FFFFFFFF", true}, {"xyz", true},
               {nullptr, true},    {"0FFFFFFD", false}, {"00000007", false}};
  const std::string old = MakeFile("old.twf"), added = MakeFile("added.twf");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.counter ? c.counter : "no counter");
    CatalogueKey().DeleteKey(tUPResultsList::kDefaultKey);
    {
      platform::RegKey key = CatalogueKey();
      key.WriteString("00000005", old);
      if (c.counter) key.WriteString("", c.counter);
    }
    tUPResultsList upr(scratch.Store());
    upr.Load();
    ASSERT_EQ(upr.Mru(), (Strings{old}));
    upr.AddToMru(added);
    EXPECT_EQ(upr.Mru(), (Strings{added, old}));
    if (c.rewritten) {
      // Oldest written first, each named by its place (0 the newest), then
      // the counter: one past the number of entries.
      EXPECT_EQ(ValueNames(), (Strings{"00000001", "00000000", ""}));
      EXPECT_EQ(Value("00000000"), added);
      EXPECT_EQ(Value("00000001"), old);
      EXPECT_EQ(Value(""), "00000003");
    } else {
      const std::string name = c.counter;
      EXPECT_EQ(ValueNames(), (Strings{"00000005", "", name}));
      EXPECT_EQ(Value(name), added);
      EXPECT_EQ(Value(""), HexName(static_cast<std::uint32_t>(std::stoul(name, nullptr, 16) + 1)));
    }
  }
}

TEST_F(RecentFiles, TwoCopiesOfTheProgramSeeEachOthersFiles) {
  const std::string f1 = MakeFile("1.twf"), f2 = MakeFile("2.twf"), f3 = MakeFile("3.twf");
  // Two programs: two stores on one folder.
  platform::RegistryStore otherStore(scratch.Store().Directory());
  tUPResultsList first(scratch.Store());
  tUPResultsList second(otherStore);
  first.Load();
  second.Load();
  first.AddToMru(f1);
  second.AddToMru(f2);
  EXPECT_EQ(second.Mru(), (Strings{f2, f1}));
  first.AddToMru(f3);
  EXPECT_EQ(first.Mru(), (Strings{f3, f2, f1}));
  second.AddToMru(f1);
  EXPECT_EQ(second.Mru(), (Strings{f1, f3, f2}));
  first.LoadMru();
  EXPECT_EQ(first.Mru(), (Strings{f1, f3, f2}));
  // The file added again has one entry, not two.
  EXPECT_EQ(ValueNames().size(), 4u);
}

TEST_F(RecentFiles, FilesDeletedOutsideAreLeftOutButKeepTheirEntries) {
  const std::string a = MakeFile("a.twf"), b = MakeFile("b.twf");
  tUPResultsList upr(scratch.Store());
  int reloads = 0;
  upr.OnReloadMRU = [&](tUPResultsList&) { ++reloads; };
  upr.AddToMru(a);
  upr.AddToMru(b);
  std::filesystem::remove(b);
  upr.LoadMru();
  EXPECT_EQ(upr.Mru(), (Strings{a}));
  EXPECT_EQ(Value("00000002"), b);
  EXPECT_EQ(reloads, 3);  // each shared save reads the list again
}

TEST_F(RecentFiles, WithoutAHiveNothingIsReadOrWritten) {
  const std::string a = MakeFile("a.twf");
  tUPResultsList upr(scratch.Store());
  upr.RootKey = uprkUnknown;
  std::string events;
  upr.OnReloadMRU = [&](tUPResultsList&) { events += "mru "; };
  upr.OnReloadItems = [&](tUPResultsList&) { events += "items "; };
  upr.OnLoadList = [&](tUPResultsList&) { events += "list"; };
  upr.Load();
  EXPECT_EQ(events, "mru items list");
  EXPECT_TRUE(upr.AddToMru(a));
  EXPECT_EQ(upr.Mru(), (Strings{a}));
  // An item that cannot be stored stays in memory.
  upr.SaveItem(upr.FindOrAddItem(a));
  EXPECT_NE(upr.FindItem(a), nullptr);
  platform::RegKey key(scratch.Store());
  EXPECT_FALSE(key.KeyExists(tUPResultsList::kDefaultKey));
}

}  // namespace
}  // namespace trawler::results
