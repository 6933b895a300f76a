#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/lang/locale_ids.h"

namespace {

using trawler::lang::LocaleIdFromName;
using trawler::lang::SystemLocaleId;

TEST(LocaleIdFromName, PosixNamesToWindowsIdentifiers) {
  struct Case {
    const char *name;
    int id;
  } cases[] = {
      {"ru_RU.UTF-8", 1049}, {"uk_UA.UTF-8", 1058}, {"de_DE", 1031},  {"en_US.UTF-8", 1033},
      {"en_GB.UTF-8", 2057}, {"be_BY", 1059},       {"ru_MD", 2073},  {"de_AT@euro", 3079},
      {"pt_BR.utf8", 1046},  {"RU_ru", 1049},       {"ru", 1049},     {"de_XX", 1031},
      {"C", 0},              {"C.UTF-8", 0},        {"POSIX", 0},     {"", 0},
      {"xx_YY", 0},          {".UTF-8", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(LocaleIdFromName(c.name), c.id) << c.name;
}

TEST(SystemLocaleId, FirstNonEmptyOfLcAllLcMessagesLang) {
  struct Case {
    std::map<std::string, std::string> env;
    int id;
  } cases[] = {
      {{{"LC_ALL", "ru_RU.UTF-8"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "en_US"}}, 1049},
      {{{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE"}, {"LANG", "en_US"}}, 1031},
      {{{"LANG", "uk_UA.UTF-8"}}, 1058},
      {{}, 0},
  };
  for (const Case &c : cases) {
    auto getenv = [&](const char *name) -> const char * {
      auto found = c.env.find(name);
      return found == c.env.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(SystemLocaleId(getenv), c.id);
  }
}

}  // namespace
