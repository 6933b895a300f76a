#include "app/cli/engine_report.h"

#include <cmath>
#include <cstdio>

#include "results/export_json.h"

namespace trawler::cli {

const char *StateName(EngineState state) {
  switch (state) {
    case EngineState::Waiting: return "waiting";
    case EngineState::Running: return "running";
    case EngineState::Done: return "done";
    case EngineState::Stopped: return "stopped";
    case EngineState::Error: return "error";
    case EngineState::Skipped: return "skipped";
  }
  return "";
}

void EngineReports::Attach(core::TEngineList &list, const std::vector<core::TEngine *> &selected) {
  items_.clear();
  for (core::TEngine *e : selected) {
    EngineReport r;
    r.engine = e;
    r.key = core::TEngineList::EngineKey(*e);
    r.caption = e->Caption;
    items_.push_back(r);
  }
  auto change = [this](EngineReport *r, EngineState state, const std::string &error = {}) {
    if (!r) return;
    // The first verdict stands: an engine that failed is not "done" when it leaves.
    if (r->state == EngineState::Error || r->state == EngineState::Skipped) return;
    r->state = state;
    if (!error.empty()) r->error = error;
    Refresh();
    if (OnChange) OnChange(*r);
  };
  list.onSearchStart = [this, change](core::TEngine *e) {
    if (!e) return;
    EngineReport *r = Find(e);
    if (r && r->state == EngineState::Waiting) change(r, EngineState::Running);
  };
  list.onSearchEngineDone = [this, change](core::TEngine *e) { change(Find(e), EngineState::Done); };
  list.onSearchEngineError = [this, change](core::TEngine *e, const std::string &message) {
    if (e) change(Find(e), EngineState::Error, message);
  };
  list.onSearchError = [this, change](core::TEngine *e, int, const std::string &message) {
    change(Find(e), EngineState::Skipped, message);
  };
  list.onSearchProgress = [this](core::TEngine *e, results::tUrlResult *) {
    if (EngineReport *r = Find(e); r && OnChange) {
      Refresh();
      OnChange(*r);
    }
  };
}

EngineReport *EngineReports::Find(const core::TEngine *engine) {
  for (auto &r : items_)
    if (r.engine == engine) return &r;
  return nullptr;
}

void EngineReports::Refresh() {
  for (auto &r : items_) {
    const core::TEngine &e = *r.engine;
    r.hits = e.HitCount;
    r.bytes = e.BytesReceived;
    r.pages = 0;
    r.totalMs = 0;
    r.firstByteMs = -1;
    for (const auto &t : e.Timings) {
      if (t.TotalMs < 0) continue;
      ++r.pages;
      r.totalMs += t.TotalMs;
    }
    if (!e.Timings.empty()) r.firstByteMs = e.Timings.front().FirstByteMs;
  }
}

void EngineReports::MarkStopped() {
  for (auto &r : items_)
    if (r.state == EngineState::Waiting || r.state == EngineState::Running) r.state = EngineState::Stopped;
}

bool EngineReports::AnySucceeded() const {
  for (const auto &r : items_)
    if (r.state == EngineState::Done || r.state == EngineState::Stopped) return true;
  return false;
}

std::string JsonQuoted(const std::string &text) { return results::JsonString(text); }

std::string EngineReportsJson(const std::vector<EngineReport> &reports) {
  std::string out = "[";
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const EngineReport &r = reports[i];
    // One engine per line, in the compact style of the results.
    out += i ? ",\n" : "\n";
    out += "{\"key\":" + JsonQuoted(r.key) + ",\"caption\":" + JsonQuoted(r.caption) + ",\"state\":\"" +
           StateName(r.state) + "\",\"pages\":" + std::to_string(r.pages) + ",\"hits\":" + std::to_string(r.hits) +
           ",\"bytes\":" + std::to_string(r.bytes) + ",\"first_byte_ms\":" +
           (r.firstByteMs < 0 ? std::string("null") : std::to_string(std::lround(r.firstByteMs))) +
           ",\"total_ms\":" + std::to_string(std::lround(r.totalMs)) +
           ",\"error\":" + (r.error.empty() ? std::string("null") : JsonQuoted(r.error)) + "}";
  }
  out += "]";
  return out;
}

}  // namespace trawler::cli
