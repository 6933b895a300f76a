#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "settings_fixture.h"
#include "support/settings/settings_export.h"

namespace trawler::settings::testing {
namespace {

using namespace std::chrono;

std::string ReadFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> FolderEntries(const std::filesystem::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SettingsExportFileName, IsTheDateAsYearMonthDay) {
  struct Case {
    year_month_day Date;
    std::string_view Expected;
  };
  const Case cases[] = {
      {2026y / December / 10d, "2026-12-10.reg"},
      {2027y / January / 5d, "2027-01-05.reg"},
      {year{999} / March / 31d, "0999-03-31.reg"},
  };
  for (const Case &c : cases) EXPECT_EQ(SettingsExportFileName(c.Date), c.Expected);

  // Today's name never holds a character a file name cannot.
  std::string today = SettingsExportFileName(TodayLocal());
  EXPECT_EQ(today.size(), std::string_view("yyyy-mm-dd.reg").size()) << today;
  EXPECT_EQ(today.find_first_of("/\\:"), std::string::npos) << today;
}

TEST(SettingsExportFolder, IsCreatedBesideTheProgram) {
  TempFolder program;
  std::filesystem::path folder = SettingsExportFolder(program.Path());
  EXPECT_EQ(folder, program.Path() / "settings");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(SettingsExportFolder(program.Path()), folder);  // an existing one is fine
}

class SettingsExportTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    Target = SettingsExportFolder(Folder.Path() / "program") / "2026-12-10.reg";
  }
  std::filesystem::path Target;
};

TEST_F(SettingsExportTest, WritesTheSettingsKeyAsRegedit4) {
  auto settings = Loaded();
  settings->ProxyHost = "proxy.lan";
  settings->ProxyPassword = "s3cret-pass";
  ASSERT_TRUE(settings->Save(*Store));

  ASSERT_EQ(ExportSettings(*Store, Target), ExportStatus::Written);
  const std::string text = ReadFile(Target);
  EXPECT_TRUE(text.starts_with("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler]\n")) << text.substr(0, 80);
  EXPECT_NE(text.find("\n[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\Defaults]\n"), std::string::npos);
  EXPECT_NE(text.find("\n\"ConnectionsLimit\"=dword:0000000A\n"), std::string::npos);
  EXPECT_NE(text.find("\n\"Category\"=\"0\"\n"), std::string::npos);
  EXPECT_NE(text.find("\n[HKEY_CURRENT_USER\\Software\\Oxbow\\Trawler\\quicksearch\\2]\n@=\"Search for MP3\"\n"),
            std::string::npos);
  // The proxy values live in the sibling program's key, which is not exported.
  EXPECT_EQ(text.find("s3cret-pass"), std::string::npos);
  EXPECT_EQ(text.find("Waymark"), std::string::npos);

  struct stat info {};
  ASSERT_EQ(::stat(Target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(FolderEntries(Target.parent_path()), std::vector<std::string>{"2026-12-10.reg"});
}

TEST_F(SettingsExportTest, BinaryValuesOfAThousandBytesAreLeftOut) {
  Loaded();
  auto defaults = Key(kDefaultsKey);
  defaults->WriteBinary("fits", std::vector<std::uint8_t>(999, 0xAB));
  defaults->WriteBinary("big", std::vector<std::uint8_t>(1000, 0xCD));
  ASSERT_EQ(ExportSettings(*Store, Target), ExportStatus::Written);
  const std::string text = ReadFile(Target);
  EXPECT_NE(text.find("\"fits\"=hex:AB,AB,"), std::string::npos);
  EXPECT_EQ(text.find("\"big\""), std::string::npos);
  EXPECT_EQ(text.find("CD"), std::string::npos);
}

TEST_F(SettingsExportTest, ReplacesAReadOnlyFileOfTheSameName) {
  Loaded();
  std::ofstream(Target) << "an older export\n";
  std::filesystem::permissions(Target, std::filesystem::perms::owner_read);
  ASSERT_EQ(ExportSettings(*Store, Target), ExportStatus::Written);
  EXPECT_TRUE(ReadFile(Target).starts_with("REGEDIT4\n"));
  EXPECT_EQ(FolderEntries(Target.parent_path()), std::vector<std::string>{"2026-12-10.reg"});
}

TEST_F(SettingsExportTest, FailedExportLeavesTheOlderFileWholeAndNoLeftovers) {
  std::ofstream(Target) << "an older export\n";
  // Nothing loaded: the settings key does not exist, so nothing can be exported.
  EXPECT_EQ(ExportSettings(*Store, Target), ExportStatus::CannotWrite);
  EXPECT_EQ(ReadFile(Target), "an older export\n");
  EXPECT_EQ(FolderEntries(Target.parent_path()), std::vector<std::string>{"2026-12-10.reg"});

  Loaded();
  std::filesystem::path folderInTheWay = Target.parent_path() / "taken.reg";
  std::filesystem::create_directory(folderInTheWay);
  EXPECT_EQ(ExportSettings(*Store, folderInTheWay), ExportStatus::CannotReplace);
  EXPECT_EQ(FolderEntries(Target.parent_path()), (std::vector<std::string>{"2026-12-10.reg", "taken.reg"}));

  EXPECT_EQ(ExportSettings(*Store, Folder.Path() / "no-such-folder" / "x.reg"), ExportStatus::CannotWrite);
}

}  // namespace
}  // namespace trawler::settings::testing
