#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings_fixture.h"
#include "support/settings/defaults_table.h"

namespace trawler::settings::testing {
namespace {

std::vector<std::span<const SettingSpec>> AllTables() {
  return {WaymarkSettings(), ProgramSettings(), UrlKeySettings()};
}

// Gives every field a value other than its default (and inside its range).
void ChangeEverything(tDefaultsList &s) {
  double date = 40000.5;
  for (auto table : AllTables()) {
    for (const SettingSpec &row : table) {
      std::visit(
          [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::string tDefaultsList::*>) {
              s.*field = "changed " + std::string(row.Name);
            } else if constexpr (std::is_same_v<Field, std::int32_t tDefaultsList::*>) {
              std::int32_t value = row.DefaultNumber + 7;
              if (row.Range) value = row.Range->Min != row.DefaultNumber ? row.Range->Min : row.Range->Max;
              s.*field = value;
            } else if constexpr (std::is_same_v<Field, bool tDefaultsList::*>) {
              s.*field = row.DefaultNumber == 0;
            } else if constexpr (std::is_same_v<Field, text::TDateTime tDefaultsList::*>) {
              s.*field = (date += 1.25);
            }
          },
          row.Field);
    }
  }
  s.SaveHistory = true;  // so the history below travels too
  s.History = {"newest query", "older query"};
  s.HomeUrls = {{"1049", "https://home.example.net/ru/"}, {"0", "https://home.example.net/"}};
  s.DonationUrls = {{"0", "https://give.example.net/"}};
  s.HelpUrls = {{"1033", "https://help.example.net/en/"}};
  s.StatUrls = {{"0", "https://stats.example.net/"}};
  s.EmailUrls = {{"0", "team@example.net"}};
  s.UpdateUrls = {"https://u1.example.net/twlver.xml", "https://u2.example.net/twlver.xml",
                  "https://u3.example.net/twlver.xml"};
}

// Names of the fields whose values differ.
std::vector<std::string> Differences(const tDefaultsList &a, const tDefaultsList &b) {
  std::vector<std::string> differ;
  for (auto table : AllTables())
    for (const SettingSpec &row : table)
      std::visit(
          [&](auto field) {
            if constexpr (!std::is_same_v<decltype(field), std::monostate>)
              if (!(a.*field == b.*field)) differ.emplace_back(row.Name);
          },
          row.Field);
  return differ;
}

TEST_F(SettingsTest, EverythingSavedIsLoadedBack) {
  auto settings = Loaded();
  ChangeEverything(*settings);
  ASSERT_TRUE(settings->Save(*Store));

  auto again = Loaded();
  EXPECT_EQ(Differences(*settings, *again), std::vector<std::string>{});
  EXPECT_EQ(again->ProxyPassword, "changed ProxyPassword");
  EXPECT_EQ(again->ConnectionsLimit, 2);
  EXPECT_EQ(again->History, settings->History);
  EXPECT_EQ(again->HomeUrls, settings->HomeUrls);
  EXPECT_EQ(again->DonationUrls, settings->DonationUrls);
  EXPECT_EQ(again->HelpUrls, settings->HelpUrls);
  EXPECT_EQ(again->StatUrls, settings->StatUrls);
  EXPECT_EQ(again->EmailUrls, settings->EmailUrls);
  EXPECT_EQ(again->UpdateUrls, settings->UpdateUrls);
  EXPECT_EQ(Key(std::string(kUrlsKey) + "\\update")->GetValueNames(),
            (std::vector<std::string>{"0", "1", "2"}));
}

TEST_F(SettingsTest, SaveWritesOnlyWhatLoadReads) {
  auto settings = Loaded();
  Key(kDefaultsKey)->WriteInteger("Output", 5);
  Key(kDefaultsKey)->DeleteValue("ExactSearchMode");
  ASSERT_TRUE(settings->Save(*Store));
  auto defaults = Key(kDefaultsKey);
  EXPECT_EQ(defaults->ReadInteger("Output"), 5);
  EXPECT_FALSE(defaults->ValueExists("ExactSearchMode"));
  // SoftType is read and written though never created by loading.
  EXPECT_EQ(defaults->ReadString("SoftType"), "");
}

TEST_F(SettingsTest, DateRangeNotAboveZeroIsSavedAsZero) {
  auto settings = Loaded();
  settings->Dateb = -2;
  settings->Datee = 45123.5;
  ASSERT_TRUE(settings->Save(*Store));
  EXPECT_EQ(Key(kDefaultsKey)->ReadDateTime("Dateb"), 0.0);
  EXPECT_EQ(Key(kDefaultsKey)->ReadDateTime("Datee"), 45123.5);
}

TEST_F(SettingsTest, HistoryIsSavedUnderItsIndexesOnlyWhenKept) {
  auto settings = Loaded();
  settings->History = {"alpha", "", "gamma"};
  ASSERT_TRUE(settings->Save(*Store));
  auto queries = Key(kHistoryKey, false);
  ASSERT_TRUE(queries);
  EXPECT_EQ(queries->GetValueNames(), (std::vector<std::string>{"0", "2"}));
  EXPECT_EQ(queries->ReadString("2"), "gamma");

  // Switching the history off erases the stored one at the next save.
  settings->SaveHistory = false;
  ASSERT_TRUE(settings->Save(*Store));
  EXPECT_FALSE(Key(kHistoryKey, false));
  auto again = Loaded();
  EXPECT_TRUE(again->History.empty());
  ASSERT_TRUE(again->Save(*Store));
  EXPECT_FALSE(Key(kHistoryKey, false));
}

TEST_F(SettingsTest, SaveReplacesTheAddressKeyWhole) {
  auto settings = Loaded();
  Key(std::string(kUrlsKey) + "\\home")->WriteString("9", "https://stale.example.net/");
  Key(std::string(kUrlsKey) + "\\leftover")->WriteString("0", "x");
  Key(kUrlsKey)->WriteString("unknown", "x");
  ASSERT_TRUE(settings->Save(*Store));
  EXPECT_EQ(Key(std::string(kUrlsKey) + "\\home")->GetValueNames(),
            (std::vector<std::string>{"0", "1059", "1058"}));
  EXPECT_EQ(Key(kUrlsKey)->GetKeyNames(),
            (std::vector<std::string>{"home", "donation", "help", "stat", "emails", "update"}));
  EXPECT_EQ(Key(kUrlsKey)->GetValueNames(), std::vector<std::string>{"_url_statscript"});
}

// The store refuses a value name this long; the save must then change nothing
// at all rather than leave the settings half written.
TEST_F(SettingsTest, SaveThatCannotCompleteChangesNothing) {
  auto settings = Loaded();
  settings->History = {"kept before"};
  ASSERT_TRUE(settings->Save(*Store));

  settings->ConnectionsLimit = 50;
  settings->ProxyHost = "proxy.lan";
  settings->History = {"new query"};
  settings->EmailUrls.push_back({std::string(70000, 'x'), "someone@example.net"});
  EXPECT_FALSE(settings->Save(*Store));

  auto stored = Loaded();
  EXPECT_EQ(stored->ConnectionsLimit, 10);
  EXPECT_EQ(stored->ProxyHost, "");
  EXPECT_EQ(stored->History, std::vector<std::string>{"kept before"});
  EXPECT_EQ(stored->EmailUrls.size(), 1u);
}

TEST_F(SettingsTest, SaveDoesNotCreateTheSharedProxyKey) {
  auto settings = Loaded();
  platform::RegKey(*Store).DeleteKey(kWaymarkKey);
  settings->ProxyHost = "proxy.lan";
  ASSERT_TRUE(settings->Save(*Store));
  EXPECT_FALSE(Key(kWaymarkKey, false));
}

TEST_F(SettingsTest, ProxyPasswordStaysInFilesOnlyTheUserCanRead) {
  auto settings = Loaded();
  settings->ProxyHost = "proxy.lan";
  settings->ProxyPassword = "s3cret-pass";
  ASSERT_TRUE(settings->Save(*Store));

  struct stat folder {};
  ASSERT_EQ(::stat(Store->Directory().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 077, 0u);
  int files = 0;
  for (const auto &entry : std::filesystem::directory_iterator(Store->Directory())) {
    struct stat info {};
    ASSERT_EQ(::stat(entry.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u) << entry.path();
    ++files;
  }
  EXPECT_GE(files, 1);
  EXPECT_EQ(Loaded()->ProxyPassword, "s3cret-pass");
}

}  // namespace
}  // namespace trawler::settings::testing
