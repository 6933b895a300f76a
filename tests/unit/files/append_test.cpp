// Appending to a result-set file and copying results between lists.
#include <gtest/gtest.h>

#include "files_fixture.h"
#include "results/result_copy.h"
#include "results/result_set_file.h"
#include "results/result_set_loader.h"
#include "results/result_set_text.h"

namespace trawler::results {
namespace {

using testing::AddResult;
using testing::ReadAll;
using testing::TempFolder;
using testing::Titles;
using testing::WriteAll;

void LoadSet(tResultsList& list, const std::string& file) {
  std::string serversLog, log;
  LoadFromFile(list, file, false, serversLog, log);
}

TEST(AppendToFile, KeepsTheFilesResultsFirstAndAddsOnlyNewPages) {
  TempFolder folder;
  const std::string file = folder.File("set.twf");
  {
    tResultsList theirs;
    theirs.Keywords = "their query";
    AddResult(theirs, {"file 1", {"http://a.lan/x"}});
    AddResult(theirs, {"file 2", {"http://b.lan/"}});
    theirs.TemporaryBlackList().Add("http://t.lan/", true);
    SaveToFile(theirs, file, "", true, false, false, "");
  }
  tResultsList ours;
  ours.Keywords = "our query";
  ours.FileName = "/ours.twf";
  AddResult(ours, {"same page", {"http://www.a.lan/x"}});     // equivalent address
  AddResult(ours, {"identical", {"http://b.lan/"}});          // identical address
  AddResult(ours, {"new page", {"http://c.lan/"}});
  ours.TemporaryBlackList().Add("http://t.lan/", false);       // held by the file already
  ours.TemporaryBlackList().Add("http://u.lan/", true);
  std::vector<std::pair<int, int>> steps;
  ours.OnSaveProgress = [&](tResultsList&, int p, int m) { steps.emplace_back(p, m); };

  SaveToFile(ours, file, "our log", true, false, true, "");

  EXPECT_EQ(steps.front(), std::make_pair(0, 1));
  EXPECT_EQ(steps.back(), std::make_pair(1, 1));
  EXPECT_EQ(ours.FileName, "/ours.twf");
  EXPECT_FALSE(ours.Saved());

  tResultsList merged;
  std::string serversLog, log;
  LoadFromFile(merged, file, false, serversLog, log);
  EXPECT_EQ(Titles(merged), (std::vector<std::string>{"file 1", "file 2", "new page"}));
  EXPECT_EQ(merged.Items(0)->Urls(), (std::vector<std::string>{"http://a.lan/x", "http://www.a.lan/x"}));
  EXPECT_EQ(merged.Items(1)->Urls().size(), 1u);
  EXPECT_EQ(merged.Keywords, "their query");
  EXPECT_EQ(log, "our log");
  ASSERT_EQ(merged.TemporaryBlackList().Count(), 2);
  EXPECT_EQ(merged.TemporaryBlackList().Items(1)->Url(), "http://u.lan/");
}

TEST(AppendToFile, MissingOrEmptyFileIsWrittenAsANewSet) {
  TempFolder folder;
  for (const bool createEmpty : {false, true}) {
    SCOPED_TRACE(createEmpty ? "empty file" : "missing file");
    const std::string file = folder.File(createEmpty ? "empty.twf" : "missing.twf");
    if (createEmpty) WriteAll(file, "");
    tResultsList ours;
    ours.Keywords = "q";
    AddResult(ours, {"one", {"http://a.lan/"}});
    SaveToFile(ours, file, "", true, false, true, "");
    tResultsList loaded;
    LoadSet(loaded, file);
    EXPECT_EQ(Titles(loaded), std::vector<std::string>{"one"});
    EXPECT_EQ(loaded.Keywords, "q");
    EXPECT_TRUE(ours.FileName.empty());
  }
}

TEST(AppendToFile, RefusesAFileThatIsNotAResultSet) {
  TempFolder folder;
  const std::string file = folder.File("notes.txt");
  WriteAll(file, "my notes");
  tResultsList ours;
  AddResult(ours, {"one", {"http://a.lan/"}});
  try {
    SaveToFile(ours, file, "", true, false, true, "");
    ADD_FAILURE() << "appended";
  } catch (const ResultSetError& e) {
    EXPECT_STREQ(e.what(), "Bad file format");
  }
  EXPECT_EQ(ReadAll(file), "my notes");
}

TEST(CopyResult, StatusTellsWhatHappened) {
  tResultsList target;
  AddResult(target, {"held", {"http://a.lan/p"}});
  target.TemporaryBlackList().Add("http://black.lan/", true);

  tResultsList source;
  struct Case {
    const char* name;
    std::vector<std::string> urls;
    bool separate;
    int status;
    int count;  // results in the target afterwards
  };
  const Case cases[] = {
      {"identical", {"http://a.lan/p"}, false, 1, 1},
      {"equivalent", {"http://www.A.lan/p"}, false, 0, 1},
      {"new", {"http://n.lan/"}, false, -1, 2},
      {"separate page is always copied", {"http://a.lan/p"}, true, -1, 3},
      {"black arrives deleted", {"http://black.lan/x"}, false, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tUrlResult& r = AddResult(source, {c.name, c.urls});
    r.Separate = c.separate;
    EXPECT_EQ(CopyResult(target, r), c.status);
    EXPECT_EQ(target.Count(), c.count);
  }
  EXPECT_EQ(target.Items(0)->Urls(), (std::vector<std::string>{"http://a.lan/p", "http://www.A.lan/p"}));
  EXPECT_TRUE(target.Items(3)->Deleted());
  EXPECT_EQ(target.DeletedCount(), 1);
  EXPECT_EQ(target.Items(1)->Created, 0);
}

// The index used by appending must answer exactly as the walk over the list.
TEST(CopyResult, IndexedCopyAgreesWithTheWalk) {
  const std::vector<std::vector<std::string>> sources = {
      {"http://a.lan/1"}, {"http://b.lan/", "http://A.lan/1"}, {"http://www.b.lan/"},
      {"http://c.lan/"},  {"http://C.lan/", "http://a.lan/1"}, {"http://d.lan/"},
  };
  tResultsList walked, indexed, from;
  AddResult(walked, {"seed", {"http://c.lan/"}});
  AddResult(indexed, {"seed", {"http://c.lan/"}});
  ResultUrlIndex index(indexed);
  for (std::size_t i = 0; i < sources.size(); ++i) {
    tUrlResult& r = AddResult(from, {"s" + std::to_string(i), sources[i]});
    EXPECT_EQ(CopyResult(index, r), CopyResult(walked, r)) << i;
  }
  ASSERT_EQ(walked.Count(), indexed.Count());
  for (int i = 0; i < walked.Count(); ++i) EXPECT_EQ(walked.Items(i)->Urls(), indexed.Items(i)->Urls());
}

}  // namespace
}  // namespace trawler::results
