#include "support/update/update_descriptor.h"

#include <gtest/gtest.h>

#include "support/text/dates.h"

using namespace trawler::update;

namespace {

const char *kDescriptor = R"(<?xml version="1.0"?>
<main>
 <general>
  <date>05 Mar 2021</date>
  <homepage><en>https://home/</en><0>https://home0/</0></homepage>
  <updateurl><u>https://a/twlver.xml</u><u>https://b/twlver.xml</u></updateurl>
  <Email><0>mail@x</0></Email>
  <stat_cgi> https://stat/cgi </stat_cgi>
  <message><de>Hallo</de><0>Hello</0></message>
 </general>
 <updates>
  <update>
   <id>sites:web</id><checkby>date</checkby><date>01 Feb 2021</date>
   <action>download#unpack(%program_directory%\sites\)#reload_sites</action>
   <name><0>Web sites</0></name>
   <urls><u>https://m1/s.zip</u><u> https://m2/s.zip </u></urls>
   <sha256>ABCDEF</sha256>
  </update>
  <Update>
   <id>program</id><checkby>VERSION</checkby><version>1.10</version>
   <required>true</required><required_version>2.0a</required_version>
   <urls><u>https://p1/</u><u>https://p2/</u></urls>
   <sha256><u>11</u><u>22</u></sha256>
  </Update>
  <other/>
 </updates>
</main>)";

TEST(UpdateDescriptor, ReadsGeneralAndUpdates) {
  UpdateDescriptor d;
  ASSERT_TRUE(ParseUpdateDescriptor(kDescriptor, d));
  EXPECT_EQ(d.date, trawler::text::ParseDateByPattern("05 Mar 2021", trawler::text::kStandardDatePattern));
  EXPECT_NE(d.date, 0);
  EXPECT_EQ(d.homePages, (std::vector<std::string>{"en=https://home/", "0=https://home0/"}));
  EXPECT_EQ(d.updateUrls, (std::vector<std::string>{"https://a/twlver.xml", "https://b/twlver.xml"}));
  EXPECT_EQ(d.emails, (std::vector<std::string>{"0=mail@x"}));
  EXPECT_EQ(d.statCgi, "https://stat/cgi");
  EXPECT_TRUE(d.stats.empty());
  EXPECT_EQ(LineForLanguage(d.messages, "de"), "Hallo");
  EXPECT_EQ(LineForLanguage(d.messages, "fr"), "Hello");
  ASSERT_EQ(d.updates.size(), 2u);
  const tUpdateInfo &s = d.updates[0];
  EXPECT_EQ(s.id, "SITES:WEB");
  EXPECT_EQ(s.checkBy, CheckBy::Date);
  EXPECT_EQ(s.action, "DOWNLOAD#UNPACK(%PROGRAM_DIRECTORY%\\SITES\\)#RELOAD_SITES");
  EXPECT_EQ(s.urls, (std::vector<std::string>{"https://m1/s.zip", "https://m2/s.zip"}));
  EXPECT_EQ(s.sha256, (std::vector<std::string>{"abcdef", "abcdef"}));
  EXPECT_FALSE(s.required);
  const tUpdateInfo &p = d.updates[1];
  EXPECT_EQ(p.id, "PROGRAM");
  EXPECT_EQ(p.checkBy, CheckBy::Version);
  EXPECT_EQ(p.version, "1.10");
  EXPECT_TRUE(p.required);
  EXPECT_EQ(p.requiredVersion, "2.0A");
  EXPECT_EQ(p.sha256, (std::vector<std::string>{"11", "22"}));
}

TEST(UpdateDescriptor, TextWithoutMainIsRefused) {
  for (const char *text : {"", "<general><date>01 Jan 2020</date></general>", "<Main></Main>", "\xff\xfe<"}) {
    UpdateDescriptor d;
    d.statCgi = "kept";
    EXPECT_FALSE(ParseUpdateDescriptor(text, d)) << text;
    EXPECT_EQ(d.statCgi, "kept");
  }
}

TEST(UpdateDecision, CountsAndListsByCheckKind) {
  const double older = 44000, newer = 44100;
  struct Case {
    CheckBy by;
    const char *version, *localVersion, *requiredVersion;
    double date, localDate;
    bool counts, listed;
  } cases[] = {
      {CheckBy::Version, "1.10", "1.9", "", 0, 0, true, true},
      {CheckBy::Version, "1.9", "1.10", "", 0, 0, false, false},
      {CheckBy::Version, "1.10", "1.9", "2.0", 0, 0, false, false},  // program 1.9 cannot take it
      {CheckBy::Version, "1.2", "1.1.0.0", "", 0, 0, true, true},
      {CheckBy::Date, "", "", "", newer, older, true, true},
      {CheckBy::Date, "", "", "", older, older, false, false},
      {CheckBy::Date, "", "", "", older, 0, true, true},
      {CheckBy::None, "", "", "", 0, 0, false, true},
      {CheckBy::None, "", "", "1.5", 0, 0, true, true},
      {CheckBy::None, "", "", "1.10", 0, 0, false, false},
  };
  for (const auto &c : cases) {
    tUpdateInfo u;
    u.checkBy = c.by;
    u.version = c.version;
    u.localVersion = c.localVersion;
    u.requiredVersion = c.requiredVersion;
    u.date = c.date;
    u.localDate = c.localDate;
    EXPECT_EQ(UpdateCounts(u, "1.9"), c.counts) << c.version << "/" << c.requiredVersion << "/" << c.date;
    EXPECT_EQ(UpdateListed(u, "1.9"), c.listed) << c.version << "/" << c.requiredVersion << "/" << c.date;
  }
}

}  // namespace
