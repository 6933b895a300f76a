#include "support/update/update_decision.h"

#include <gtest/gtest.h>

#include <map>

using namespace trawler;
using namespace trawler::update;

namespace {

class FakeInstall : public LocalVersions {
 public:
  std::string ProgramVersion() const override { return "1.9"; }
  std::optional<SiteFile> FindSiteFile(const std::string &id) const override {
    if (id == "WEB") return SiteFile{44000, true};
    if (id == "OFF") return SiteFile{44000, false};
    return std::nullopt;
  }
  std::optional<text::TDateTime> FindLanguagePack(const std::string &caption) const override {
    if (caption == "DEUTSCH") return 43000.0;
    return std::nullopt;
  }
  std::filesystem::path DataDirectory() const override { return "/nonexistent-trawler-data"; }
};

tUpdateInfo Update(const std::string &id, CheckBy by, double date, const std::string &version = "",
                   bool required = false) {
  tUpdateInfo u;
  u.id = id;
  u.checkBy = by;
  u.date = date;
  u.version = version;
  u.required = required;
  return u;
}

TEST(UpdateDecision, LocalStateByIdAndWhatCounts) {
  struct Case {
    tUpdateInfo update;
    double localDate;
    const char *localVersion;
    bool countsManual, countsAutomatic;
  } cases[] = {
      {Update("PROGRAM", CheckBy::Version, 0, "1.10"), 0, "1.9", true, false},
      {Update("PROGRAM", CheckBy::Version, 0, "1.10", true), 0, "1.9", true, true},
      {Update("SITES:WEB", CheckBy::Date, 44100, "", true), 44000, "", true, true},
      {Update("SITES:OFF", CheckBy::Date, 44100, "", true), 44000, "", true, false},
      {Update("SITES:NONE", CheckBy::Date, 44100), 0, "", true, false},
      {Update("LANGUAGES:DEUTSCH", CheckBy::Date, 42000, "", true), 43000, "", false, false},
      {Update("SITESICONS", CheckBy::Date, 1, "", true), 0, "", true, true},
  };
  for (bool manual : {true, false}) {
    std::vector<tUpdateInfo> updates;
    for (const auto &c : cases) updates.push_back(c.update);
    SetLocalState(updates, FakeInstall(), manual);
    const auto counting = CountingUpdates(updates, "1.9", manual);
    for (size_t i = 0; i < std::size(cases); ++i) {
      const auto &c = cases[i];
      const bool off = c.update.id == "SITES:OFF";
      EXPECT_EQ(updates[i].localDate, off && !manual ? c.update.date : c.localDate) << c.update.id;
      EXPECT_EQ(updates[i].localVersion, c.localVersion) << c.update.id;
      const bool counts = std::find(counting.begin(), counting.end(), i) != counting.end();
      EXPECT_EQ(counts, manual ? c.countsManual : c.countsAutomatic) << c.update.id << " manual=" << manual;
    }
  }
}

TEST(UpdateDecision, ServiceAddressesCopiedOrKept) {
  settings::tDefaultsList s;
  s.UpdateUrls = {"https://configured/twlver.xml"};
  s.EmailUrls = {{"0", "old@mail"}};
  s.HomeUrls = {{"0", "https://old-home/"}};
  s.UrlStatScript = "https://old-stat/";
  UpdateDescriptor d;
  d.homePages = {"0=https://new-home/", "1049=https://ru/"};
  CopyServiceAddresses(d, s);
  EXPECT_EQ(s.UpdateUrls, std::vector<std::string>{"https://configured/twlver.xml"});
  EXPECT_TRUE(s.EmailUrls.empty());
  EXPECT_EQ(s.UrlStatScript, "");
  EXPECT_EQ(s.HomeUrls, (settings::UrlList{{"0", "https://new-home/"}, {"1049", "https://ru/"}}));
  d.updateUrls = {"https://new/twlver.xml"};
  d.emails = {"0=new@mail"};
  CopyServiceAddresses(d, s);
  EXPECT_EQ(s.UpdateUrls, std::vector<std::string>{"https://new/twlver.xml"});
  EXPECT_EQ(s.EmailUrls, (settings::UrlList{{"0", "new@mail"}}));
}

}  // namespace
