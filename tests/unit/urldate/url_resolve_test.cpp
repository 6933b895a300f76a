// Relative links of result pages made absolute.

#include <gtest/gtest.h>

#include <string>

#include "support/text/url.h"

namespace trawler::text {
namespace {

TEST(ResolveUrl, JoinsRelativeLinksToTheBase) {
  struct Case {
    const char* relative;
    const char* base;
    const char* resolved;
  } cases[] = {
      {"../c.html", "h://a/b/d/x.html", "h://a/b/c.html"},
      {"/c.html", "h://a/b/d", "h://a/c.html"},
      {"c.html", "h://a/b/", "h://a/b/c.html"},
      {"./c.html", "h://a/b/x", "h://a/b/c.html"},
      {"  c.html ", "h://a/b/x", "h://a/b/c.html"},
      {"", "h://a/b", "h://a/b"},
      {"c.html", "", "c.html"},
      {"http://o.lan/p", "h://a/b/", "http://o.lan/p"},
      {"mailto:me@a.lan", "h://a/b/", "mailto:me@a.lan"},
      {"../../c.html", "http://a.lan/1/2/3/x.html", "http://a.lan/1/c.html"},
      {"/p?q=1&amp;r=2", "http://a.lan/s", "http://a.lan/p?q=1&r=2"},
      // A base without a path: its directory is the host itself.
      {"c.html", "http://a.lan", "http://a.lan/c.html"},
      {"/c.html", "http://a.lan", "http://a.lan/c.html"},
      // More "../" than directories: the path stays at the host.
      {"../../../c.html", "http://a.lan/b/x.html", "http://a.lan/c.html"},
      // A "/" inside the base's query is no directory.
      {"p2.html", "http://a.lan/s/find?u=http://x/y", "http://a.lan/s/p2.html"},
      // A link that is only a query replaces the base's query.
      {"?start=10", "http://a.lan/s/find?q=x", "http://a.lan/s/find?start=10"},
      // A network-path reference takes the scheme of the base.
      {"//cdn.lan/i.png", "https://a.lan/s/", "https://cdn.lan/i.png"},
      // Cyrillic paths keep their bytes.
      {"страница.html", "http://пример.рф/раздел/", "http://пример.рф/раздел/страница.html"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveUrl(c.relative, c.base), c.resolved) << c.relative << " | " << c.base;
}

TEST(ResolveUrl, KeepsPercentEscapes) {
  // Decoding %2F or %26 would change the address (a path segment, a parameter).
  struct Case {
    const char* relative;
    const char* base;
    const char* resolved;
  } cases[] = {
      {"/go?u=a%2Fb%26c%3Dd", "http://a.lan/", "http://a.lan/go?u=a%2Fb%26c%3Dd"},
      {"x%20y.html", "http://a.lan/d/", "http://a.lan/d/x%20y.html"},
      {"x.html", "http://a.lan/d%2Fe/", "http://a.lan/d%2Fe/x.html"},
      {"a%2520b", "http://a.lan/", "http://a.lan/a%2520b"},
      // A decoded reference that yields "%" stays a plain "%".
      {"a&#37;2Fb", "http://a.lan/", "http://a.lan/a%2Fb"},
      // The private-use character that stands in for "%" while entities are
      // decoded cannot be smuggled in to become a "%".
      {"a\xEE\x80\x80" "2F&amp;", "http://a.lan/", "http://a.lan/a%EE%80%802F&"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveUrl(c.relative, c.base), c.resolved) << c.relative;
}

TEST(ResolveUrl, ManyParentStepsStopAtTheHost) {
  std::string up;
  for (int i = 0; i < 100000; ++i) up += "../";
  EXPECT_EQ(ResolveUrl(up + "x.html", "http://a.lan/b/c/d.html"), "http://a.lan/x.html");
  EXPECT_EQ(ResolveUrl("a/../b/../../c", "http://a.lan/1/2/"), "http://a.lan/c");
}

TEST(ExtractHref, TakesTheTargetOfAnAnchor) {
  struct Case {
    const char* text;
    const char* base;
    bool cutAtSpace;
    const char* href;
  } cases[] = {
      {"<a href=\"/p1.html\">One</a>", "http://h/s?q=x", true, "http://h/p1.html"},
      {"<a href='/p1.html'>One</a>", "", true, "/p1.html"},
      {"<a class=x href=p.html target=_blank>", "", true, "p.html"},
      {"<a class=x href=p.html target=_blank>", "", false, "p.html target=_blank"},
      {"http://a.lan/x y", "", true, "http://a.lan/x"},
      {"http://a.lan/x y", "", false, "http://a.lan/x y"},
      // A parameter called "href" is not the attribute.
      {"<a href=\"/r?id=1&href=http://o.lan/\">", "http://a.lan/", true,
       "http://a.lan/r?id=1&href=http://o.lan/"},
      {"/r?id=1&HREF=x", "", true, "/r?id=1&HREF=x"},
      {"<a HREF=\"go?a=1&amp;b=%26\">", "http://a.lan/d/", true, "http://a.lan/d/go?a=1&b=%26"},
      {"href=\"a%2Fb\"", "", true, "a%2Fb"},
      {"", "", true, ""},
      {"href=", "http://a.lan/", true, "http://a.lan/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtractHref(c.text, c.base, c.cutAtSpace), c.href) << c.text;
}

TEST(AbsolutizeLinks, RewritesHrefSrcAndActionValues) {
  const std::string base = "http://a.lan/d/p.html";
  struct Case {
    const char* html;
    const char* result;
  } cases[] = {
      {"see <a href=\"x.html\">x</a> and <img src='i.png'>",
       "see <a href=\"http://a.lan/d/x.html\">x</a> and <img src='http://a.lan/d/i.png'>"},
      {"<form ACTION=/go method=get><a href=x>",
       "<form ACTION=http://a.lan/go method=get><a href=http://a.lan/d/x>"},
      // Without href= or src= nothing is rewritten, not even an action.
      {"<form action=/go>", "<form action=/go>"},
      {"<a class=\"k\" href=../up.html>", "<a class=\"k\" href=http://a.lan/up.html>"},
      {"<a href=\"\">empty</a>", "<a href=\"\">empty</a>"},
      {"plain text, no links", "plain text, no links"},
      {"<a href=\"javascript:go()\">", "<a href=\"javascript:go()\">"},
      {"<a href=\"mailto:me@a.lan\">", "<a href=\"mailto:me@a.lan\">"},
      {"http://a.lan/x <a href=y>", "http://a.lan/x <a href=y>"},
      {"<a href=\"x?a=1&amp;b=2\">", "<a href=\"http://a.lan/d/x?a=1&b=2\">"},
      {"<a title=\"1=2\" href=q.html>", "<a title=\"1=2\" href=http://a.lan/d/q.html>"},
      {"<a href=", "<a href="},
  };
  for (const Case& c : cases) EXPECT_EQ(AbsolutizeLinks(c.html, base), c.result) << c.html;
}

TEST(AbsolutizeLinks, ManyAttributesStayLinear) {
  // Thousands of "=" must not make the walk quadratic; the result is checked, not timed.
  std::string html;
  for (int i = 0; i < 20000; ++i) html += "<i a=1 b=2><a href=p.html>";
  const std::string out = AbsolutizeLinks(html, "http://a.lan/");
  EXPECT_NE(out.find("<i a=1 b=2><a href=http://a.lan/p.html>"), std::string::npos);
  EXPECT_EQ(out.size(), html.size() + 20000 * std::string("http://a.lan/").size());
}

TEST(UrlResolveFunctions, BrokenUtf8KeepsItsBytes) {
  // Stray bytes are neither dropped nor "repaired": an address keeps its bytes.
  EXPECT_EQ(ResolveUrl("\xff.html", "http://a.lan/d/"), "http://a.lan/d/\xff.html");
  EXPECT_EQ(ResolveUrl("../\xed\xa0\x80/x&amp;", "http://a.lan/\xff/"),
            "http://a.lan/\xed\xa0\x80/x&");
  EXPECT_EQ(ExtractHref("<a href=\"\xe2\x82\">", "", true), "\xe2\x82");
  EXPECT_EQ(AbsolutizeLinks("<a href=\xc3>", "http://a.lan/"), "<a href=http://a.lan/\xc3>");
  EXPECT_EQ(ExtractHref(std::string("h\0ref=a", 7), "", true), std::string("h\0ref=a", 7));
  // Numeric references beyond the code points are left as text, never as broken bytes.
  const std::string out = ResolveUrl("&#1114112;&#xD800;", "http://a.lan/");
  EXPECT_EQ(out.find('\xed'), std::string::npos) << out;
}

}  // namespace
}  // namespace trawler::text
