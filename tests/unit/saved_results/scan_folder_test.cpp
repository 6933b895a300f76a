// Adding the result-set files of a folder tree to the catalogue.

#include <filesystem>

#include "catalogue_fixture.h"
#include "results/result_set_file.h"
#include "results/results_list.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using Strings = std::vector<std::string>;

class ScanFolder : public testing::CatalogueTest {
 protected:
  // A result set of the program's own format with three results.
  std::string WriteNewFormat(const std::string& name) {
    const std::string file = MakeFile(name);
    tResultsList list;
    list.Keywords = "alpha beta";
    list.Category = "web";
    list.SearchDate = 45123;
    for (const char* url : {"http://a.lan/1", "http://a.lan/2", "http://a.lan/3"}) {
      tHit hit;
      hit.Url = url;
      hit.Title = url;
      hit.Engine = "e";
      list.AddHit(hit, false);
    }
    SaveToFile(list, file, "", true, false, false, "");
    return file;
  }
  // A result set of the older line format with one result.
  std::string WriteOldFormat(const std::string& name) {
    return MakeFile(name, "news\r\nunused\r\nold words\r\n0\r\nunused\r\nunused\r\n"
                          "#%Title\r\n%0http://b.lan/\r\n");
  }
};

TEST_F(ScanFolder, AddsEachResultSetOnceWithItsFacts) {
  const std::string a = WriteNewFormat("a.TWF");
  const std::string b = WriteOldFormat("deeper/b.twr");
  MakeFile("notes.txt");
  tUPResultsList upr(scratch.Store());
  int reloads = 0;
  upr.OnReloadItems = [&](tUPResultsList&) { ++reloads; };

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "first scan" : "second scan");
    reloads = 0;
    const std::vector<tScanError> errors = upr.ScanFolder(Folder() + "/");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(upr.Count(), 2);
    EXPECT_EQ(SubkeyNames().size(), 2u);
  }
  const tUPResult* newFormat = upr.FindItem(a);
  ASSERT_NE(newFormat, nullptr);
  EXPECT_EQ(newFormat->Keywords, "alpha beta");
  EXPECT_EQ(newFormat->Category, "web");
  EXPECT_EQ(newFormat->Date, 45123);
  EXPECT_EQ(newFormat->Count, 3);
  const tUPResult* oldFormat = upr.FindItem(b);
  ASSERT_NE(oldFormat, nullptr);
  EXPECT_EQ(oldFormat->Keywords, "old words");
  EXPECT_EQ(oldFormat->Category, "news");
  EXPECT_EQ(oldFormat->Date, text::FileDateTime(b));  // an old set is dated by its file
  EXPECT_EQ(oldFormat->Count, 1);
}

TEST_F(ScanFolder, PassesOverUnreadableFilesAndLinksToFolders) {
  const std::string bad = MakeFile("a-bad.twf", "this is no result set");
  const std::string good = WriteNewFormat("sub/z-good.twf");
  // A link back up the tree: following it would never end.
  std::filesystem::create_directory_symlink("..", Folder() + "/sub/loop");
  // A link to a file is a file.
  std::filesystem::create_symlink(good, Folder() + "/linked.twf");

  tUPResultsList upr(scratch.Store());
  const std::vector<tScanError> errors = upr.ScanFolder(Folder());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].FileName, bad);
  EXPECT_EQ(errors[0].Message, "Bad file format");
  Strings paths;
  for (int i = 0; i < upr.Count(); ++i) paths.push_back(upr.Items(i)->FileName);
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (Strings{Folder() + "/linked.twf", good}));
  // The unreadable file left no trace in the store.
  for (const std::string& name : SubkeyNames()) {
    platform::RegKey key(scratch.Store());
    key.OpenKey(std::string(tUPResultsList::kDefaultKey) + "\\" + name, false);
    EXPECT_NE(key.ReadString(""), bad);
  }
  EXPECT_EQ(SubkeyNames().size(), 2u);

  // A folder that does not exist is an error of its own.
  const std::vector<tScanError> missing = upr.ScanFolder(Folder() + "/nowhere");
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].FileName, Folder() + "/nowhere");
}

}  // namespace
}  // namespace trawler::results
