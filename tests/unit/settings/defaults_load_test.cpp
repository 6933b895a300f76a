#include <gtest/gtest.h>

#include <fstream>

#include "settings_fixture.h"
#include "support/settings/defaults_table.h"
#include "support/settings/service_addresses.h"

namespace trawler::settings::testing {
namespace {

using platform::RegType;

struct TableKey {
  std::span<const SettingSpec> Table;
  std::string_view Path;
};

std::vector<TableKey> AllTables() {
  return {{WaymarkSettings(), kWaymarkKey}, {ProgramSettings(), kDefaultsKey}, {UrlKeySettings(), kUrlsKey}};
}

TEST_F(SettingsTest, FirstRunCreatesEveryValueWithItsDefault) {
  auto settings = NewSettings();
  settings->FontName = "DejaVu Sans";
  settings->Load(*Store);

  for (const TableKey &table : AllTables()) {
    auto key = Key(table.Path, false);
    ASSERT_TRUE(key) << table.Path;
    std::vector<std::string> created;
    for (const SettingSpec &row : table.Table) {
      SCOPED_TRACE(std::string(row.Name));
      if (row.Kind == ValueKind::Obsolete || !row.CreatedWhenMissing) {
        EXPECT_FALSE(key->ValueExists(row.Name));
        continue;
      }
      created.emplace_back(row.Name);
      switch (row.Kind) {
        case ValueKind::String:
          EXPECT_EQ(key->ReadString(row.Name), row.DefaultFromField ? "DejaVu Sans" : row.DefaultText);
          break;
        case ValueKind::Integer:
        case ValueKind::Boolean: EXPECT_EQ(key->ReadInteger(row.Name), row.DefaultNumber); break;
        case ValueKind::DateTime: EXPECT_EQ(key->ReadDateTime(row.Name), 0.0); break;
        case ValueKind::Obsolete: break;
      }
    }
    // Nothing else, and in the table's order (NewsAuthor after query).
    EXPECT_EQ(key->GetValueNames(), created);
  }

  // The documented defaults themselves, read back from the store.
  auto defaults = Key(kDefaultsKey, false);
  auto waymark = Key(kWaymarkKey, false);
  EXPECT_EQ(waymark->ReadInteger("Timeout"), 30);
  EXPECT_EQ(waymark->ReadInteger("ProxyPort"), 80);
  EXPECT_EQ(waymark->ReadBool("AlwaysNew"), true);
  EXPECT_EQ(defaults->ReadString("IdentifyAs"), "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)");
  EXPECT_EQ(defaults->ReadInteger("NewItemsColor"), 16711680);
  EXPECT_EQ(defaults->ReadInteger("HitsPerAll"), 1000);
  EXPECT_EQ(defaults->ReadInteger("Output"), 1);
  EXPECT_EQ(defaults->ReadBool("ExactSearchMode"), false);
  EXPECT_EQ(defaults->ReadString("Category"), "0");
  EXPECT_EQ(defaults->ReadString("DefaultBrowser"), "System");
  EXPECT_EQ(defaults->GetDataType("LastUpdate"), RegType::Binary);

  // ...and in memory.
  EXPECT_EQ(settings->Timeout, 30);
  EXPECT_EQ(settings->ConnectionsLimit, 10);
  EXPECT_EQ(settings->HitsPerEngine, 100);
  EXPECT_EQ(settings->MarkInterval, 4);
  EXPECT_EQ(settings->LanguageCharset, 1);
  EXPECT_EQ(settings->UseRegExp, 1);
  EXPECT_TRUE(settings->SaveHistory);
  EXPECT_FALSE(settings->OneInstance);
  EXPECT_EQ(settings->EMail, kEmailPlaceholder);
  EXPECT_EQ(settings->FontName, "DejaVu Sans");
  EXPECT_EQ(settings->Browsers, std::vector<std::string>{"System"});
  EXPECT_TRUE(settings->History.empty());
}

TEST_F(SettingsTest, FirstRunWritesTheQuickSearchTemplates) {
  Loaded();
  auto root = Key(kQuickSearchKey, false);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->GetKeyNames(), (std::vector<std::string>{"0", "1", "2"}));
  const std::pair<std::string, std::string> expected[] = {
      {"Common Search - all sites", "0"}, {"Search engines - all sites", "5"}, {"Search for MP3", "61"}};
  for (int i = 0; i < 3; ++i) {
    auto item = Key(std::string(kQuickSearchKey) + "\\" + std::to_string(i), false);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->ReadString(""), expected[i].first);
    EXPECT_EQ(item->ReadString("Category"), expected[i].second);
  }
}

TEST_F(SettingsTest, ExistingQuickSearchKeyIsLeftAlone) {
  Key(std::string(kQuickSearchKey) + "\\7")->WriteString("", "Mine");
  Loaded();
  EXPECT_EQ(Key(kQuickSearchKey)->GetKeyNames(), std::vector<std::string>{"7"});
}

TEST_F(SettingsTest, FirstRunFillsTheAddressListsThatHaveDefaults) {
  auto settings = Loaded();
  const std::string root = std::string(ServiceBaseUrl()) + "/";
  EXPECT_EQ(settings->HomeUrls, (UrlList{{"0", ProductHomePage()}, {"1059", root}, {"1058", root}}));
  EXPECT_EQ(settings->HelpUrls, settings->HomeUrls);
  ASSERT_EQ(settings->EmailUrls.size(), 1u);
  EXPECT_EQ(settings->EmailUrls[0].Name, "0");
  EXPECT_EQ(settings->EmailUrls[0].Value, "contact@trawler.example.org");
  ASSERT_EQ(settings->UpdateUrls.size(), 2u);
  for (const std::string &address : settings->UpdateUrls) EXPECT_TRUE(address.ends_with("/twlver.xml")) << address;
  EXPECT_NE(settings->UpdateUrls[0], settings->UpdateUrls[1]);
  EXPECT_TRUE(settings->DonationUrls.empty());
  EXPECT_TRUE(settings->StatUrls.empty());
  EXPECT_EQ(settings->UrlStatScript, "");

  // The defaults are in the store, so a second start reads them back.
  EXPECT_EQ(Key(std::string(kUrlsKey) + "\\home")->GetValueNames(),
            (std::vector<std::string>{"0", "1059", "1058"}));
  EXPECT_EQ(Key(std::string(kUrlsKey) + "\\update")->GetValueNames(), (std::vector<std::string>{"0", "1"}));
}

TEST_F(SettingsTest, StoredAddressListsAreNotReplacedByDefaults) {
  Key(std::string(kUrlsKey) + "\\home")->WriteString("1049", "https://mirror.example.net/ru/");
  Key(std::string(kUrlsKey) + "\\update")->WriteString("x", "https://mirror.example.net/twlver.xml");
  Key(std::string(kUrlsKey) + "\\stat")->WriteString("0", "https://stats.example.net/");
  auto settings = Loaded();
  EXPECT_EQ(settings->HomeUrls, (UrlList{{"1049", "https://mirror.example.net/ru/"}}));
  EXPECT_EQ(settings->UpdateUrls, std::vector<std::string>{"https://mirror.example.net/twlver.xml"});
  EXPECT_EQ(settings->StatUrls, (UrlList{{"0", "https://stats.example.net/"}}));
}

// A value stored with the wrong type is deleted and created again with its default.
TEST_F(SettingsTest, WrongTypedValueIsReplacedByItsDefault) {
  struct Case {
    std::string_view Path;
    std::string_view Name;
    std::function<void(platform::RegKey &)> Store;
    RegType TypeAfter;
    std::function<bool(const tDefaultsList &)> Holds;
  };
  const Case cases[] = {
      {kDefaultsKey, "FontSize", [](auto &k) { k.WriteString("FontSize", "12"); }, RegType::Integer,
       [](const tDefaultsList &s) { return s.FontSize == 8; }},
      {kDefaultsKey, "ShowAtStartup", [](auto &k) { k.WriteString("ShowAtStartup", "0"); }, RegType::Integer,
       [](const tDefaultsList &s) { return s.ShowAtStartup; }},
      {kDefaultsKey, "IdentifyAs", [](auto &k) { k.WriteInteger("IdentifyAs", 5); }, RegType::String,
       [](const tDefaultsList &s) { return s.IdentifyAs == kDefaultUserAgent; }},
      {kDefaultsKey, "LastUpdate", [](auto &k) { k.WriteInteger("LastUpdate", 44000); }, RegType::Binary,
       [](const tDefaultsList &s) { return s.LastUpdate == 0; }},
      // A date-time must be 8 bytes; a shorter binary is as unreadable as a string.
      {kDefaultsKey, "LastUpdate", [](auto &k) { k.WriteBinary("LastUpdate", {1, 2, 3}); }, RegType::Binary,
       [](const tDefaultsList &s) { return s.LastUpdate == 0; }},
      {kWaymarkKey, "Timeout", [](auto &k) { k.WriteBinary("Timeout", {0, 0, 0, 0}); }, RegType::Integer,
       [](const tDefaultsList &s) { return s.Timeout == 30; }},
      {kWaymarkKey, "ProxyHost", [](auto &k) { k.WriteInteger("ProxyHost", 1); }, RegType::String,
       [](const tDefaultsList &s) { return s.ProxyHost.empty(); }},
      // SoftType is never created: a wrong one is only removed.
      {kDefaultsKey, "SoftType", [](auto &k) { k.WriteInteger("SoftType", 3); }, RegType::None,
       [](const tDefaultsList &s) { return s.SoftType.empty(); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.Name));
    NewStore();
    c.Store(*Key(c.Path));
    auto settings = Loaded();
    EXPECT_EQ(Key(c.Path)->GetDataType(c.Name), c.TypeAfter);
    EXPECT_TRUE(c.Holds(*settings));
  }
}

// Numbers the rest of the program divides by or uses as limits are brought
// into the ranges the options dialog allows, whatever was stored.
TEST_F(SettingsTest, StoredNumbersAreReadIntoTheirValidRanges) {
  struct Case {
    std::string_view Path;
    std::string_view Name;
    std::int32_t Stored;
    std::int32_t Expected;
    std::int32_t tDefaultsList::*Field;
  };
  const Case cases[] = {
      {kWaymarkKey, "Timeout", 0, 30, &tDefaultsList::Timeout},  // 0 always meant the default
      {kWaymarkKey, "Timeout", -4, 1, &tDefaultsList::Timeout},
      {kWaymarkKey, "Timeout", 100000, 600, &tDefaultsList::Timeout},
      {kWaymarkKey, "Timeout", 45, 45, &tDefaultsList::Timeout},
      {kWaymarkKey, "ProxyPort", 70000, 65535, &tDefaultsList::ProxyPort},
      {kWaymarkKey, "ProxyPort", 3128, 3128, &tDefaultsList::ProxyPort},
      {kDefaultsKey, "ConnectionsLimit", 0, 2, &tDefaultsList::ConnectionsLimit},
      {kDefaultsKey, "ConnectionsLimit", 1, 2, &tDefaultsList::ConnectionsLimit},
      {kDefaultsKey, "ConnectionsLimit", 5000, 100, &tDefaultsList::ConnectionsLimit},
      {kDefaultsKey, "HitsPerEngine", 0, 10, &tDefaultsList::HitsPerEngine},
      {kDefaultsKey, "HitsPerAll", -7, 10, &tDefaultsList::HitsPerAll},
      {kDefaultsKey, "HitsPerAll", 250, 250, &tDefaultsList::HitsPerAll},
      {kDefaultsKey, "BytesPerEngine", -1, 0, &tDefaultsList::BytesPerEngine},
      {kDefaultsKey, "BytesPerAll", 2000000, 100000, &tDefaultsList::BytesPerAll},
      {kDefaultsKey, "FontSize", 0, 8, &tDefaultsList::FontSize},
      {kDefaultsKey, "FontSize", 40, 16, &tDefaultsList::FontSize},
      {kDefaultsKey, "MRUHitsCount", 99, 30, &tDefaultsList::MRUHitsCount},
      {kDefaultsKey, "MarkInterval", -50, -1, &tDefaultsList::MarkInterval},
      {kDefaultsKey, "PauseMode", 9, 0, &tDefaultsList::PauseMode},  // an unknown mode is the first one
      {kDefaultsKey, "PauseMode", 2, 2, &tDefaultsList::PauseMode},
      {kDefaultsKey, "Match", -1, 0, &tDefaultsList::Match},
      {kDefaultsKey, "Match", 3, 3, &tDefaultsList::Match},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " = " + std::to_string(c.Stored));
    Key(c.Path)->WriteInteger(c.Name, c.Stored);
    auto settings = Loaded();
    EXPECT_EQ((*settings).*c.Field, c.Expected);
  }
}

TEST_F(SettingsTest, EmptyTextsReadAsTheirStandIns) {
  auto defaults = Key(kDefaultsKey);
  defaults->WriteString("Category", "");
  defaults->WriteString("EMail", "");
  defaults->WriteString("query", "");
  auto settings = Loaded();
  EXPECT_EQ(settings->Category, "0");
  EXPECT_EQ(settings->EMail, kEmptyEmailPlaceholder);
  EXPECT_EQ(settings->query, "");
  // Only memory changes; the store keeps what the user left.
  EXPECT_EQ(Key(kDefaultsKey)->ReadString("Category"), "");
}

TEST_F(SettingsTest, DateRangeIsTakenOnlyAboveZero) {
  struct Case {
    double Stored;
    double Expected;
  };
  const Case cases[] = {{45000.25, 45000.25}, {0, 0}, {-3.5, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.Stored);
    auto defaults = Key(kDefaultsKey);
    defaults->WriteDateTime("Dateb", c.Stored);
    defaults->WriteDateTime("Datee", c.Stored);
    auto settings = Loaded();
    EXPECT_EQ(settings->Dateb, c.Expected);
    EXPECT_EQ(settings->Datee, c.Expected);
  }
}

TEST_F(SettingsTest, OtherSpellingsNameTheSameValues) {
  Key(kWaymarkKey)->WriteInteger("TimeOut", 45);
  auto defaults = Key(kDefaultsKey);
  defaults->WriteString("Email", "me@example.net");
  defaults->WriteBool("endsearchnotify", false);
  auto settings = Loaded();
  EXPECT_EQ(settings->Timeout, 45);
  EXPECT_EQ(settings->EMail, "me@example.net");
  EXPECT_FALSE(settings->EndSearchNotify);

  ASSERT_TRUE(settings->Save(*Store));
  auto names = Key(kDefaultsKey)->GetValueNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Email"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "EMail"), 0);
  EXPECT_EQ(Key(kWaymarkKey)->GetValueNames().size(), WaymarkSettings().size());
}

TEST_F(SettingsTest, ObsoleteValuesAndKeysAreRemoved) {
  auto defaults = Key(kDefaultsKey);
  for (std::string_view name : {"SoftWhere", "ShopWhere", "NewsWhere"}) defaults->WriteString(name, "x");
  auto urls = Key(kUrlsKey);
  for (std::string_view name : {"Helpr", "Helpe", "Homee", "Homer", "Stat", "_url_update", "_url_update1"})
    urls->WriteString(name, "http://old.example.net/");
  Key(std::string(kHistoryKey) + "\\software")->WriteString("0", "old");

  Loaded();
  for (std::string_view name : {"SoftWhere", "ShopWhere", "NewsWhere"})
    EXPECT_FALSE(Key(kDefaultsKey)->ValueExists(name)) << name;
  EXPECT_EQ(Key(kUrlsKey)->GetValueNames(), std::vector<std::string>{"_url_statscript"});
  EXPECT_FALSE(Key(kHistoryKey)->KeyExists(std::string(kHistoryKey) + "\\software"));
}

TEST_F(SettingsTest, HistoryIsReadOnlyWhenItIsKept) {
  auto queries = Key(kHistoryKey);
  queries->WriteString("0", "first");
  queries->WriteString("1", "");
  queries->WriteInteger("2", 7);
  queries->WriteString("3", "second");

  EXPECT_EQ(Loaded()->History, (std::vector<std::string>{"first", "second"}));

  Key(kDefaultsKey)->WriteBool("SaveHistory", false);
  EXPECT_TRUE(Loaded()->History.empty());
}

TEST_F(SettingsTest, ExistingValuesAreNotOverwritten) {
  Key(kDefaultsKey)->WriteString("FontName", "Stored Font");
  Key(kWaymarkKey)->WriteString("ProxyHost", "proxy.lan");
  Key(kWaymarkKey)->WriteString("OverrideProxy", "");
  auto settings = NewSettings({{"http_proxy", "http://other.lan:8080"}});
  settings->FontName = "Window Font";
  settings->Load(*Store);
  EXPECT_EQ(settings->FontName, "Stored Font");
  EXPECT_EQ(settings->ProxyHost, "proxy.lan");
}

TEST_F(SettingsTest, UnreadableStoreLeavesUsableDefaults) {
  std::filesystem::create_directories(Folder.Path() / "broken");
  std::ofstream(Folder.Path() / "broken" / "current_user.db") << "this is not a database, just text\n";
  platform::RegistryStore broken(Folder.Path() / "broken");

  tDefaultsList settings;
  settings.Environment = FixedEnvironment({});
  settings.Load(broken);
  EXPECT_EQ(settings.ConnectionsLimit, 10);
  EXPECT_EQ(settings.HitsPerEngine, 100);
  EXPECT_EQ(settings.Timeout, 30);
  EXPECT_EQ(settings.FontSize, 8);
  EXPECT_EQ(settings.Category, "0");
  EXPECT_FALSE(settings.Save(broken));
}

TEST_F(SettingsTest, ReadRegistryBoolIsTrueOnlyForAStoredNonZeroInteger) {
  auto key = Key("\\Software\\Test");
  key->WriteInteger("one", 1);
  key->WriteInteger("zero", 0);
  key->WriteInteger("seven", 7);
  key->WriteString("text", "1");
  struct Case {
    std::string_view Path;
    std::string_view Value;
    bool Expected;
  };
  const Case cases[] = {{"\\Software\\Test", "one", true},   {"\\Software\\Test", "seven", true},
                        {"\\Software\\Test", "zero", false}, {"\\Software\\Test", "text", false},
                        {"\\Software\\Test", "none", false}, {"\\Software\\Missing", "one", false}};
  for (const Case &c : cases)
    EXPECT_EQ(ReadRegistryBool(*Store, platform::Hive::CurrentUser, c.Path, c.Value), c.Expected) << c.Value;
  // Reading never creates the key it looks in.
  EXPECT_FALSE(Key("\\Software\\Missing", false));
}

}  // namespace
}  // namespace trawler::settings::testing
