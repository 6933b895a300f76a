// Reading result sets of the older line format.
#include <gtest/gtest.h>

#include "files_fixture.h"
#include "results/old_format_loader.h"
#include "results/result_set_text.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using testing::AddResult;
using testing::TempFolder;
using testing::Titles;
using testing::WriteAll;

const char* const kHeader = "web\r\nunused\r\nmy words\r\n2\r\nunused\r\nunused\r\n";

TEST(OldFormat, ReadsHeaderAndEveryBlockUpToTheLastLine) {
  TempFolder folder;
  const std::string file = folder.File("a.twr");
  WriteAll(file, std::string(kHeader) +
                     "#%First\r\n%0http://a.lan/old\r\n%0http://a.lan/main\r\n%1k:e1\r\n%1k:e1\r\n"
                     "%6 42\r\n%6x\r\n%5 7.3.2001 \r\n%2line one\r\n%3line two\r\n%4 2\r\nnoise\r\nx\r\n"
                     "#%Second\r\n%0http://b.lan/\r\n%4 9\r\n"
                     "#%\r\n"
                     "outside\r\n"
                     "#%Third\r\n%0http://c.lan/");
  tResultsList list;
  list.SetSaved(true);
  LoadOldFile(list, file, false);

  EXPECT_EQ(list.Category, "web");
  EXPECT_EQ(list.Keywords, "my words");
  EXPECT_EQ(list.MatchMode, 2);
  EXPECT_EQ(list.FileName, folder.File("a.twf"));
  EXPECT_EQ(list.SearchDate, text::FileDateTime(file));
  ASSERT_EQ(Titles(list), (std::vector<std::string>{"First", "Second", "Third"}));

  const tUrlResult& first = *list.Items(0);
  EXPECT_EQ(first.MainUrl(), "http://a.lan/main");
  EXPECT_EQ(first.OtherUrls(), std::vector<std::string>{"http://a.lan/old"});
  EXPECT_EQ(first.Engines, (std::vector<std::string>{"k:e1", "k:e1"}));
  EXPECT_EQ(first.Relevance, 0);  // the last relevance line was not a number
  EXPECT_EQ(first.Date, *text::TryEncodeDate(2001, 3, 7));
  EXPECT_EQ(first.Description, "line one\r\nline two");
  EXPECT_EQ(first.CheckState, csBad);
  EXPECT_FALSE(first.IsNew());
  EXPECT_EQ(list.Items(1)->CheckState, csBad);  // 9 clamped
  EXPECT_EQ(list.Items(2)->MainUrl(), "http://c.lan/");  // the file's last line counts
  EXPECT_EQ(list.OldCount(), 3);
  EXPECT_FALSE(list.Saved());  // results were added that no ".twf" file holds yet
}

TEST(OldFormat, DatesNeedThreeNonZeroPartsOfARealDate) {
  const struct {
    const char* value;
    int year, month, day;  // 0: no date
  } cases[] = {
      {"7.3.2001", 2001, 3, 7}, {" 31.12.1999 ", 1999, 12, 31}, {"3.2001", 0, 0, 0},
      {"0.3.2001", 0, 0, 0},    {"31.2.2001", 0, 0, 0},         {"7.3.2001.5", 0, 0, 0},
      {"a.b.c", 0, 0, 0},       {"", 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    tResultsList list;
    LoadOldText(list, std::string(kHeader) + "#%T\r\n%0http://a.lan/\r\n%5" + c.value + "\r\n", "x.twr", false);
    ASSERT_EQ(list.Count(), 1);
    const text::TDateTime expected = c.year ? *text::TryEncodeDate(c.year, c.month, c.day) : 0;
    EXPECT_EQ(list.Items(0)->Date, expected);
  }
}

TEST(OldFormat, SaveNameChangesOnlyAFinalTwrExtension) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"/d/a.twr", "/d/a.twf"}, {"/d/A.TWR", "/d/A.twf"}, {"/d.twr/a.twr", "/d.twr/a.twf"},
      {"/d/a.twr.bak", "/d/a.twr.bak"}, {"/d/a.txt", "/d/a.txt"}, {"twr", "twr"},
  };
  for (const auto& c : cases) EXPECT_EQ(SaveNameForOldFile(c.in), c.out) << c.in;
}

TEST(OldFormat, MergeAddsResultsAndKeepsTheSetsDescription) {
  tResultsList list;
  list.Keywords = "ours";
  list.FileName = "/ours.twf";
  AddResult(list, {"mine", {"http://a.lan/"}});
  // A merge looks for blocks from line 5 on.
  LoadOldText(list, "c\r\n\r\nwords\r\n1\r\n#%Early\r\n%0http://e.lan/\r\n#%Dup\r\n%0http://a.lan/\r\n",
              "/x/b.twr", true);
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"mine", "Early", "Dup"}));
  EXPECT_EQ(list.Keywords, "ours");
  EXPECT_EQ(list.FileName, "/ours.twf");
}

TEST(OldFormat, BlocksWithoutAnAddressAreDropped) {
  tResultsList list;
  LoadOldText(list,
              std::string(kHeader) + "#%No address\r\n%1e\r\n#%Empty address\r\n%0\r\n"
                                     "#%Kept\r\n%0http://k.lan/\r\n%0\r\n",
              "x.twr", false);
  EXPECT_EQ(Titles(list), std::vector<std::string>{"Kept"});
}

TEST(OldFormat, LegacyBytesAreDecoded) {
  text::SetLegacyCodePage(text::CodePage::kWindows1251);
  tResultsList list;
  LoadOldText(list, std::string(kHeader) + "#%\xCF\xF0\xE8\xE2\xE5\xF2\r\n%0http://a.lan/\r\n", "x.twr", false);
  text::SetLegacyCodePage(text::CodePage::kWindows1252);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0)->Title, "Привет");
}

}  // namespace
}  // namespace trawler::results
