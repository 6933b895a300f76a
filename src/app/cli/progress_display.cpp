#include "app/cli/progress_display.h"

#include <cmath>
#include <string>

namespace trawler::cli {

std::string EngineLine(const EngineReport &r) {
  std::string line = r.caption + ": " + StateName(r.state) + ", " + std::to_string(r.pages) +
                     (r.pages == 1 ? " page, " : " pages, ") + std::to_string(r.hits) + " hits, " +
                     std::to_string((r.bytes + 1023) / 1024) + " KB, " +
                     std::to_string(std::lround(r.totalMs)) + " ms";
  if (!r.error.empty()) line += " (" + r.error + ")";
  return line;
}

ProgressDisplay::ProgressDisplay(EngineReports &reports, std::FILE *out, bool live)
    : reports_(reports), out_(out), live_(live) {}

void ProgressDisplay::Changed(const EngineReport &report) {
  if (!live_) {
    if (report.state != EngineState::Waiting && report.state != EngineState::Running)
      std::fprintf(out_, "%s\n", EngineLine(report).c_str());
    return;
  }
  Draw(false);
}

void ProgressDisplay::Finish() {
  if (live_) Draw(true);
}

void ProgressDisplay::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  // Redrawing more often than the eye can follow only costs time.
  if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  if (drawnLines_ > 0) std::fprintf(out_, "\x1b[%dA", drawnLines_);
  std::fprintf(out_, "\x1b[2K%-28s %6s %6s %8s  %s\n", "engine", "pages", "hits", "KB", "state");
  for (const auto &r : reports_.Items()) {
    std::string caption = r.caption.substr(0, 28);
    std::fprintf(out_, "\x1b[2K%-28s %6d %6d %8lld  %s\n", caption.c_str(), r.pages, r.hits,
                 (r.bytes + 1023) / 1024, StateName(r.state));
  }
  drawnLines_ = static_cast<int>(reports_.Items().size()) + 1;
  std::fflush(out_);
}

}  // namespace trawler::cli
