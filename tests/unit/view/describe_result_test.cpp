// The Properties tab's description of a result: its parts in order, the
// display options, and that nothing a page or a server sent can add markup.

#include <gtest/gtest.h>

#include "core/view/describe_result.h"
#include "results/results_list.h"
#include "support/lang/lang_list.h"
#include "support/text/dates.h"

namespace trawler::core::view {
namespace {

std::optional<EngineLink> NoEngines(const std::string&) { return std::nullopt; }

class DescribeResultTest : public ::testing::Test {
 protected:
  results::tUrlResult& Make(const std::string& url, const std::string& title) {
    results::tUrlResult& r = list.CreateResult();
    r.AddUrl(url);
    r.Title = title;
    return r;
  }
  std::string Describe(const results::tUrlResult& r, const DescribeOptions& options = {},
                       const EngineLookup& engines = NoEngines, std::string_view words = "") {
    return DescribeResult(r, words, options, lang, engines);
  }
  results::tResultsList list;
  lang::tALanglist lang;
};

TEST_F(DescribeResultTest, MinimalResultGivesLinkLineBreakAndEngineLine) {
  results::tUrlResult& r = Make("http://a.lan/x", "Alpha page");
  r.AddEngine("f:gone");
  EXPECT_EQ(Describe(r),
            "<b>Link:</b> <a href=\"http://a.lan/x\" target=\"_blank\">Alpha page</a><br>"
            "<b>Engine:</b>  f:gone (Unlisted or renamed)");
}

TEST_F(DescribeResultTest, EveryPartInOrder) {
  results::tUrlResult& r = Make("http://a.lan/x", "Alpha");
  r.AddOtherUrl("http://a.lan/y");
  r.AddOtherUrl("http://a.lan/z");
  r.AddEngine("f:one");
  r.AddEngine("f:two");
  r.Date = 36526;  // 2000-01-01
  r.Relevance = 70;
  r.Description = "Some <i>words</i>";
  r.Code = 404;
  r.Reason = "Not Found";
  r.Server = "nginx";
  r.ContentType = "text/html";
  r.Size = "1234";
  const EngineLookup engines = [](const std::string& key) -> std::optional<EngineLink> {
    if (key == "f:one") return EngineLink{"http://one.lan/", "One"};
    return std::nullopt;
  };
  const std::string rule = "<hr width=100% color=000000>";
  EXPECT_EQ(Describe(r, {}, engines),
            "<b>Link:</b> <a href=\"http://a.lan/x\" target=\"_blank\">Alpha</a>" + rule +
                "<a href=\"http://a.lan/y\">URL#0</a><br><a href=\"http://a.lan/z\">URL#1</a>" + rule +
                "<b>Engine:</b>  <a href=\"http://one.lan/\">One</a> f:two (Unlisted or renamed)"
                "<br><b>Document Date: </b>" + text::FormatLocaleShortDate(36526) +
                "<br><b>Relevance: </b>70%" + rule + "Some <i>words</i>" + rule +
                "<br><b>Error</b>: Not Found<br><b>Server</b>: nginx"
                "<br><b>Content-type</b>: text/html<br><b>Content-length</b>: 1234");
}

TEST_F(DescribeResultTest, CheckAnswerBelow400IsReportedAsOk) {
  results::tUrlResult& r = Make("http://a.lan/x", "A");
  r.Code = 200;
  r.Reason = "OK";
  EXPECT_NE(Describe(r).find("<br><b>OK</b>: OK"), std::string::npos);
}

TEST_F(DescribeResultTest, HostileTextsCannotAddMarkup) {
  results::tUrlResult& r = Make("http://a.lan/\"><script>x()</script>", "<script>alert(1)</script>");
  r.AddOtherUrl("javascript:\" onclick=\"x()");
  r.AddEngine("<img src=http://evil.lan/e.png>");
  r.Description = "<img src=\"http://evil.lan/p.png\"><a href=\"javascript:x()\">click</a> <b>bold</b>";
  r.Code = 500;
  r.Reason = "<iframe src=http://evil.lan/>";
  r.Server = "<style>body{}</style>";
  const std::string html = Describe(r);
  for (const char* forbidden : {"<script", "<img", "<iframe", "<style", "\" onclick", "\"><"}) {
    EXPECT_EQ(html.find(forbidden), std::string::npos) << forbidden << " in " << html;
  }
  EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;</a>"), std::string::npos) << html;
  EXPECT_NE(html.find("href=\"http://a.lan/&quot;&gt;&lt;script&gt;"), std::string::npos) << html;
  // An address of another scheme stays a link; a click on it asks first.
  EXPECT_NE(html.find("href=\"javascript:&quot; onclick=&quot;x()\""), std::string::npos) << html;
  EXPECT_NE(html.find("<b>bold</b>"), std::string::npos) << html;  // harmless tags stay
}

struct OptionsCase {
  const char* name;
  std::string title;
  DescribeOptions options;
  const char* words;
  std::string shownTitle;
};

class DisplayOptions : public DescribeResultTest, public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(DisplayOptions, ApplyToTheTitle) {
  const OptionsCase& c = GetParam();
  results::tUrlResult& r = Make("http://a.lan/x", c.title);
  const std::string html = Describe(r, c.options, NoEngines, c.words);
  EXPECT_NE(html.find(">" + c.shownTitle + "</a>"), std::string::npos) << html;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayOptions,
    ::testing::Values(
        OptionsCase{"QueryWordsInBold", "Fast alpha cars", {}, "alpha car", "Fast <b>alpha</b> cars"},
        // KOI8-R bytes of "Привет" once read as Windows-1251.
        OptionsCase{"Koi8Repair", "рТЙЧЕФ", {tDecoding::Koi8r, false}, "", "Привет"},
        // cp866 bytes of "Привет" once read as Windows-1251.
        OptionsCase{"Cp866Repair", "ЏаЁўҐв", {tDecoding::Cp866, false}, "", "Привет"},
        OptionsCase{"Translit", "Щука", {tDecoding::None, true}, "", "Shchuka"},
        OptionsCase{"EscapedTitleKeepsHighlight", "a < b beta", {}, "beta", "a &lt; b <b>beta</b>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DescribeResultTest, WordsAreTheFilterWhileSearchInRetrievedIsOn) {
  list.Keywords = "query words";
  list.SetFilter(results::fmAllWords, true, false, false, "filter", false);
  EXPECT_EQ(HighlightedWords(list, false), "query words");
  EXPECT_EQ(HighlightedWords(list, true), "filter");
}

}  // namespace
}  // namespace trawler::core::view
