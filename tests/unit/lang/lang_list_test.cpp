#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "pack_dirs.h"
#include "support/lang/default_texts.h"
#include "support/lang/lang_list.h"
#include "support/lang/lang_text.h"
#include "support/text/utf8.h"

namespace {

using namespace trawler::lang;
namespace fs = std::filesystem;

std::vector<std::string> Captions(const tALanglist &list) {
  std::vector<std::string> captions;
  for (const auto &pack : list.Packs()) captions.push_back(pack->Caption);
  return captions;
}

class LangListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.StartDir = dirs.Root() / "system";
    list.UserDir = dirs.Root() / "user";
    list.LegacyCodePage = 1252;
  }
  // The three fixture packs plus a second Russian pack later in name order,
  // a second default pack and a directory without description.
  void InstallStandardPacks() {
    dirs.CopyFixture("german", "system");
    dirs.CopyFixture("russian", "system");
    dirs.CopyFixture("skeleton", "system");
    PackDirs::Write(list.StartDir / "zru" / ".description",
                    "<language><caption>Russian Z</caption><locale>1049</locale></language>");
    PackDirs::Write(list.StartDir / "zdefault" / ".description",
                    "<language><caption>Z Default</caption><default>True</default></language>");
    fs::create_directories(list.StartDir / "empty");
  }

  PackDirs dirs;
  tALanglist list;
};

TEST_F(LangListTest, LoadPacksReadsEveryDescriptionAndFiresOnLoad) {
  InstallStandardPacks();
  int loads = 0;
  std::size_t packs_seen = 0;
  list.OnLoad = [&](tALanglist &sender) {
    ++loads;
    packs_seen = sender.Packs().size();
  };
  list.LoadPacks();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(packs_seen, 6u);
  // Name order of the directories: empty, german, russian, skeleton, zdefault, zru.
  EXPECT_EQ(Captions(list),
            (std::vector<std::string>{"", "Deutsch", "Русский", "Skeleton", "Z Default", "Russian Z"}));

  const tALanguage &empty = *list.Packs()[0];
  EXPECT_FALSE(empty.Described);

  const tALanguage &russian = *list.Packs()[2];
  EXPECT_TRUE(russian.Described);
  EXPECT_EQ(russian.LangId, "1049");
  EXPECT_EQ(russian.Author, "Иван Петров");  // the description is in Windows-1251
  EXPECT_EQ(russian.CodePage, 204);
  EXPECT_EQ(russian.Date, *trawler::text::TryEncodeDate(2004, 3, 5));
  EXPECT_FALSE(russian.Default);
  EXPECT_EQ(russian.Locale, (std::vector<std::string>{"1049", "2073", "1059"}));
  EXPECT_TRUE(russian.IconFile.empty());
  ASSERT_EQ(russian.Formats.size(), 2u);
  const tALangFormat &translit = *russian.Formats[0];
  EXPECT_EQ(translit.Name, "TRANSLIT");
  EXPECT_EQ(translit.TableIn, "абв");
  EXPECT_EQ(translit.TableOut, "abv");
  // The symbol with an empty "in" is left out; "out" keeps its blanks.
  EXPECT_EQ(translit.Symbols, (std::vector<std::pair<std::string, std::string>>{
                                  {"ж", "zh"}, {"щ", "shch "}}));
  EXPECT_EQ(russian.Formats[1]->Name, "Short");

  const tALanguage &german = *list.Packs()[1];
  EXPECT_TRUE(german.Default);
  EXPECT_EQ(german.CodePage, 0);
  EXPECT_EQ(german.Author, "Grüße und Co");
  EXPECT_EQ(german.IconFile, german.Directory / "icon");
  // No date element: the time of the description file.
  EXPECT_EQ(german.Date, trawler::text::FileDateTime((german.Directory / ".description").string()));
  EXPECT_GT(german.Date, 0);

  const tALanguage &skeleton = *list.Packs()[3];
  EXPECT_TRUE(skeleton.Described);
  EXPECT_EQ(skeleton.CodePage, -1);
  EXPECT_EQ(skeleton.LangId, "");
  EXPECT_FALSE(IsCyrillicPack(&skeleton));
  EXPECT_TRUE(IsCyrillicPack(&russian));
  EXPECT_FALSE(IsCyrillicPack(nullptr));
}

TEST_F(LangListTest, SelectDefaultPackByLocaleThenByDefaultFlag) {
  InstallStandardPacks();
  list.LoadPacks();
  struct Case {
    int locale;
    const char *caption;
  } cases[] = {
      {1049, "Russian Z"},  // two packs list it: the later one wins
      {1033, "Skeleton"},
      {3079, "Deutsch"},
      {9999, "Z Default"},  // no pack lists it: the last default pack
      {0, "Z Default"},
  };
  for (const Case &c : cases) {
    list.SelectPackByCaption("Русский");
    list.SelectFormat("translit");
    ASSERT_EQ(list.FormatName(), "TRANSLIT");
    list.SelectDefaultPack(c.locale);
    EXPECT_EQ(list.PackCaption(), c.caption) << c.locale;
    EXPECT_EQ(list.FormatName(), "") << c.locale;
  }
}

TEST_F(LangListTest, SelectDefaultPackWithoutMatchOrDefaultSelectsNothing) {
  dirs.CopyFixture("skeleton", "system");
  list.LoadPacks();
  list.SelectDefaultPack(1049);
  EXPECT_EQ(list.CurrentPack(), nullptr);
  EXPECT_EQ(list.PackLangId(), "0");
}

TEST_F(LangListTest, TextsComeFromPackThenBuiltInThenFallbackOrEmpty) {
  InstallStandardPacks();
  list.DefaultCategories.Assign({"web=Web;Web pages", "mp3=MP3", "soft=Software;Programs"});
  list.LoadPacks();
  list.SelectPackByCaption("РУССКИЙ");  // captions compare ignoring case, Cyrillic too
  ASSERT_NE(list.CurrentPack(), nullptr);
  EXPECT_EQ(list.PackCaption(), "Русский");
  EXPECT_EQ(list.PackLangId(), "1049");
  EXPECT_EQ(list.CharSet, 204);

  struct MessageCase {
    int n;
    const char *fallback;  // nullptr: the one-argument form
    const char *expected;
  } messages[] = {
      {2, nullptr, "Получение результатов"},
      {2, "caller's text", "Получение результатов"},
      {15, nullptr, "The search is finished"},
      {15, "caller's text", "The search is finished"},
      {999, nullptr, ""},
      {999, "caller's text", "caller's text"},
  };
  for (const MessageCase &c : messages)
    EXPECT_EQ(c.fallback ? list.MessageText(c.n, c.fallback) : list.MessageText(c.n), c.expected)
        << c.n;

  struct EntryCase {
    int n;
    const char *caption;
    const char *hint;
    std::vector<std::string> items;
  } entries[] = {
      {132, "&Файл", "Общее меню", {}},
      {153, "Формат", "Формат вывода", {"Внутренний", "HTML"}},
      {139, "&Exit", "Exit this nice prog", {}},  // not in the pack
      {336, "", "", {}},                          // nowhere
  };
  for (const EntryCase &c : entries) {
    EXPECT_EQ(list.CaptionText(c.n), c.caption) << c.n;
    EXPECT_EQ(list.HintText(c.n), c.hint) << c.n;
    EXPECT_EQ(list.ItemList(c.n), c.items) << c.n;
  }

  struct CategoryCase {
    const char *id;
    const char *fallback;
    const char *caption;
    const char *description;
  } categories[] = {
      {"web", nullptr, "Веб", "Страницы в сети"},
      {"WEB", "ignored", "Веб", "Страницы в сети"},
      {"news", nullptr, "Новости", "Новости"},  // no ";": the whole text is both
      {"soft", nullptr, "Software", "Programs"},
      {"mp3", nullptr, "MP3", "MP3"},
      {"u0", nullptr, "", ""},
      {"u0", "My things;not shown", "My things", ""},
  };
  for (const CategoryCase &c : categories) {
    EXPECT_EQ(c.fallback ? list.CategoryCaption(c.id, c.fallback) : list.CategoryCaption(c.id),
              c.caption)
        << c.id;
    EXPECT_EQ(list.CategoryDescription(c.id), c.description) << c.id;
  }

  // A pack that is not there: every text is built in again.
  list.SelectPackByCaption("Klingon");
  EXPECT_EQ(list.CurrentPack(), nullptr);
  EXPECT_EQ(list.PackCaption(), "");
  EXPECT_EQ(list.MessageText(2), "Recieving results");
  EXPECT_EQ(list.CaptionText(132), "&File");
  EXPECT_EQ(list.CategoryCaption("web"), "Web");
}

TEST_F(LangListTest, FormatsApplyToEveryTextOfThePack) {
  InstallStandardPacks();
  list.DefaultCategories.Assign({"mp3=Музыка;Файлы"});
  list.LoadPacks();
  list.SelectPackByCaption("Русский");
  list.SelectFormat("Translit");
  EXPECT_EQ(list.FormatName(), "TRANSLIT");
  struct Case {
    std::string actual;
    const char *expected;
  } cases[] = {
      {list.CaptionText(132), "&Фaйл"},
      {list.HintText(132), "Оbshch ее меню"},  // a symbol's out text, blanks inside kept
      {list.MessageText(2), "Получение результaтоv"},
      {list.MessageText(999, "жаба"), "zhaba"},
      {list.CategoryCaption("mp3"), "Музыкa"},
      {list.CategoryDescription("news"), "Ноvости"},
      {list.MessageText(47), "Queued"},
  };
  for (const Case &c : cases) EXPECT_EQ(c.actual, c.expected);

  list.SelectFormat("no such format");
  EXPECT_EQ(list.FormatName(), "");
  EXPECT_EQ(list.MessageText(2), "Получение результатов");

  list.SelectPack(nullptr);
  list.SelectFormat("TRANSLIT");  // no current pack: nothing happens
  EXPECT_EQ(list.FormatName(), "");
}

TEST_F(LangListTest, SelectingAPackWithOnlyADescriptionWritesCompleteEnglishFiles) {
  const fs::path pack = dirs.CopyFixture("skeleton", "system");
  list.DefaultCategories.Assign({"web=Web;Web pages", "news=News"});
  list.LoadPacks();
  list.SelectPackByCaption("Skeleton");
  struct Case {
    const char *file;
    std::vector<std::string> expected;
  } cases[] = {
      {"messages", DefaultMessageLines()},
      {"interface", DefaultInterfaceLines()},
      {"categories", {"web=Web;Web pages", "news=News"}},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(fs::exists(pack / c.file)) << c.file;
    EXPECT_EQ(SplitLines(PackDirs::Read(pack / c.file)), c.expected) << c.file;
  }
}

TEST_F(LangListTest, MissingLinesAreAppendedOnceAndOldLinesKept) {
  const fs::path pack = dirs.CopyFixture("german", "system");
  const std::string original = PackDirs::Read(pack / "messages");
  list.LoadPacks();
  list.SelectPackByCaption("Deutsch");
  EXPECT_EQ(list.MessageText(53), "Settings was succefully exported into \"%s\". For restoring close "
                                  "all instances of Trawler and run this file");
  EXPECT_EQ(list.MessageText(15), "Die Suche ist beendet");

  const std::string completed = PackDirs::Read(pack / "messages");
  ASSERT_EQ(completed.rfind(original, 0), 0u) << "the pack's own lines come first, unchanged";
  std::vector<std::string> appended = SplitLines(completed.substr(original.size()));
  std::vector<std::string> expected;
  for (const std::string &line : DefaultMessageLines())
    if (line.rfind("2=", 0) != 0 && line.rfind("15=", 0) != 0) expected.push_back(line);
  EXPECT_EQ(appended, expected);

  list.SelectPackByCaption("Deutsch");
  EXPECT_EQ(PackDirs::Read(pack / "messages"), completed) << "nothing left to add";
}

TEST_F(LangListTest, LegacyEncodedPackFilesAreCompletedAsUtf8) {
  const fs::path pack = dirs.CopyFixture("russian", "system");
  list.LoadPacks();
  list.SelectPackByCaption("Русский");
  const std::string completed = PackDirs::Read(pack / "messages");
  EXPECT_TRUE(trawler::text::IsValidUtf8(completed));
  EXPECT_EQ(completed.rfind("0=Ошибка загрузки списка машин: %s\r\n2=Получение результатов\r\n", 0), 0u);
  EXPECT_NE(completed.find("\r\n62=Save extract to file\r\n"), std::string::npos);

  tALanglist again;
  again.StartDir = list.StartDir;
  again.LoadPacks();
  again.SelectPackByCaption("Русский");
  EXPECT_EQ(again.MessageText(2), "Получение результатов");
  EXPECT_EQ(again.MessageText(53), "Настройки экспортированы в \"%s\"");
}

// Runs a block with the effective user "nobody" when the test runs as root,
// so that directory permissions apply to it.
class AsUnprivilegedUser {
 public:
  AsUnprivilegedUser() : was_root_(::geteuid() == 0) {
    if (was_root_) {
      EXPECT_EQ(::seteuid(65534), 0);
    }
  }
  ~AsUnprivilegedUser() {
    if (was_root_) {
      EXPECT_EQ(::seteuid(0), 0);
    }
  }
  AsUnprivilegedUser(const AsUnprivilegedUser &) = delete;
  AsUnprivilegedUser &operator=(const AsUnprivilegedUser &) = delete;

 private:
  bool was_root_;
};

TEST_F(LangListTest, ReadOnlyPackIsSelectedWithoutCompletingItsFiles) {
  const fs::path pack = dirs.CopyFixture("german", "system");
  const std::string original = PackDirs::Read(pack / "messages");
  fs::permissions(pack, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  {
    AsUnprivilegedUser user;
    list.LoadPacks();
    list.SelectPackByCaption("Deutsch");
  }
  fs::permissions(pack, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(list.PackCaption(), "Deutsch");
  EXPECT_EQ(list.MessageText(2), "Ergebnisse werden empfangen");
  EXPECT_EQ(list.MessageText(53).rfind("Settings was succefully exported", 0), 0u);
  EXPECT_EQ(list.CaptionText(132), "&File");
  EXPECT_EQ(PackDirs::Read(pack / "messages"), original);
  EXPECT_FALSE(fs::exists(pack / "interface"));
}

TEST_F(LangListTest, UserPackReplacesSystemPackOfTheSameCaption) {
  dirs.CopyFixture("german", "system");
  dirs.CopyFixture("skeleton", "system");
  PackDirs::Write(list.UserDir / "mine" / ".description",
                  "<language><caption>DEUTSCH</caption><locale>1031</locale></language>");
  PackDirs::Write(list.UserDir / "mine" / "messages", "2=Mein eigener Text\n");
  PackDirs::Write(list.UserDir / "extra" / ".description",
                  "<language><caption>Extra</caption></language>");
  list.LoadPacks();
  EXPECT_EQ(Captions(list), (std::vector<std::string>{"DEUTSCH", "Skeleton", "Extra"}));
  list.SelectPackByCaption("Deutsch");
  ASSERT_NE(list.CurrentPack(), nullptr);
  EXPECT_EQ(list.CurrentPack()->Directory, list.UserDir / "mine");
  EXPECT_EQ(list.MessageText(2), "Mein eigener Text");
}

TEST_F(LangListTest, SettingsChooseThePackElseTheLocaleDefault) {
  InstallStandardPacks();
  list.LoadPacks();
  struct Case {
    const char *language;
    const char *encoding;
    int locale;
    const char *stored_language;
    const char *stored_encoding;
  } cases[] = {
      {"Русский", "translit", 1031, "Русский", "TRANSLIT"},
      {"русский", "nope", 1031, "Русский", ""},
      {"Gone", "translit", 1031, "Deutsch", ""},
      {"", "", 1049, "Russian Z", ""},
      {"", "", 4242, "Z Default", ""},
  };
  for (const Case &c : cases) {
    LanguageChoice choice = SelectFromSettings(list, c.language, c.encoding, c.locale);
    EXPECT_EQ(choice.Language, c.stored_language) << c.language;
    EXPECT_EQ(choice.LanguageEncoding, c.stored_encoding) << c.language;
  }
}

TEST_F(LangListTest, OversizedPackFileIsIgnored) {
  const fs::path pack = dirs.CopyFixture("german", "system");
  std::string huge = "2=Riesig\n" + std::string(kMaxPackFileSize, 'x');
  PackDirs::Write(pack / "messages", huge);
  list.LoadPacks();
  list.SelectPackByCaption("Deutsch");
  EXPECT_EQ(list.PackCaption(), "Deutsch");
  EXPECT_EQ(list.MessageText(2), "Recieving results");
  EXPECT_EQ(fs::file_size(pack / "messages"), huge.size());
}

}  // namespace
