#pragma once
// How each engine fared in a run of trawler-cli: what the progress display shows and what
// the JSON output lists under "engines".

#include <string>
#include <vector>

#include "core/engine_list.h"

namespace trawler::cli {

enum class EngineState { Waiting, Running, Done, Stopped, Error, Skipped };

struct EngineReport {
  core::TEngine *engine = nullptr;
  std::string key, caption;
  EngineState state = EngineState::Waiting;
  int pages = 0;
  int hits = 0;
  long long bytes = 0;
  double firstByteMs = -1;  // of the first request
  double totalMs = 0;       // all requests together
  std::string error;
};

const char *StateName(EngineState state);

// Follows the engine list's events and keeps one report per selected engine.
class EngineReports {
 public:
  // Hooks the engine list's events; call before StartSearch.
  void Attach(core::TEngineList &list, const std::vector<core::TEngine *> &selected);
  // Copies the counters from the engines (pages, hits, bytes, timings).
  void Refresh();
  // Marks every engine still running as stopped (the user interrupted the run).
  void MarkStopped();
  std::vector<EngineReport> &Items() { return items_; }
  bool AnySucceeded() const;
  EngineReport *Find(const core::TEngine *engine);

  // Called after a report changed its state (for the progress display).
  std::function<void(const EngineReport &)> OnChange;

 private:
  std::vector<EngineReport> items_;
};

// The "engines" array of the JSON output.
std::string EngineReportsJson(const std::vector<EngineReport> &reports);

// A JSON string literal of a UTF-8 text.
std::string JsonQuoted(const std::string &text);

}  // namespace trawler::cli
