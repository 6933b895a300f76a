// Saving and loading XML result-set files.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files_fixture.h"
#include "results/result_set_file.h"
#include "results/result_set_loader.h"
#include "results/result_set_text.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using testing::AddResult;
using testing::Occurrences;
using testing::ReadAll;
using testing::TempFolder;
using testing::Titles;
using testing::WriteAll;

// A set with every field a file carries filled in on the second result.
void FillSet(tResultsList& list) {
  list.Keywords = "A & B <c>";
  list.Category = "web & news";
  list.MatchMode = 2;
  list.SearchDate = *text::TryEncodeDate(2001, 3, 5);
  list.Servers = {"alpha", "b&c"};
  AddResult(list, {"A & B <c>", {"http://a.lan/1"}, {"e1"}});
  tUrlResult& full = AddResult(list, {"Second «ü»", {"http://b.lan/", "http://B.lan/", "http://www.b.lan/"}, {"e1", "e2"}});
  full.SetMainIndex(1);
  full.Date = 36955.75;
  full.Created = 36955.125;
  full.Relevance = 87;
  full.CheckState = csBad;
  full.Description = "<b>bold</b> & \"quoted\"";
  full.Server = "nginx";
  full.ContentType = "text/html";
  full.Size = "1234";
  full.Code = 404;
  full.Reason = "Not Found";
  full.SetDeleted(true);
  full.SetIsNew(false);
  list.TemporaryBlackList().Add("http://black.lan/", true);
  list.TemporaryBlackList().Add("http://grey.lan/", false);
}

TEST(ResultSetFile, RoundTripKeepsEveryField) {
  TempFolder folder;
  const std::string file = folder.File("set.twf");
  tResultsList saved;
  FillSet(saved);
  SaveToFile(saved, file, "line 1\r\nline <2>", true, false, false, "1#a#b#c#d#E");
  EXPECT_EQ(saved.FileName, file);
  EXPECT_TRUE(saved.Saved());

  tResultsList loaded;
  std::string serversLog, log;
  LoadFromFile(loaded, file, false, serversLog, log);
  EXPECT_EQ(log, "line 1\r\nline <2>");
  EXPECT_EQ(serversLog, "1#a#b#c#d#E");
  EXPECT_EQ(loaded.Keywords, saved.Keywords);
  EXPECT_EQ(loaded.Category, saved.Category);
  EXPECT_EQ(loaded.MatchMode, 2);
  EXPECT_EQ(loaded.SearchDate, saved.SearchDate);
  EXPECT_EQ(loaded.Servers, saved.Servers);
  EXPECT_EQ(loaded.FileName, file);
  EXPECT_TRUE(loaded.Saved());
  ASSERT_EQ(loaded.TemporaryBlackList().Count(), 2);
  EXPECT_TRUE(loaded.TemporaryBlackList().Items(0)->Checked());
  EXPECT_EQ(loaded.TemporaryBlackList().Items(1)->Url(), "http://grey.lan/");
  EXPECT_FALSE(loaded.TemporaryBlackList().Items(1)->Checked());

  ASSERT_EQ(loaded.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const tUrlResult& a = *saved.Items(i);
    const tUrlResult& b = *loaded.Items(i);
    SCOPED_TRACE(a.Title);
    EXPECT_EQ(b.Title, a.Title);
    EXPECT_EQ(b.MainUrl(), a.MainUrl());
    EXPECT_EQ(b.MainIndex(), 0);  // the main address comes back first
    EXPECT_EQ(b.OtherUrls(), a.OtherUrls());
    EXPECT_EQ(b.Engines, a.Engines);
    EXPECT_EQ(b.Date, a.Date);
    EXPECT_EQ(b.Created, a.Created);
    EXPECT_EQ(b.Relevance, a.Relevance);
    EXPECT_EQ(b.CheckState, a.CheckState);
    EXPECT_EQ(b.Description, a.Description);
    EXPECT_EQ(b.Server, a.Server);
    EXPECT_EQ(b.ContentType, a.ContentType);
    EXPECT_EQ(b.Size, a.Size);
    EXPECT_EQ(b.Code, a.Code);
    EXPECT_EQ(b.Reason, a.Reason);
    EXPECT_EQ(b.Deleted(), a.Deleted());
    EXPECT_EQ(b.IsNew(), a.IsNew());
  }
  EXPECT_EQ(loaded.DeletedCount(), 1);
  EXPECT_EQ(loaded.NewCount(), 1);
  EXPECT_EQ(loaded.OldCount(), 1);
}

TEST(ResultSetFile, WritesOptionalElementsOnlyWhenTheyHoldSomething) {
  TempFolder folder;
  const std::string file = folder.File("bare.twf");
  tResultsList list;
  AddResult(list, {"one", {"http://a.lan/"}, {}});
  AddResult(list, {"three", {"http://b.lan/", "http://b.lan/x", "http://b.lan/y"}, {"e"}});
  SaveToFile(list, file, "", true, false, false, "");
  const std::string text = ReadAll(file);

  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<twr>\r\n", 0), 0u);
  for (const char* absent : {"<log>", "<black>", "<servers>", "<serverslog>", "<twr_plain>"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  EXPECT_EQ(Occurrences(text, "<params>"), 1);
  EXPECT_EQ(Occurrences(text, "<results>"), 1);
  EXPECT_EQ(Occurrences(text, "<result_sources>"), 2);
  EXPECT_EQ(Occurrences(text, "<result_urls>"), 1);  // only the result with three addresses
  EXPECT_EQ(Occurrences(text, "<result_url>"), 2);
  EXPECT_NE(text.find("\r\n<param_cat></param_cat><param_words></param_words><param_mode>0</param_mode>\r\n"),
            std::string::npos);
  EXPECT_EQ(Occurrences(text, "\n"), Occurrences(text, "\r\n"));  // CR LF line ends only
}

TEST(ResultSetFile, EscapesTextsAndReadsThemBack) {
  TempFolder folder;
  const std::string file = folder.File("esc.twf");
  tResultsList list;
  list.Category = "<cat> & 'q'";
  list.Servers = {"a<b"};
  AddResult(list, {"A & B <c>", {"http://a.lan/?x=1&y=2"}});
  SaveToFile(list, file, "", true, false, false, "");
  const std::string text = ReadAll(file);
  EXPECT_NE(text.find("<result_title>A &amp; B &lt;c&gt;</result_title>"), std::string::npos);
  EXPECT_NE(text.find("<param_cat>&lt;cat&gt; &amp; &apos;q&apos;</param_cat>"), std::string::npos);
  EXPECT_NE(text.find("<twr_server>a&lt;b</twr_server>"), std::string::npos);

  tResultsList loaded;
  std::string serversLog, log;
  LoadFromFile(loaded, file, false, serversLog, log);
  EXPECT_EQ(loaded.Items(0)->Title, "A & B <c>");
  EXPECT_EQ(loaded.Items(0)->MainUrl(), "http://a.lan/?x=1&y=2");
  EXPECT_EQ(loaded.Category, "<cat> & 'q'");
  EXPECT_EQ(loaded.Servers, std::vector<std::string>{"a<b"});
}

TEST(ResultSetFile, PlainSaveTurnsDescriptionsIntoText) {
  TempFolder folder;
  const std::string file = folder.File("plain.twf");
  tResultsList list;
  AddResult(list, {"t", {"http://a.lan/"}}).Description = "<b>bold</b> text";
  SaveToFile(list, file, "", true, true, false, "");
  EXPECT_TRUE(list.Plain);
  tResultsList loaded;
  std::string serversLog, log;
  LoadFromFile(loaded, file, false, serversLog, log);
  EXPECT_TRUE(loaded.Plain);
  EXPECT_EQ(loaded.Items(0)->Description, "bold text");
}

TEST(ResultSetFile, SavesOnlySelectedResultsWhenAsked) {
  TempFolder folder;
  const std::string file = folder.File("sel.twf");
  tResultsList list;
  list.SetMarkInterval(-1);
  AddResult(list, {"one", {"http://a.lan/"}});
  AddResult(list, {"two", {"http://b.lan/"}}).SetSelected(true);
  SaveToFile(list, file, "", false, false, false, "");
  tResultsList loaded;
  std::string serversLog, log;
  LoadFromFile(loaded, file, false, serversLog, log);
  EXPECT_EQ(Titles(loaded), std::vector<std::string>{"two"});
}

TEST(ResultSetFile, ReportsProgressBeforeEveryResult) {
  TempFolder folder;
  tResultsList list;
  for (const char* url : {"http://a.lan/", "http://b.lan/", "http://c.lan/"}) AddResult(list, {"t", {url}});
  std::vector<std::pair<int, int>> steps;
  list.OnSaveProgress = [&](tResultsList&, int position, int maximum) { steps.emplace_back(position, maximum); };
  SaveToFile(list, folder.File("p.twf"), "", true, false, false, "");
  const std::vector<std::pair<int, int>> expected = {{0, 3}, {0, 3}, {1, 3}, {2, 3}};
  EXPECT_EQ(steps, expected);

  tResultsList loaded;
  std::vector<std::pair<int, int>> loadSteps;
  loaded.OnLoadProgress = [&](tResultsList&, int position, int maximum) { loadSteps.emplace_back(position, maximum); };
  std::string serversLog, log;
  LoadFromFile(loaded, folder.File("p.twf"), false, serversLog, log);
  const std::vector<std::pair<int, int>> loadExpected = {{0, 3}, {1, 3}, {2, 3}, {0, 1}};
  EXPECT_EQ(loadSteps, loadExpected);
}

// Files written by hand: the shorter element names of earlier files, texts
// that are not numbers, values out of range.
TEST(ResultSetLoader, ReadsShortNamesAndDefaultsBadNumbers) {
  const std::string content =
      "<twr><version>1.0</version><encoding>utf-8</encoding><date>7 mar 2001</date><plain>TRUE</plain>"
      "<servers><server>s1</server></servers><log><item>l1</item><item>l2</item></log>"
      "<params><cat>web</cat><words>a &amp; b</words><mode>x</mode></params>"
      "<black><item><url>http://x.lan/</url><checked>1</checked></item>"
      "<item><url>http://y.lan/</url><checked>no</checked></item></black>"
      "<items>"
      "<item><title>T1</title><url>http://a.lan/</url><check>7</check><hit>zz</hit><code>-</code>"
      "<new>it is TRUE</new><date>36958,5</date><created>not a date</created>"
      "<engines><engine>e1</engine><engine>e1</engine></engines><urls><url>http://a.lan/2</url></urls></item>"
      "<item><title></title><url>http://skipped.lan/</url></item>"
      "<item><title>no address</title></item>"
      "<other><title>T9</title><url>http://other.lan/</url></other>"
      "<item><title>T2</title><url>http://b.lan/</url><check>-3</check><deleted>True</deleted></item>"
      "</items></twr>";
  tResultsList list;
  std::string serversLog, log;
  LoadFromText(list, content, "/nonexistent/hand.twf", false, serversLog, log);
  EXPECT_EQ(list.SearchDate, *text::TryEncodeDate(2001, 3, 7));
  EXPECT_TRUE(list.Plain);
  EXPECT_EQ(list.Servers, std::vector<std::string>{"s1"});
  EXPECT_EQ(log, "l1\r\nl2");
  EXPECT_EQ(list.Category, "web");
  EXPECT_EQ(list.Keywords, "a & b");
  EXPECT_EQ(list.MatchMode, 0);
  ASSERT_EQ(list.TemporaryBlackList().Count(), 2);
  EXPECT_TRUE(list.TemporaryBlackList().Items(0)->Checked());
  EXPECT_FALSE(list.TemporaryBlackList().Items(1)->Checked());

  ASSERT_EQ(Titles(list), (std::vector<std::string>{"T1", "T2"}));
  const tUrlResult& t1 = *list.Items(0);
  EXPECT_EQ(t1.CheckState, csBad);  // 7 clamped
  EXPECT_EQ(t1.Relevance, 0);
  EXPECT_EQ(t1.Code, 0);
  EXPECT_TRUE(t1.IsNew());
  EXPECT_EQ(t1.Date, 36958.5);  // "," read as the decimal separator
  EXPECT_EQ(t1.Created, 0);
  EXPECT_EQ(t1.Engines, (std::vector<std::string>{"e1", "e1"}));
  EXPECT_EQ(t1.Urls(), (std::vector<std::string>{"http://a.lan/", "http://a.lan/2"}));
  EXPECT_EQ(list.Items(1)->CheckState, csGood);  // -3 clamped
  EXPECT_TRUE(list.Items(1)->Deleted());
}

TEST(ResultSetLoader, DecodesByTheFilesEncoding) {
  struct Case {
    const char* name;
    std::string encoding;
    std::string titleBytes;
    std::string expected;
  };
  const std::string cp1252Eacute = "caf\xE9";
  const Case cases[] = {
      {"declared utf-8", "utf-8", "caf\xC3\xA9", "caf\xC3\xA9"},
      {"declared utf8", "utf8", "caf\xC3\xA9", "caf\xC3\xA9"},
      // "UTF-8" in capitals is not the program's own marker: the text is
      // taken as it stands when it is valid UTF-8, else as legacy bytes.
      {"capitals, legacy bytes", "UTF-8", cp1252Eacute, "caf\xC3\xA9"},
      {"capitals, utf-8 bytes", "UTF-8", "caf\xC3\xA9", "caf\xC3\xA9"},
      {"no encoding, legacy bytes", "", cp1252Eacute, "caf\xC3\xA9"},
      {"declared utf-8, broken byte", "utf-8", cp1252Eacute, "caf\xEF\xBF\xBD"},
  };
  text::SetLegacyCodePage(text::CodePage::kWindows1252);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string content = "<twr><twr_version>1.1</twr_version>";
    if (!c.encoding.empty()) content += "<twr_encoding>" + c.encoding + "</twr_encoding>";
    content += "<results><result><result_title>" + c.titleBytes +
               "</result_title><result_main_url>http://a.lan/</result_main_url></result></results></twr>";
    tResultsList list;
    std::string serversLog, log;
    LoadFromText(list, content, "x.twf", false, serversLog, log);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->Title, c.expected);
  }
}

TEST(ResultSetLoader, MergeAddsOnlyUnknownPagesAndKeepsTheSetsDescription) {
  TempFolder folder;
  const std::string file = folder.File("m.twf");
  {
    tResultsList other;
    other.Keywords = "theirs";
    other.SearchDate = 1000;
    AddResult(other, {"known", {"http://A.lan:80/Path?q=1"}});
    AddResult(other, {"fresh", {"http://c.lan/"}});
    other.TemporaryBlackList().Add("http://black.lan/", true);
    SaveToFile(other, file, "their log", true, false, false, "their servers");
  }
  tResultsList list;
  list.Keywords = "ours";
  list.SearchDate = 2000;
  list.FileName = "/elsewhere/ours.twf";
  list.Servers = {"s"};
  AddResult(list, {"ours", {"http://a.lan/path?q=1"}});
  std::string serversLog = "x", log = "y";
  LoadFromFile(list, file, true, serversLog, log);
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"ours", "fresh"}));
  EXPECT_EQ(list.Keywords, "ours");
  EXPECT_EQ(list.SearchDate, 2000);
  EXPECT_EQ(list.FileName, "/elsewhere/ours.twf");
  EXPECT_TRUE(list.Servers.empty());
  EXPECT_TRUE(serversLog.empty());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list.TemporaryBlackList().Count(), 1);  // entries are merged too
  EXPECT_FALSE(list.Saved());
}

// A file that is not a result set must not take over the list: otherwise the
// next Save would overwrite an unrelated file.
TEST(ResultSetLoader, NotAResultSetChangesNothing) {
  TempFolder folder;
  const struct {
    const char* name;
    const char* content;
  } cases[] = {
      {"plain text", "just some text\r\nno markup"},
      {"other xml", "<?xml version=\"1.0\"?><html><body>x</body></html>"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = folder.File("not-a-set.txt");
    WriteAll(file, c.content);
    tResultsList list;
    list.FileName = "/mine.twf";
    list.Keywords = "q";
    list.TemporaryBlackList().Add("http://t.lan/", true);
    AddResult(list, {"kept", {"http://a.lan/"}});
    list.SetSaved(true);
    list.Plain = true;
    std::string serversLog, log;
    try {
      LoadFromFile(list, file, false, serversLog, log);
      ADD_FAILURE() << "loaded";
    } catch (const ResultSetError& e) {
      EXPECT_STREQ(e.what(), "Bad file format");
    }
    EXPECT_EQ(list.FileName, "/mine.twf");
    EXPECT_TRUE(list.Saved());
    EXPECT_TRUE(list.Plain);
    EXPECT_EQ(list.Keywords, "q");
    EXPECT_EQ(Titles(list), std::vector<std::string>{"kept"});
    EXPECT_EQ(list.TemporaryBlackList().Count(), 1);
  }
}

TEST(ResultSetLoader, MissingFileReportsTheSystemsMessage) {
  TempFolder folder;
  tResultsList list;
  std::string serversLog, log;
  try {
    LoadFromFile(list, folder.File("missing.twf"), false, serversLog, log);
    ADD_FAILURE() << "loaded";
  } catch (const ResultSetError& e) {
    EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(list.FileName.empty());
}

TEST(ResultSetLoader, SetWithoutDateTakesTheFilesWriteTime) {
  TempFolder folder;
  const std::string file = folder.File("nodate.twf");
  WriteAll(file, "<twr><twr_version>1.1</twr_version><twr_date>garbage</twr_date></twr>");
  tResultsList list;
  std::string serversLog, log;
  LoadFromFile(list, file, false, serversLog, log);
  EXPECT_EQ(list.SearchDate, text::FileDateTime(file));
  EXPECT_GT(list.SearchDate, 0);
}

TEST(ResultSetText, DateTimesUseAPointAndReadEitherSeparator) {
  const struct {
    double value;
    const char* written;
  } written[] = {{36955.75, "36955.75"}, {0, "0"}, {1.0 / 3, "0.333333333333333"}, {45000, "45000"}};
  for (const auto& c : written) EXPECT_EQ(FormatFileDateTime(c.value), c.written);
  const struct {
    const char* text;
    double value;
  } read[] = {{"36955.75", 36955.75}, {"36955,75", 36955.75}, {" 12 ", 12}, {"1e3", 1000},
              {"", 0}, {"abc", 0}, {"1.5x", 0}, {"nan", 0}, {"inf", 0}};
  for (const auto& c : read) EXPECT_EQ(ParseFileDateTime(c.text), c.value) << c.text;
}

// A save that fails half way must leave the previous file as it was and no
// temporary file behind, and must not claim the list was saved.
TEST(ResultSetFile, FailedWriteLeavesThePreviousFile) {
  TempFolder folder;
  const std::string file = folder.File("keep.twf");
  WriteAll(file, "previous content");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The file size limit makes the write fail after some 16 KB.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16384, 16384};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    tResultsList list;
    for (int i = 0; i < 2000; ++i)
      AddResult(list, {"result number " + std::to_string(i), {"http://a.lan/" + std::to_string(i)}});
    try {
      SaveToFile(list, file, "", true, false, false, "");
    } catch (const ResultSetError&) {
      ::_exit(list.Saved() || !list.FileName.empty() ? 3 : 7);
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7) << "the save did not fail cleanly";
  EXPECT_EQ(ReadAll(file), "previous content");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.twf"});
}

TEST(ResultSetFile, SaveIntoMissingFolderLeavesNameAndSavedState) {
  TempFolder folder;
  tResultsList list;
  AddResult(list, {"t", {"http://a.lan/"}});
  EXPECT_THROW(SaveToFile(list, folder.File("no/such/dir.twf"), "", true, false, false, ""), ResultSetError);
  EXPECT_TRUE(list.FileName.empty());
  EXPECT_FALSE(list.Saved());
}

}  // namespace
}  // namespace trawler::results
