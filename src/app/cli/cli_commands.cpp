#include "app/cli/cli_commands.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <map>

#include "app/cli/cli_session.h"
#include "app/cli/engine_report.h"
#include "app/cli/progress_display.h"
#include "app/cli/result_output.h"
#include "core/categories.h"
#include "core/name_value_list.h"
#include "results/old_format_loader.h"
#include "results/result_set_loader.h"
#include "results/results_list.h"
#include "support/text/case_folding.h"

namespace trawler::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) { gInterrupted = 1; }

void Fail(const std::string &message) { std::fprintf(stderr, "trawler-cli: %s\n", message.c_str()); }

// --category, else the category the user last searched.
std::string CategoryToUse(CliSession &session, const CliOptions &options) {
  if (!options.category.empty()) return options.category;
  return session.Settings().Category.empty() ? "0" : session.Settings().Category;
}

// Runs the search that the engine list is set up for until it ends or the user interrupts it.
void RunSearchToEnd(CliSession &session, EngineReports &reports) {
  core::TEngineList &list = session.Engines();
  gInterrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  list.ResetEngines();
  list.StartSearch();
  auto ended = [&] {
    if (list.Connections != 0) return false;
    for (core::TEngine *e : list.Engines)
      if (e->Active && !e->Suspended) return false;
    return true;
  };
  while (!ended()) {
    session.Loop().runUntil([&] { return ended() || gInterrupted; }, std::chrono::milliseconds(200));
    if (gInterrupted) {
      list.StopSearch();
      reports.MarkStopped();
      break;
    }
  }
  // Engines paused by a limit have had their share.
  for (core::TEngine *e : list.Engines)
    if (e->Active && e->Suspended) list.StopEngine(*e);
  std::signal(SIGINT, previous);
  reports.Refresh();
}

// The engines a search of this category would take, narrowed to --engine when given.
bool SelectEngines(CliSession &session, const CliOptions &options, const std::string &category,
                   std::vector<core::TEngine *> &selected, std::string &error) {
  core::TEngineList &list = session.Engines();
  list.Category = category;
  list.SelectCategory(category);
  if (!options.engines.empty()) {
    std::vector<core::TEngine *> wanted;
    for (const auto &name : options.engines) {
      core::TEngine *e = list.FindEngine(name);
      if (!e) {
        error = "no site \"" + name + "\" (trawler-cli sites lists them)";
        return false;
      }
      wanted.push_back(e);
    }
    for (core::TEngine *e : list.Engines)
      e->Checked = std::find(wanted.begin(), wanted.end(), e) != wanted.end();
  }
  selected = list.SelectedEngines();
  return true;
}

int RunSearch(const CliOptions &options) {
  CliSession session;
  std::string error;
  if (!session.Open(options, error)) {
    Fail(error);
    return 3;
  }
  core::TEngineList &list = session.Engines();
  const std::string category = CategoryToUse(session, options);
  std::vector<core::TEngine *> selected;
  if (!SelectEngines(session, options, category, selected, error)) {
    Fail(error);
    return 2;
  }
  if (selected.empty()) {
    Fail("no site serves category \"" + category + "\" (trawler-cli sites lists them)");
    return 3;
  }

  std::string words;
  for (const auto &w : options.words) words += (words.empty() ? "" : " ") + w;
  list.SearchWord = words;
  list.Matchmode = static_cast<core::tMatchMode>(options.matchMode);
  list.PauseMode = core::pmNone;
  if (options.maxPerEngine) list.MaxCountPerEngine = *options.maxPerEngine;
  if (options.maxTotal) list.MaxCountPerAll = *options.maxTotal;
  if (options.maxKbPerEngine) list.MaxKBytesPerEngine = *options.maxKbPerEngine;
  if (options.maxKbTotal) list.MaxKBytesPerAll = *options.maxKbTotal;
  if (options.connections) list.MaxConnections = *options.connections;
  if (options.timeout) list.Timeout = *options.timeout;
  if (!options.proxyHost.empty()) {
    list.Proxy = options.proxyHost;
    list.ProxyPort = options.proxyPort;
  }

  EngineReports reports;
  reports.Attach(list, selected);
  ProgressDisplay progress(reports, stderr, isatty(STDERR_FILENO) != 0);
  if (!options.quiet) reports.OnChange = [&](const EngineReport &r) { progress.Changed(r); };
  RunSearchToEnd(session, reports);
  if (!options.quiet) progress.Finish();

  // Black-listed pages arrived deleted; the output holds what the user wants to see.
  list.ResultList->PurgeDeleted();
  if (!WriteResults(*list.ResultList, options.format, options.outputFile, reports.Items(), error)) {
    Fail(error);
    return 1;
  }
  if (!reports.AnySucceeded()) {
    std::string reason;
    for (const auto &r : reports.Items())
      if (!r.error.empty()) {
        reason = " (" + r.caption + ": " + r.error + ")";
        break;
      }
    Fail("every site failed" + reason);
    return 3;
  }
  return 0;
}

int RunSites(const CliOptions &options) {
  CliSession session;
  std::string error;
  if (!session.Open(options, error)) {
    Fail(error);
    return 3;
  }
  core::TEngineList &list = session.Engines();
  const std::string category = CategoryToUse(session, options);
  list.Category = category;
  list.SelectCategory(category);

  struct Category {
    std::string key, name, hint;
  };
  std::vector<Category> categories;
  auto addCategories = [&](const std::vector<std::string> &lines) {
    for (const auto &line : lines) {
      const std::string key(core::NameOfLine(line));
      if (std::any_of(categories.begin(), categories.end(), [&](const Category &c) { return c.key == key; })) continue;
      const auto info = list.CategoryInfo(key);
      categories.push_back({key, info.Name, info.Hint});
    }
  };
  addCategories(list.Categories);
  addCategories(list.UserCategories);

  auto categoriesOf = [](const core::TEngine &e) {
    std::vector<std::string> keys;
    for (const auto &line : e.CategoryCodes) keys.emplace_back(core::ValueOfLine(line));
    return keys;
  };

  std::string out;
  if (options.format == OutputFormat::Json) {
    out = "{\n  \"category\": " + JsonQuoted(category) + ",\n  \"categories\": [";
    for (std::size_t i = 0; i < categories.size(); ++i)
      out += std::string(i ? ",\n    " : "\n    ") + "{\"key\": " + JsonQuoted(categories[i].key) +
             ", \"name\": " + JsonQuoted(categories[i].name) + ", \"hint\": " + JsonQuoted(categories[i].hint) + "}";
    out += categories.empty() ? "],\n  \"sites\": [" : "\n  ],\n  \"sites\": [";
    for (std::size_t i = 0; i < list.Engines.size(); ++i) {
      const core::TEngine &e = *list.Engines[i];
      std::string keys;
      for (const auto &k : categoriesOf(e)) keys += (keys.empty() ? "" : ", ") + JsonQuoted(k);
      out += std::string(i ? ",\n    " : "\n    ") + "{\"key\": " + JsonQuoted(core::TEngineList::EngineKey(e)) +
             ", \"caption\": " + JsonQuoted(e.Caption) + ", \"categories\": [" + keys + "], \"region\": " +
             JsonQuoted(e.Region) + ", \"enabled\": " + (core::TEngineList::IsEnabled(e) ? "true" : "false") +
             ", \"searched\": " + (list.IsSelected(e) ? "true" : "false") + "}";
    }
    out += list.Engines.empty() ? "]\n}\n" : "\n  ]\n}\n";
  } else {
    out = "Categories:\n";
    for (const auto &c : categories) out += "  " + c.key + "\t" + c.name + (c.hint.empty() ? "" : " - " + c.hint) + "\n";
    out += "\nSites (category " + category + "; * = searched now):\n";
    for (core::TEngine *e : list.Engines) {
      std::string keys;
      for (const auto &k : categoriesOf(*e)) keys += (keys.empty() ? "" : ",") + k;
      out += std::string(list.IsSelected(*e) ? "* " : "  ") + core::TEngineList::EngineKey(*e) + "\t" + e->Caption +
             "\t[" + keys + "]\t" + (e->Region.empty() ? "(no region)" : e->Region) +
             (core::TEngineList::IsEnabled(*e) ? "" : "\t(switched off)") + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

int RunConvert(const CliOptions &options) {
  OutputFormat format;
  if (!FormatForFileName(options.outputFile, format)) {
    Fail("convert writes .twf, .json, .csv, .htm or .html, not \"" + options.outputFile + "\" (try --help)");
    return 2;
  }
  results::tResultsList list(nullptr);
  try {
    const auto dot = options.inputFile.rfind('.');
    const bool old = dot != std::string::npos && text::SameTextIgnoreCase(options.inputFile.substr(dot), ".twr");
    std::string serversLog, log;
    if (old) results::LoadOldFile(list, options.inputFile, false);
    else results::LoadFromFile(list, options.inputFile, false, serversLog, log);
  } catch (const std::exception &e) {
    Fail("cannot read \"" + options.inputFile + "\": " + e.what());
    return 1;
  }
  std::string error;
  if (!WriteResults(list, format, options.outputFile, {}, error)) {
    Fail(error);
    return 1;
  }
  return 0;
}

int RunCheckSites(const CliOptions &options) {
  CliSession session;
  std::string error;
  if (!session.Open(options, error)) {
    Fail(error);
    return 3;
  }
  core::TEngineList &list = session.Engines();
  std::vector<core::TEngine *> wanted;
  if (options.engines.empty()) {
    wanted = list.Engines;
  } else {
    for (const auto &name : options.engines) {
      core::TEngine *e = list.FindEngine(name);
      if (!e) {
        Fail("no site \"" + name + "\" (trawler-cli sites lists them)");
        return 2;
      }
      wanted.push_back(e);
    }
  }
  // One search per category and example query, each site reading one page.
  std::map<std::pair<std::string, std::string>, std::vector<core::TEngine *>> groups;
  std::vector<core::TEngine *> untestable;
  for (core::TEngine *e : wanted) {
    if (e->Example.empty() || e->CategoryCodes.empty()) {
      untestable.push_back(e);
      continue;
    }
    groups[{std::string(core::ValueOfLine(e->CategoryCodes.front())), e->Example}].push_back(e);
  }
  std::vector<EngineReport> all;
  for (auto &[key, engines] : groups) {
    list.Category = key.first;
    list.SelectCategory(key.first);
    for (core::TEngine *e : list.Engines) {
      e->Checked = std::find(engines.begin(), engines.end(), e) != engines.end();
      // A site checked for what it returns is searched whatever region the user switched off.
      if (e->Checked && std::find(list.EnabledRegions.begin(), list.EnabledRegions.end(), e->Region) == list.EnabledRegions.end())
        list.EnabledRegions.push_back(e->Region);
    }
    list.SearchWord = key.second;
    list.Matchmode = core::mmAll;
    list.PauseMode = core::pmPage;
    list.ResultList->Clear();
    EngineReports reports;
    reports.Attach(list, list.SelectedEngines());
    RunSearchToEnd(session, reports);
    for (auto &r : reports.Items()) all.push_back(r);
  }

  bool broken = false;
  for (auto &r : all) {
    const bool ok = r.hits > 0 && r.state != EngineState::Error && r.state != EngineState::Skipped;
    broken |= !ok;
    std::printf("%-6s %s\t%s\t%d hits\t%ld ms%s%s\n", ok ? "ok" : "BROKEN", r.key.c_str(), r.caption.c_str(), r.hits,
                static_cast<long>(r.totalMs), r.error.empty() ? "" : "\t", r.error.c_str());
  }
  for (core::TEngine *e : untestable)
    std::printf("%-6s %s\t%s\tno example query\n", "skip", core::TEngineList::EngineKey(*e).c_str(), e->Caption.c_str());
  return broken ? 1 : 0;
}

}  // namespace

int RunCommand(const CliOptions &options) {
  switch (options.command) {
    case Command::Search: return RunSearch(options);
    case Command::Sites: return RunSites(options);
    case Command::Convert: return RunConvert(options);
    case Command::CheckSites: return RunCheckSites(options);
    default: return 2;
  }
}

}  // namespace trawler::cli
