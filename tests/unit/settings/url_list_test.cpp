#include <gtest/gtest.h>

#include "support/settings/url_list.h"

namespace trawler::settings {
namespace {

TEST(UrlForLanguage, PrefersTheLanguageThenAnyLanguageThenTheFirst) {
  const UrlList lone{{"1058", "https://ua.example.org/"}};
  const UrlList mixed{{"1049", "https://ru.example.org/"}, {"0", "https://any.example.org/"}};
  const UrlList noAny{{"1031", "https://de.example.org/"}, {"1036", "https://fr.example.org/"}};
  struct Case {
    const UrlList *List;
    std::string_view Language;
    std::string_view Expected;
  };
  const Case cases[] = {
      {&lone, "0", "https://ua.example.org/"},     {&lone, "1033", "https://ua.example.org/"},
      {&lone, "1058", "https://ua.example.org/"},  {&mixed, "1049", "https://ru.example.org/"},
      {&mixed, "1033", "https://any.example.org/"}, {&mixed, "0", "https://any.example.org/"},
      {&noAny, "1036", "https://fr.example.org/"}, {&noAny, "1033", "https://de.example.org/"},
  };
  for (const Case &c : cases) EXPECT_EQ(UrlForLanguage(*c.List, c.Language), c.Expected) << c.Language;
  // An empty list offers nothing: the command using it stays disabled.
  EXPECT_EQ(UrlForLanguage({}, "1049"), "");
  EXPECT_EQ(UrlForLanguage(lone), "https://ua.example.org/");
}

}  // namespace
}  // namespace trawler::settings
