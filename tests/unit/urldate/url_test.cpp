// Scheme, host, "same page" test, host masks and parents of addresses.

#include "support/text/url.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trawler::text {
namespace {

TEST(UrlScheme, TakesShortSchemesAndMailLinks) {
  struct Case {
    const char* url;
    const char* scheme;
  } cases[] = {
      {"http://a.lan/x", "http"},
      {"https://a.lan", "https"},
      {"mailto:someone@a.lan", "mailto"},
      {"news:comp.lang", ""},           // no slash and no "@": not taken
      {"a.html?x=1:2@3", ""},           // "?" before the colon
      {"dir/page:1.html", ""},          // colon after the first slash
      {"verylong://a.lan/", ""},        // eight letters are too many
      {"gopher7://a/", ""},             // colon at the eighth byte
      {"gopher://a/", "gopher"},
      {"", ""},
      {":/x", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlScheme(c.url), c.scheme) << c.url;
}

TEST(NormalizeUrl, DropsUserInfoWwwPortAndOptionallyTheQuery) {
  struct Case {
    const char* url;
    bool dropQuery;
    const char* normal;
  } cases[] = {
      {"http://user:pw@a.lan:8080/x?y=1", false, "http://a.lan/x?y=1"},
      {"http://user:pw@a.lan:8080/x?y=1", true, "http://a.lan/x"},
      {"HTTP://WWW.A.LAN/x", false, "HTTP://A.LAN/x"},
      {"http://www.a.lan/x", false, "http://www.a.lan/x"},  // only capitals; callers uppercase
      {"http://a.lan:81", false, "http://a.lan:81"},        // no "/": port stays
      {"http://a.lan/p?mail=x@y:z", false, "http://a.lan/p?mail=x@y:z"},
      {"a.lan:80/x", false, "a.lan/x"},
      {"", true, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeUrl(c.url, c.dropQuery), c.normal) << c.url;
}

TEST(CompareUrls, IdenticalEquivalentOrDifferent) {
  struct Case {
    const char* a;
    const char* b;
    int result;
  } cases[] = {
      {"h://w.a.lan:80/x", "H://W.A.LAN/x", 0},
      {"h://a.lan/x", "h://a.lan/x", 1},
      {"h://a.lan/x?b=1", "h://a.lan/x?b=2", -1},
      {"http://www.a.lan/x", "http://a.lan/x", 0},
      {"http://WwW.a.lan/x", "http://a.lan/x", 0},
      {"http://bob@a.lan/x", "http://a.lan/x", 0},
      {"http://a.lan/x", "http://a.lan/y", -1},
      // Cyrillic host: case folds beyond ASCII.
      {"http://пример.рф/x", "http://ПРИМЕР.РФ/x", 0},
      {"http://пример.рф/x", "http://пример.рф/y", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(CompareUrls(c.a, c.b), c.result) << c.a << " " << c.b;
}

TEST(MergeEquivalentUrl, IdenticalWinsEquivalentIsAddedOnce) {
  struct Case {
    std::vector<std::string> target;
    std::vector<std::string> candidates;
    int result;
    std::vector<std::string> after;
  } cases[] = {
      {{"http://a.lan/x"}, {"http://a.lan/x"}, 1, {"http://a.lan/x"}},
      {{"http://a.lan/x"}, {"http://WWW.a.lan/x"}, 0, {"http://a.lan/x", "http://WWW.a.lan/x"}},
      // Already held ignoring case: not added again.
      {{"http://a.lan/x", "HTTP://WWW.A.LAN/X"}, {"http://www.a.lan/x"}, 0,
       {"http://a.lan/x", "HTTP://WWW.A.LAN/X"}},
      {{"http://a.lan/x"}, {"http://b.lan/x", "http://c.lan/"}, -1, {"http://a.lan/x"}},
      // An equivalent candidate before an identical one: identical still wins.
      {{"http://a.lan/x"}, {"http://WWW.a.lan/x", "http://a.lan/x"}, 1,
       {"http://a.lan/x", "http://WWW.a.lan/x"}},
      // The appended candidate does not meet itself as "identical".
      {{"http://a.lan/x", "http://b.lan/"}, {"http://a.lan:81/x"}, 0,
       {"http://a.lan/x", "http://b.lan/", "http://a.lan:81/x"}},
  };
  for (Case& c : cases) {
    EXPECT_EQ(MergeEquivalentUrl(c.target, c.candidates), c.result) << c.candidates[0];
    EXPECT_EQ(c.target, c.after) << c.candidates[0];
  }
}

TEST(UrlHost, IsTheNormalizedHost) {
  struct Case {
    const char* url;
    const char* host;
  } cases[] = {
      {"http://user@WWW.a.lan:8080/x?q", "a.lan"},
      {"http://a.lan", "a.lan"},
      {"http://a.lan?q=/x", "a.lan"},
      {"a.lan/x", ""},
      {"http://пример.рф/", "пример.рф"},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
}

TEST(HostMatchesMask, SuffixPrefixAndWholeHostIgnoringCase) {
  struct Case {
    const char* mask;
    const char* url;
    bool matches;
  } cases[] = {
      {"*.a.lan", "h://w.a.lan/p", true},
      {"*.a.lan", "h://a.lan/", true},
      {"*.a.lan", "h://x.y.A.LAN/", true},
      // A label boundary is required: bada.lan is another domain.
      {"*.a.lan", "h://bada.lan/", false},
      {"*.a.lan", "h://lan/", false},
      {"*.lan", "h://w.a.lan/", true},
      {"*.lan", "h://lan/", true},
      {"10.0.*", "h://10.0.0.1/", true},
      {"10.0.*", "h://10.1.0.1/", false},
      {"w.*", "h://w.a.lan/", true},
      {"a.lan", "h://A.lan:8080/x", true},
      {"a.lan", "h://w.a.lan/", false},
      {"a.lan", "h://www.a.lan/", false},  // only an uppercase "WWW." is dropped here
      {"*.рф", "h://ПРИМЕР.РФ/", true},
      {"*.рф", "h://примеррф/", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HostMatchesMask(c.mask, c.url), c.matches) << c.mask << " " << c.url;
}

TEST(UrlMatchesMaskList, AnyMaskOfTheListMatches) {
  struct Case {
    const char* masks;
    const char* url;
    bool matches;
  } cases[] = {
      {"localhost;*.a.lan;10.*", "http://w.a.lan/x", true},
      {"localhost;*.a.lan;10.*", "http://10.1.2.3:8080/", true},
      {"localhost;*.a.lan;10.*", "http://b.lan/", false},
      {"localhost; b.lan", "http://b.lan/", false},  // masks are not trimmed
      {"", "http://b.lan/", false},
      {";", "x", false},                  // an empty piece matches nothing
      {"user.lan", "http://user.lan/?q=*.x", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UrlMatchesMaskList(c.masks, c.url), c.matches) << c.masks << " " << c.url;
}

TEST(UrlParents, AddressAndEachParentLowercased) {
  struct Case {
    const char* url;
    std::vector<std::string> parents;
  } cases[] = {
      {"h://h/a/b.html", {"h://h/a/b.html", "h://h/a", "h://h"}},
      {"HTTP://WWW.A.lan:81/Dir/Page.html?q=1",
       {"http://a.lan/dir/page.html", "http://a.lan/dir", "http://a.lan"}},
      {"http://a.lan/x//", {"http://a.lan/x//", "http://a.lan/x", "http://a.lan"}},
      {"page.html", {"page.html"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlParents(c.url), c.parents) << c.url;
}

TEST(UrlFunctions, BrokenUtf8IsHandledByteForByte) {
  const std::string broken[] = {"http://\xff\xfe/\xc3", "\xe2\x82", "http://a\x80.lan/\xed\xa0\x80",
                                std::string("h://a\0b/", 8)};
  for (const std::string& s : broken) {
    (void)UrlScheme(s);
    (void)UrlHost(s);
    (void)CompareUrls(s, "http://a.lan/");
    (void)HostMatchesMask("*.lan", s);
    (void)UrlParents(s);
    EXPECT_EQ(CompareUrls(s, s), 1);
  }
  EXPECT_EQ(UrlHost("http://\xff\xfe/\xc3"), "\xff\xfe");
  EXPECT_EQ(CompareUrls("http://\xff.lan/", "HTTP://\xff.LAN/"), 0);
}

}  // namespace
}  // namespace trawler::text
