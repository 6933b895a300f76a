#pragma once
// The rows of the Engines tab: one per engine that took part in the current search, with
// its state text, state picture and counters. The engine remembers its row in StateRow.
// Rows outlive a search; when the site descriptions are reloaded the engines they point
// at are gone, so the links are cleared while the rows stay.

#include <functional>
#include <string>
#include <vector>

namespace trawler::core {
class TEngine;
}

namespace trawler::mainwin {

// Row pictures.
enum EnginePicture : int {
  epQueued = 0,
  epWorking = 1,
  epSuspended = 2,
  epDone = 3,
  epError = 4,
};

struct EngineRow {
  core::TEngine *Engine = nullptr;  // none once the link was cleared
  std::string Caption;
  std::string State;
  std::string Received;
  std::string Total;
  std::string Transferred;
  int Picture = epQueued;
};

class EngineRows {
 public:
  // Told which row changed (or that rows were added or removed: -1).
  std::function<void(int row)> OnRowChanged;
  std::function<void()> OnReset;

  int Count() const { return static_cast<int>(FRows.size()); }
  const EngineRow &Row(int index) const { return FRows.at(static_cast<std::size_t>(index)); }
  const std::vector<EngineRow> &Rows() const { return FRows; }

  // Adds a row for the engine when it has none (StateRow -1 or past the last row), then
  // shows text and picture and the engine's counters. Returns the row index.
  int ShowEngineState(core::TEngine &engine, const std::string &text, int picture);
  // Removes every row.
  void Clear();
  // Replaces every row (rows read back from a saved result set, linked to no engine).
  void Assign(std::vector<EngineRow> rows);
  // Clears every row's engine link (the engines were replaced).
  void ForgetEngines();
  // The engine of a row, or none (no such row, or its link was cleared).
  core::TEngine *EngineAt(int index) const;

 private:
  std::vector<EngineRow> FRows;
};

}  // namespace trawler::mainwin
