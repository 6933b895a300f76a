#pragma once
// The command line of trawler-cli, parsed into plain values. Parsing never
// exits or prints: a bad command line comes back as an error text, which the
// caller reports with exit code 2.

#include <optional>
#include <string>
#include <vector>

namespace trawler::cli {

enum class Command { None, Help, Version, Search, Sites, Convert, CheckSites };
enum class OutputFormat { Text, Json, Csv, Html, Twf };

struct CliOptions {
  Command command = Command::None;

  // Global options.
  std::string sitesDir;    // empty: the program's sites directory
  std::string profileDir;  // empty: the user's config directory
  bool demo = false;

  // search
  std::vector<std::string> words;
  std::string category;             // empty: the stored category
  int matchMode = 0;                // 0 all, 1 any, 2 exact, 3 boolean
  std::vector<std::string> engines; // only these engine keys (or captions)
  std::optional<int> maxPerEngine, maxTotal, maxKbPerEngine, maxKbTotal, connections, timeout;
  std::string proxyHost;
  int proxyPort = 0;
  OutputFormat format = OutputFormat::Text;
  bool formatGiven = false;
  std::string outputFile;  // empty: standard output
  bool quiet = false;

  // convert
  std::string inputFile;
};

struct ParseResult {
  CliOptions options;
  std::string error;  // empty when the command line is good
};

ParseResult ParseCommandLine(const std::vector<std::string> &args);

// The text of --help.
const char *HelpText();

}  // namespace trawler::cli
