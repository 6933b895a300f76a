#include "core/mainwin/engine_menu.h"

namespace trawler::mainwin {

EngineMenuState EngineMenuFor(const EngineMenuInputs &in) {
  EngineMenuState m;
  if (!in.Linked) return m;  // the engines were replaced: the row's commands do nothing
  const int p = in.Picture;
  m.PauseChecked = p == 2;
  m.PlayChecked = p == 1;
  m.StopChecked = p > 2;
  m.OpenEnabled = in.HasLastUrl;
  m.CopyEnabled = in.HasLastUrl;
  m.RepeatEnabled = m.OpenEnabled && p > 2 && in.CanRepeat;
  m.PlayEnabled = !m.PlayChecked && (p == 0 || p == 2);
  m.PauseEnabled = !m.PauseChecked && (p == 0 || p == 1);
  m.StopEnabled = !m.StopChecked && p <= 2;
  return m;
}

}  // namespace trawler::mainwin
