#pragma once
// The progress of a search on standard error: a live table redrawn in place when standard
// error is a terminal, otherwise one line per engine as it finishes.

#include <chrono>
#include <cstdio>

#include "app/cli/engine_report.h"

namespace trawler::cli {

class ProgressDisplay {
 public:
  ProgressDisplay(EngineReports &reports, std::FILE *out, bool live);
  void Changed(const EngineReport &report);
  // Draws the final table (live mode) once the search has ended.
  void Finish();

 private:
  void Draw(bool force);
  EngineReports &reports_;
  std::FILE *out_;
  bool live_;
  int drawnLines_ = 0;
  std::chrono::steady_clock::time_point lastDraw_{};
};

// One line about one engine: "Sim Alpha: done, 3 pages, 30 hits, 12 KB, 340 ms".
std::string EngineLine(const EngineReport &report);

}  // namespace trawler::cli
