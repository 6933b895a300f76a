#include "core/mainwin/engine_rows.h"

#include <utility>

#include "core/sdf_records.h"

namespace trawler::mainwin {

int EngineRows::ShowEngineState(core::TEngine &engine, const std::string &text, int picture) {
  int index = engine.StateRow;
  // A row index may be stale (rows cleared, or another row set now lives there): only a
  // row that still points at this engine is reused.
  if (index < 0 || index >= Count() || FRows[static_cast<std::size_t>(index)].Engine != &engine) {
    EngineRow row;
    row.Engine = &engine;
    row.Caption = engine.Caption;
    row.Transferred = "0";
    FRows.push_back(std::move(row));
    index = Count() - 1;
    engine.StateRow = index;
    if (OnReset) OnReset();
  }
  EngineRow &row = FRows[static_cast<std::size_t>(index)];
  row.State = text;
  row.Picture = picture;
  if (engine.HitCount > 0) row.Received = std::to_string(engine.HitCount);
  if (engine.TotalCount > 0) row.Total = std::to_string(engine.TotalCount);
  row.Transferred = std::to_string(engine.BytesReceived);
  if (OnRowChanged) OnRowChanged(index);
  return index;
}

void EngineRows::Clear() {
  for (EngineRow &row : FRows)
    if (row.Engine) row.Engine->StateRow = -1;
  FRows.clear();
  if (OnReset) OnReset();
}

void EngineRows::Assign(std::vector<EngineRow> rows) {
  for (EngineRow &row : FRows)
    if (row.Engine) row.Engine->StateRow = -1;
  FRows = std::move(rows);
  if (OnReset) OnReset();
}

void EngineRows::ForgetEngines() {
  for (EngineRow &row : FRows) row.Engine = nullptr;
  if (OnReset) OnReset();
}

core::TEngine *EngineRows::EngineAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FRows[static_cast<std::size_t>(index)].Engine;
}

}  // namespace trawler::mainwin
