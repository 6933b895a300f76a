#include "app/cli/cli_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace trawler::cli {

namespace {

bool ReadInt(const std::string &text, int minimum, int &out) {
  if (text.empty()) return false;
  errno = 0;
  char *end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < minimum || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

std::optional<OutputFormat> FormatNamed(const std::string &name) {
  if (name == "text") return OutputFormat::Text;
  if (name == "json") return OutputFormat::Json;
  if (name == "csv") return OutputFormat::Csv;
  if (name == "html") return OutputFormat::Html;
  if (name == "twf") return OutputFormat::Twf;
  return std::nullopt;
}

std::optional<int> MatchNamed(const std::string &name) {
  if (name == "all") return 0;
  if (name == "any") return 1;
  if (name == "exact") return 2;
  if (name == "boolean") return 3;
  return std::nullopt;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string> &args) {
  ParseResult r;
  CliOptions &o = r.options;
  std::vector<std::string> positional;
  bool wordsOnly = false;  // after "--" every word is a query word

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (wordsOnly || a.empty() || a[0] != '-' || a == "-") {
      positional.push_back(a);
      continue;
    }
    if (a == "--") {
      wordsOnly = true;
      continue;
    }
    auto value = [&](std::string &out) -> bool {
      if (i + 1 >= args.size()) {
        r.error = "option " + a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto number = [&](std::optional<int> &out, int minimum) -> bool {
      std::string text;
      if (!value(text)) return false;
      int v = 0;
      if (!ReadInt(text, minimum, v)) {
        r.error = "option " + a + " needs a whole number of at least " + std::to_string(minimum) +
                  ", not \"" + text + "\"";
        return false;
      }
      out = v;
      return true;
    };
    std::string text;
    if (a == "--help" || a == "-h") {
      o.command = Command::Help;
      return r;
    } else if (a == "--version") {
      o.command = Command::Version;
      return r;
    } else if (a == "--sites") {
      if (!value(o.sitesDir)) return r;
    } else if (a == "--profile") {
      if (!value(o.profileDir)) return r;
    } else if (a == "--demo") {
      o.demo = true;
    } else if (a == "--category") {
      if (!value(o.category)) return r;
    } else if (a == "--match") {
      if (!value(text)) return r;
      auto m = MatchNamed(text);
      if (!m) {
        r.error = "option --match takes all, any, exact or boolean, not \"" + text + "\"";
        return r;
      }
      o.matchMode = *m;
    } else if (a == "--engine") {
      if (!value(text)) return r;
      o.engines.push_back(text);
    } else if (a == "--max-per-engine") {
      if (!number(o.maxPerEngine, 0)) return r;
    } else if (a == "--max-total") {
      if (!number(o.maxTotal, 0)) return r;
    } else if (a == "--max-kb-per-engine") {
      if (!number(o.maxKbPerEngine, 0)) return r;
    } else if (a == "--max-kb-total") {
      if (!number(o.maxKbTotal, 0)) return r;
    } else if (a == "--connections") {
      if (!number(o.connections, 1)) return r;
    } else if (a == "--timeout") {
      if (!number(o.timeout, 1)) return r;
    } else if (a == "--proxy") {
      if (!value(text)) return r;
      auto colon = text.rfind(':');
      int port = 0;
      if (colon == std::string::npos || colon == 0 || !ReadInt(text.substr(colon + 1), 1, port) ||
          port > 65535) {
        r.error = "option --proxy takes HOST:PORT, not \"" + text + "\"";
        return r;
      }
      o.proxyHost = text.substr(0, colon);
      o.proxyPort = port;
    } else if (a == "--format") {
      if (!value(text)) return r;
      auto f = FormatNamed(text);
      if (!f) {
        r.error = "option --format takes text, json, csv, html or twf, not \"" + text + "\"";
        return r;
      }
      o.format = *f;
      o.formatGiven = true;
    } else if (a == "-o" || a == "--output") {
      if (!value(o.outputFile)) return r;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else {
      r.error = "unknown option \"" + a + "\"";
      return r;
    }
  }

  if (positional.empty()) {
    o.command = Command::Help;
    return r;
  }
  const std::string name = positional[0];
  positional.erase(positional.begin());
  if (name == "search") {
    o.command = Command::Search;
    o.words = positional;
    if (o.words.empty()) r.error = "search needs at least one word";
    else if (o.format == OutputFormat::Twf && o.outputFile.empty())
      r.error = "--format twf needs -o FILE";
  } else if (name == "sites") {
    o.command = Command::Sites;
    if (!positional.empty()) r.error = "sites takes no words (\"" + positional[0] + "\")";
    else if (o.format != OutputFormat::Text && o.format != OutputFormat::Json)
      r.error = "sites writes --format text or json";
  } else if (name == "convert") {
    o.command = Command::Convert;
    if (positional.size() != 2) {
      r.error = "convert needs an input and an output file";
    } else {
      o.inputFile = positional[0];
      o.outputFile = positional[1];
    }
  } else if (name == "check-sites") {
    o.command = Command::CheckSites;
    if (!positional.empty()) r.error = "check-sites takes no words (\"" + positional[0] + "\")";
  } else {
    r.error = "unknown command \"" + name + "\"";
  }
  return r;
}

const char *HelpText() {
  return "Usage: trawler-cli [GLOBAL OPTIONS] COMMAND [OPTIONS] [ARGS...]\n"
         "\n"
         "Trawler sends one query to many search sites at once and merges the hits into\n"
         "one list in which every page appears once, with the sites that found it.\n"
         "\n"
         "Commands:\n"
         "  search WORDS...        search the sites of a category and print the merged results\n"
         "  sites                  list the categories and the sites, and which would be searched\n"
         "  convert IN OUT         convert a result set (.twf or .twr) to .twf .json .csv .htm .html\n"
         "  check-sites            run every site's example query (one page) and report broken sites\n"
         "\n"
         "Global options:\n"
         "  --sites DIR            site description files (default: the program's sites folder)\n"
         "  --profile DIR          where the settings store lives (default: ~/.config/trawler)\n"
         "  --demo                 use built-in simulated sites on 127.0.0.1 (works offline)\n"
         "  --help, --version\n"
         "\n"
         "Options of search:\n"
         "  --category KEY         category to search (default: the stored category)\n"
         "  --match all|any|exact|boolean\n"
         "  --engine KEY           search only this site (repeatable)\n"
         "  --max-per-engine N     hits per site (0: no limit)\n"
         "  --max-total N          new results of all sites together (0: no limit)\n"
         "  --max-kb-per-engine N  kilobytes received per site (0: no limit)\n"
         "  --max-kb-total N       kilobytes received by all sites together (0: no limit)\n"
         "  --connections N        requests open at once\n"
         "  --timeout SECONDS      give up on a site that sends nothing for this long\n"
         "  --proxy HOST:PORT      send requests through this HTTP proxy\n"
         "  --format text|json|csv|html|twf   output format (twf needs -o)\n"
         "  -o FILE                write the results to FILE instead of standard output\n"
         "  --quiet                no progress display\n"
         "\n"
         "Options of sites: --category KEY, --format text|json.\n"
         "Options of check-sites: --engine KEY (repeatable).\n"
         "\n"
         "Exit codes: 0 done (also when nothing was found), 1 check-sites found broken sites,\n"
         "2 usage error, 3 nothing could be searched.\n";
}

}  // namespace trawler::cli
