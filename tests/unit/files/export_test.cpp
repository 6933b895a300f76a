// The HTML, CSV and JSON exports.
#include <gtest/gtest.h>

#include "files_fixture.h"
#include "results/export_csv.h"
#include "results/export_html.h"
#include "results/export_json.h"
#include "results/html_inline.h"
#include "results/result_set_text.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

using testing::AddResult;
using testing::Occurrences;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::string kBom = "\xEF\xBB\xBF";

TEST(CsvExport, FieldsAreQuotedAndFormulasDefused) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a \"b\" c", "\"a \"\"b\"\" c\";"},
      {"", ";"},
      {"plain", "\"plain\";"},
      {"=SUM(A1)", "\"'=SUM(A1)\";"},
      {"+1", "\"'+1\";"},
      {"-2", "\"'-2\";"},
      {"@cmd", "\"'@cmd\";"},
      {"\tx", "\"'\tx\";"},
      {"\rx", "\"'\rx\";"},
      {"a=b", "\"a=b\";"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(CsvExport, NewFileGetsMarkAndHeaderOnceAndAppendingAddsLines) {
  TempFolder folder;
  const std::string file = folder.File("r.csv");
  tResultsList list;
  list.OnEngineKey = [](const std::string& key, std::string& text) { text = "f:" + key; };
  tUrlResult& r = AddResult(list, {"T \"1\"", {"http://a.lan/"}, {"e1", "e2"}});
  r.Description = "<b>x</b> y";
  ExportCsv(list, file, true, true);
  const std::string line = "\"http://a.lan/\";\"T \"\"1\"\"\";\"f:e1; f:e2\";;\"x y\";\r\n";
  EXPECT_EQ(ReadAll(file), kBom + "URL;Title;Engines;Date;Description\r\n" + line);

  ExportCsv(list, file, false, true);
  EXPECT_EQ(ReadAll(file), kBom + "URL;Title;Engines;Date;Description\r\n" + line + line);
}

TEST(CsvExport, WritesTheLocalesShortDate) {
  tResultsList list;
  AddResult(list, {"t", {"http://a.lan/"}}).Date = *text::TryEncodeDate(2001, 3, 5);
  const std::string lines = CsvExportLines(list, true);
  EXPECT_NE(lines.find(";\"" + text::FormatLocaleShortDate(*text::TryEncodeDate(2001, 3, 5)) + "\";"),
            std::string::npos)
      << lines;
}

TEST(HtmlExport, ResultLinesFollowTheirParts) {
  tResultsList list;
  list.OnEngineTitle = [](const std::string& key, std::string& text) { text = "Title " + key; };
  AddResult(list, {"Bare", {"http://a.lan/"}, {"e1", "e2"}});
  tUrlResult& full = AddResult(list, {"Full", {"http://b.lan/"}});
  full.Relevance = 80;
  full.Description = "line <i>one</i>\r\nline two";
  full.Server = "nginx";
  full.Code = 200;
  full.Reason = "OK";
  full.ContentType = "text/html";
  full.Size = "12";
  const std::string page = HtmlExportText(list, false, true);
  EXPECT_NE(page.find("\r\n   <DT><a href=\"http://a.lan/\" target=\"_blank\">Bare</a><br><small>Title e1; Title e2"
                      "</small></DT>\r\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<small>80%</small><br><DD>line <i>one</i><br>line two Server: nginx Result: 200 OK "
                      "Content: text/html 12</DD></DT>\r\n"),
            std::string::npos)
      << page;
  EXPECT_EQ(Occurrences(page, "<hr>"), 3);
  EXPECT_EQ(page.rfind("<!-- File created by Trawler at ", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 33), "</blockquote>\r\n</body>\r\n</html>\r\n");

  const std::string plain = HtmlExportText(list, true, true);
  EXPECT_NE(plain.find("<DD>line one line two Server:"), std::string::npos) << plain;
}

TEST(HtmlExport, EscapesEveryTextAndLinksOnlySafeAddresses) {
  tResultsList list;
  list.Keywords = "--> <script>x</script>";
  list.Category = "<c>";
  list.OnEngineTitle = [](const std::string&, std::string& text) { text = "<e>"; };
  AddResult(list, {"<img src=x onerror=alert(1)>", {"javascript:alert(1)"}});
  AddResult(list, {"ok", {"http://a.lan/?a=1&b=\"2\""}});
  AddResult(list, {"mail", {"MAILTO:me@a.lan"}});
  const std::string page = HtmlExportText(list, false, true);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("<e>"), std::string::npos);
  EXPECT_EQ(page.find("<c>"), std::string::npos);
  EXPECT_EQ(page.find("href=\"javascript"), std::string::npos);
  EXPECT_EQ(Occurrences(page.substr(0, page.find("\r\n")), "-->"), 1);  // only the comment's own end
  EXPECT_NE(page.find("<DT>&lt;img src=x onerror=alert(1)&gt;<br>"), std::string::npos) << page;
  EXPECT_NE(page.find("href=\"http://a.lan/?a=1&amp;b=&quot;2&quot;\""), std::string::npos);
  EXPECT_NE(page.find("href=\"MAILTO:me@a.lan\""), std::string::npos);
}

TEST(HtmlExport, DescriptionsKeepOnlyHarmlessInlineTags) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"<b>bold</b> and <I class=x>it</I>", "<b>bold</b> and <i>it</i>"},
      {"<script>alert(1)</script>", "alert(1) "},
      {"<a href=\"javascript:x\" onclick=y>link</a>", "link "},
      {"<strong>open", "<strong>open</strong>"},
      {"<b><i>x</b>y</i>", "<b><i>x</i></b>y"},
      {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
      {"&amp; &#38; &#x26; &bogus", "&amp; &#38; &#x26; &amp;bogus"},
      {"one\r\ntwo<br/>three", "one<br>two<br>three"},
      {"<!-- <b> -->x", "x"},
      {"say \"hi\" 'x'", "say &quot;hi&quot; &#39;x&#39;"},
      {"<em", "&lt;em"},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeInlineHtml(c.in), c.out) << c.in;
  for (const char* url : {"http://a", "HTTPS://a", "ftp://a", "mailto:a@b"}) EXPECT_TRUE(IsLinkableUrl(url)) << url;
  for (const char* url : {"javascript:x", "data:text/html,x", " http://a", "a.lan/x", "file:///etc"})
    EXPECT_FALSE(IsLinkableUrl(url)) << url;
}

TEST(HtmlExport, WritesSelectedResultsAndReportsProgress) {
  TempFolder folder;
  const std::string file = folder.File("p.htm");
  tResultsList list;
  list.SetMarkInterval(-1);
  AddResult(list, {"one", {"http://a.lan/"}});
  AddResult(list, {"two", {"http://b.lan/"}}).SetSelected(true);
  std::vector<std::pair<int, int>> steps;
  list.OnSaveProgress = [&](tResultsList&, int p, int m) { steps.emplace_back(p, m); };
  ExportHtml(list, file, false, false);
  const std::string page = ReadAll(file);
  EXPECT_EQ(page.find(">one<"), std::string::npos);
  EXPECT_NE(page.find(">two<"), std::string::npos);
  const std::vector<std::pair<int, int>> expected = {{0, 1}, {0, 2}, {1, 2}, {1, 1}};
  EXPECT_EQ(steps, expected);
}

TEST(ExportErrors, FailedExportLeavesTheFileAndEndsProgress) {
  TempFolder folder;
  tResultsList list;
  AddResult(list, {"one", {"http://a.lan/"}});
  std::vector<std::pair<int, int>> steps;
  list.OnSaveProgress = [&](tResultsList&, int p, int m) { steps.emplace_back(p, m); };
  // A folder where the file should be cannot be replaced.
  std::filesystem::create_directory(folder.File("taken.csv"));
  EXPECT_THROW(ExportCsv(list, folder.File("taken.csv"), true, true), ResultSetError);
  EXPECT_EQ(steps.back(), std::make_pair(1, 1));
  EXPECT_THROW(ExportHtml(list, folder.File("no/dir.htm"), false, true), ResultSetError);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"taken.csv"});
}

TEST(JsonExport, DocumentCarriesTheSetAndEveryResult) {
  tResultsList list;
  list.Keywords = "a \"b\"\\";
  list.Category = "web";
  list.MatchMode = 3;
  list.OnEngineTitle = [](const std::string& key, std::string& text) { text = "T-" + key; };
  tUrlResult& r = AddResult(list, {"x\ty\x01", {"http://a.lan/", "http://A.lan/"}, {"e1"}});
  r.Description = "<b>d</b>";
  r.Relevance = 5;
  r.CheckState = csGood;
  r.Code = 301;
  r.Reason = "Moved";
  r.Date = *text::TryEncodeDate(2001, 3, 5) + 0.5;
  const std::string json = JsonExportText(list, true);
  for (const std::string part :
       {"\"query\":\"a \\\"b\\\"\\\\\"", "\"category\":\"web\"", "\"match_mode\":3", "\"search_date\":null",
        "\"title\":\"x\\ty\\u0001\"", "\"url\":\"http://a.lan/\"", "\"other_urls\":[\"http://A.lan/\"]",
        "\"engines\":[{\"key\":\"e1\",\"title\":\"T-e1\"}]", "\"date\":\"2001-03-05T12:00:00",
        "\"relevance\":5", "\"description\":\"d\"", "\"check_state\":0", "\"deleted\":false",
        "\"link_check\":{\"code\":301,\"reason\":\"Moved\",\"content_type\":\"\",\"size\":\"\",\"server\":\"\"}"})
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
}

TEST(JsonExport, IsoDatesCarryTheirOffset) {
  const std::string iso = IsoDateTime(*text::TryEncodeDate(2020, 7, 1) + 0.25);
  ASSERT_EQ(iso.size(), 25u) << iso;
  EXPECT_EQ(iso.substr(0, 19), "2020-07-01T06:00:00");
  EXPECT_TRUE(iso[19] == '+' || iso[19] == '-');
  EXPECT_EQ(IsoDateTime(0), "");
}

}  // namespace
}  // namespace trawler::results
