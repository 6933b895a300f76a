#include <gtest/gtest.h>

#include "app/cli/cli_options.h"

namespace trawler::cli {
namespace {

ParseResult Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CliOptions, SearchTakesOptionsAnywhereAndWordsInOrder) {
  auto r = Parse({"--demo", "search", "red", "--match", "any", "fox", "--engine", "a:b", "--engine",
                  "c:d", "--max-per-engine", "20", "--format", "json", "-o", "out.json", "--proxy",
                  "proxy.lan:3128", "--quiet"});
  ASSERT_EQ(r.error, "");
  const CliOptions &o = r.options;
  EXPECT_EQ(o.command, Command::Search);
  EXPECT_TRUE(o.demo);
  EXPECT_EQ(o.words, (std::vector<std::string>{"red", "fox"}));
  EXPECT_EQ(o.matchMode, 1);
  EXPECT_EQ(o.engines, (std::vector<std::string>{"a:b", "c:d"}));
  EXPECT_EQ(o.maxPerEngine, 20);
  EXPECT_FALSE(o.maxTotal.has_value());
  EXPECT_EQ(o.format, OutputFormat::Json);
  EXPECT_EQ(o.outputFile, "out.json");
  EXPECT_EQ(o.proxyHost, "proxy.lan");
  EXPECT_EQ(o.proxyPort, 3128);
  EXPECT_TRUE(o.quiet);
}

TEST(CliOptions, DoubleDashMakesEveryFollowingWordAQueryWord) {
  auto r = Parse({"search", "--", "-minus", "--quiet"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.words, (std::vector<std::string>{"-minus", "--quiet"}));
  EXPECT_FALSE(r.options.quiet);
}

TEST(CliOptions, CommandsAndTheirArguments) {
  EXPECT_EQ(Parse({}).options.command, Command::Help);
  EXPECT_EQ(Parse({"--version"}).options.command, Command::Version);
  auto convert = Parse({"convert", "a.twr", "b.json"});
  EXPECT_EQ(convert.options.command, Command::Convert);
  EXPECT_EQ(convert.options.inputFile, "a.twr");
  EXPECT_EQ(convert.options.outputFile, "b.json");
  EXPECT_EQ(Parse({"sites", "--category", "5", "--format", "json"}).options.category, "5");
  EXPECT_EQ(Parse({"check-sites", "--engine", "x:y"}).options.command, Command::CheckSites);
}

TEST(CliOptions, UsageErrorsNameTheProblem) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"search"}, "search needs at least one word"},
      {{"search", "x", "--match", "most"}, "option --match takes all, any, exact or boolean, not \"most\""},
      {{"search", "x", "--max-total", "-1"}, "option --max-total needs a whole number of at least 0, not \"-1\""},
      {{"search", "x", "--connections", "0"}, "option --connections needs a whole number of at least 1, not \"0\""},
      {{"search", "x", "--timeout", "ten"}, "option --timeout needs a whole number of at least 1, not \"ten\""},
      {{"search", "x", "--format", "xml"}, "option --format takes text, json, csv, html or twf, not \"xml\""},
      {{"search", "x", "--format", "twf"}, "--format twf needs -o FILE"},
      {{"search", "x", "--proxy", "host"}, "option --proxy takes HOST:PORT, not \"host\""},
      {{"search", "x", "--proxy", "host:99999"}, "option --proxy takes HOST:PORT, not \"host:99999\""},
      {{"search", "x", "--engine"}, "option --engine needs a value"},
      {{"search", "x", "--colour"}, "unknown option \"--colour\""},
      {{"convert", "a.twf"}, "convert needs an input and an output file"},
      {{"sites", "--format", "csv"}, "sites writes --format text or json"},
      {{"fly"}, "unknown command \"fly\""},
  };
  for (const auto &c : cases) EXPECT_EQ(Parse(c.args).error, c.error) << c.args.back();
}

}  // namespace
}  // namespace trawler::cli
