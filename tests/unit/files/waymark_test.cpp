// Internet shortcut files.
#include <gtest/gtest.h>

#include "files_fixture.h"
#include "results/ini_text.h"
#include "results/waymark.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using testing::AddResult;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

std::vector<IniSection> ReadIni(const std::string& file) { return ParseIni(ReadAll(file)); }

const IniSection* Section(const std::vector<IniSection>& sections, std::string_view name) {
  for (const IniSection& s : sections)
    if (SameIniName(s.Name, name)) return &s;
  return nullptr;
}

std::string Value(const std::vector<IniSection>& sections, std::string_view section, std::string_view key) {
  const IniSection* s = Section(sections, section);
  if (!s) return "<no section>";
  const int at = FindIniKey(s->Lines, key);
  return at < 0 ? "<no key>" : std::string(IniValue(s->Lines[static_cast<std::size_t>(at)]));
}

TEST(ShortcutExport, FileNamesComeFromTitles) {
  TempFolder folder;
  tResultsList list;
  AddResult(list, {"What? A/B: \"x\"", {"http://a.lan/1"}});
  AddResult(list, {"", {"http://user@a.lan:8080/page"}});
  AddResult(list, {std::string(120, 'L'), {"http://l.lan/"}});
  AddResult(list, {"line\r\nbreak", {"http://n.lan/"}});
  ExportShortcuts(list, folder.Path().string(), true);
  const std::vector<std::string> expected = {
      std::string(95, 'L') + ".url", "What AB x.url", "a.lan.url", "linebreak.url"};
  EXPECT_EQ(folder.Names(), expected);
  EXPECT_EQ(Value(ReadIni(folder.File("What AB x.url")), "InternetShortcut", "URL"), "http://a.lan/1");
}

TEST(ShortcutExport, SameTitleNeverOverwritesAFile) {
  TempFolder folder;
  WriteAll(folder.File("Same.url"), "[InternetShortcut]\r\nURL=http://mine.lan/\r\n");
  tResultsList list;
  AddResult(list, {"Same", {"http://a.lan/"}});
  AddResult(list, {"Same", {"http://b.lan/"}});
  ExportShortcuts(list, folder.Path().string(), true);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Same (2).url", "Same (3).url", "Same.url"}));
  EXPECT_EQ(Value(ReadIni(folder.File("Same.url")), "InternetShortcut", "URL"), "http://mine.lan/");
  EXPECT_EQ(Value(ReadIni(folder.File("Same (3).url")), "InternetShortcut", "URL"), "http://b.lan/");
}

TEST(ShortcutExport, CheckDatesFollowTheStatus) {
  TempFolder folder;
  tResultsList list;
  list.SearchDate = *text::TryEncodeDate(2020, 7, 1) + 0.5;  // summer: daylight saving time where it applies
  const std::string searchSeconds = TWaymark::DateSeconds(list.SearchDate);
  struct Case {
    const char* title;
    int code;
    const char* reason;
    std::string lastChecked, lastSuccess, checkResult;
  };
  const Case cases[] = {
      {"never", 0, "", "<no section>", "<no section>", "<no section>"},
      {"found", 200, "OK", searchSeconds, searchSeconds, "OK"},
      {"moved", 301, "Moved", searchSeconds, searchSeconds, "Moved"},
      {"missing", 404, "Not Found", searchSeconds, "<no key>", "Not Found"},
      {"failed", 0, "timeout", "<no key>", "<no key>", "timeout"},
  };
  for (const Case& c : cases) {
    tUrlResult& r = AddResult(list, {c.title, {"http://a.lan/"}});
    r.Code = c.code;
    r.Reason = c.reason;
  }
  ExportShortcuts(list, folder.Path().string(), true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const auto ini = ReadIni(folder.File(std::string(c.title) + ".url"));
    EXPECT_EQ(Value(ini, "InternetShortcut", "LastModified"), "0");
    EXPECT_EQ(Value(ini, "Waymark", "LastChecked"), c.lastChecked);
    EXPECT_EQ(Value(ini, "Waymark", "LastSuccefullCheck"), c.lastSuccess);
    EXPECT_EQ(Value(ini, "Waymark", "CheckResult"), c.checkResult);
  }
}

TEST(ShortcutExport, DateSecondsAreUtcWithDaylightSavingTime) {
  // The local date-time of a known instant must give that instant back,
  // in winter and in summer alike.
  for (std::time_t instant : {std::time_t{1577880000}, std::time_t{1593604800}}) {
    const text::TDateTime local = text::LocalDateTimeFromUnix(instant);
    EXPECT_EQ(TWaymark::DateSeconds(local), std::to_string(instant));
  }
  EXPECT_EQ(TWaymark::DateSeconds(0), "0");
}

TEST(ShortcutExport, DescriptionTakesTheFurtherAddresses) {
  TempFolder folder;
  tResultsList list;
  tUrlResult& r = AddResult(list, {"d", {"http://a.lan/", "http://u1.lan/", "http://u2.lan/"}});
  r.Description = "first line\r\nsecond <b>line</b>";
  r.Date = *text::TryEncodeDate(2001, 3, 5);
  ExportShortcuts(list, folder.Path().string(), true);
  const auto ini = ReadIni(folder.File("d.url"));
  EXPECT_EQ(Value(ini, "Description", "1"), "http://u2.lan/");
  EXPECT_EQ(Value(ini, "Description", "0").substr(0, 10), "first line");
  EXPECT_NE(Value(ini, "Description", "0").find(" http://u1.lan/"), std::string::npos);
  EXPECT_EQ(Value(ini, "InternetShortcut", "LastModified"), TWaymark::DateSeconds(r.Date));
}

TEST(Waymark, ValuesNeverBreakOutOfTheirLine) {
  TempFolder folder;
  TWaymark w;
  w.SetFileName(folder.File("x.url"));
  w.SetUrl("http://a.lan/\r\n[Evil]\r\nURL=file:///etc/passwd");
  w.SetCheckResult("bad\nreason");
  w.SetLastChecked(40000);
  ASSERT_TRUE(w.Save());
  const auto ini = ReadIni(folder.File("x.url"));
  EXPECT_EQ(Section(ini, "Evil"), nullptr);
  EXPECT_EQ(Value(ini, "InternetShortcut", "URL"), "http://a.lan/[Evil]URL=file:///etc/passwd");
  EXPECT_EQ(Value(ini, "Waymark", "CheckResult"), "badreason");
}

TEST(Waymark, ModifyModeRewritesItsSectionsAndKeepsOthers) {
  TempFolder folder;
  const std::string file = folder.File("old.url");
  WriteAll(file,
           "[DEFAULT]\r\nBASEURL=http://old.lan/\r\n[InternetShortcut]\r\nURL=http://old.lan/\r\n"
           "IconIndex=3\r\n[Other]\r\nk=v\r\n");
  std::vector<int> errors;
  TWaymark w;
  w.UrlType = utModify;
  w.OnFileError = [&](TWaymark&, int code) { errors.push_back(code); };
  EXPECT_FALSE(w.SetFileName(folder.File("absent.url")));
  ASSERT_TRUE(w.SetFileName(file));
  EXPECT_EQ(w.GetUrl(), "http://old.lan/");
  EXPECT_EQ(w.GetTitle(), "old");
  w.SetUrl("http://new.lan/");
  ASSERT_TRUE(w.Save());
  const auto ini = ReadIni(file);
  EXPECT_EQ(Value(ini, "DEFAULT", "BASEURL"), "http://new.lan/");
  EXPECT_EQ(Value(ini, "InternetShortcut", "URL"), "http://new.lan/");
  EXPECT_EQ(Value(ini, "InternetShortcut", "IconIndex"), "3");
  EXPECT_EQ(Value(ini, "Other", "k"), "v");
  EXPECT_EQ(errors, std::vector<int>{ueFileMissing});

  // Renaming never replaces another file.
  WriteAll(folder.File("taken.url"), "[InternetShortcut]\r\nURL=http://t.lan/\r\n");
  w.SetTitle("taken");
  EXPECT_EQ(errors.back(), ueRenameFailed);
  w.SetTitle("new: name");
  EXPECT_EQ(w.Path(), folder.File("new name.url"));
  EXPECT_EQ(Value(ReadIni(folder.File("new name.url")), "InternetShortcut", "URL"), "http://new.lan/");
}

TEST(Waymark, AutoConvertRemovesExtendedKeysFromWhereTheyDoNotBelong) {
  TempFolder folder;
  const std::string file = folder.File("c.url");
  WriteAll(file,
           "[InternetShortcut]\r\nURL=http://a.lan/\r\nLastChecked=5\r\nBrowser=x\r\nEmpty=\r\n"
           "[Waymark]\r\nChecked=1\r\nLastChecked=5\r\n");
  TWaymark plain;
  plain.UrlType = utModify;
  plain.SetFileName(file);
  EXPECT_FALSE(plain.IsClean());

  TWaymark w;
  w.UrlType = utModify;
  w.AutoConvert = true;
  w.SetFileName(file);
  EXPECT_TRUE(w.IsClean());
  const auto ini = ReadIni(file);
  ASSERT_NE(Section(ini, "InternetShortcut"), nullptr);
  EXPECT_EQ(Section(ini, "InternetShortcut")->Lines, std::vector<std::string>{"URL=http://a.lan/"});
  EXPECT_EQ(Section(ini, "Waymark")->Lines, std::vector<std::string>{"LastChecked=5"});
}

TEST(Waymark, SaveReportsMissingAddressAndAddedScheme) {
  TempFolder folder;
  std::vector<int> errors;
  TWaymark w;
  w.CheckProtocol = true;
  w.OnFileError = [&](TWaymark&, int code) { errors.push_back(code); };
  w.SetFileName(folder.File("s.url"));
  w.SetUrl("a.lan/x");
  ASSERT_TRUE(w.Save());
  EXPECT_EQ(Value(ReadIni(folder.File("s.url")), "InternetShortcut", "URL"), "http://a.lan/x");
  w.Clear();
  w.SetFileName(folder.File("empty.url"));
  w.SetDescription("only text");
  EXPECT_TRUE(w.Save());
  EXPECT_EQ(errors, (std::vector<int>{ueSchemeAdded, ueNoUrl}));
}

TEST(IniText, ParsesForgivingly) {
  using namespace std::string_literals;
  const auto sections = ParseIni(
      "stray=1\r\n[A]\r\nk=v\r\n;comment\r\nnokey\r\n=novalue\r\n[ b ]\nx = y \n[a]\rk2=v\0" "2"s);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].Lines, (std::vector<std::string>{"k=v", "k2=v2"}));
  EXPECT_EQ(sections[1].Name, "b");
  EXPECT_EQ(IniValue(sections[1].Lines[0]), "y");
  // What is read survives being written and read again.
  const auto again = ParseIni(FormatIni(sections));
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].Lines, sections[0].Lines);
  EXPECT_EQ(again[1].Lines, sections[1].Lines);
}

}  // namespace
}  // namespace trawler::results
