#pragma once
// The Engines tab's context menu for one row: which of Play, Pause and Stop shows checked
// (they form a radio group that shows the engine's state) and which entries are enabled.

namespace trawler::mainwin {

struct EngineMenuInputs {
  bool Linked = false;     // the row still points at an engine
  int Picture = 0;         // the row's state picture (EnginePicture)
  bool HasLastUrl = false; // the engine's last request address is not empty
  bool CanRepeat = false;  // the engine can send its last request again
};

struct EngineMenuState {
  bool PlayChecked = false, PauseChecked = false, StopChecked = false;
  bool PlayEnabled = false, PauseEnabled = false, StopEnabled = false;
  bool RepeatEnabled = false, OpenEnabled = false, CopyEnabled = false;
};

EngineMenuState EngineMenuFor(const EngineMenuInputs &in);

}  // namespace trawler::mainwin
