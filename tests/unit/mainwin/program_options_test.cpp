#include <gtest/gtest.h>

#include "core/mainwin/program_options.h"

namespace trawler::mainwin {
namespace {

TEST(ProgramOptions, ValuesAndFiles) {
  const ProgramOptions o = ParseProgramOptions(
      {"--demo", "--profile", "/p", "--screenshot", "shot.png", "--screenshot-tab", "engines",
       "--query", "fish", "set.twf"},
      "/env");
  EXPECT_TRUE(o.Error.empty()) << o.Error;
  EXPECT_TRUE(o.Demo);
  EXPECT_EQ(o.ProfileDir, "/p");  // the option wins over the environment
  EXPECT_EQ(o.Screenshot, "shot.png");
  EXPECT_EQ(o.ScreenshotTab, "engines");
  EXPECT_EQ(o.Query, "fish");
  EXPECT_EQ(o.Files, std::vector<std::string>{"set.twf"});
  EXPECT_EQ(ParseProgramOptions({}, "/env").ProfileDir, "/env");
}

TEST(ProgramOptions, BadCommandLines) {
  const std::vector<std::vector<std::string>> bad = {
      {"--profile"}, {"--bogus"}, {"--screenshot-tab", "sideways"}};
  for (const auto &args : bad) EXPECT_FALSE(ParseProgramOptions(args, std::nullopt).Error.empty()) << args[0];
}

}  // namespace
}  // namespace trawler::mainwin
