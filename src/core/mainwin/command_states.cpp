#include "core/mainwin/command_states.h"

namespace trawler::mainwin {

CommandStates StatesFor(const CommandInputs &in) {
  CommandStates s;
  const bool idle = in.State == SearchState::Idle;
  const bool running = !idle;
  s.Search = idle && in.SiteListLoaded && !in.Loading;
  s.Stop = running;
  s.Pause = running;
  s.PauseChecked = in.State == SearchState::Paused;
  s.Refresh = idle && in.SiteListLoaded && !in.SearchInRetrievedOn && !in.Loading;
  s.Reset = idle && !in.Loading;
  s.SearchInRetrieved = (in.State != SearchState::Searching) &&
                        (in.SearchInRetrievedOn || in.ViewHasRows);
  s.Panel = idle;
  return s;
}

}  // namespace trawler::mainwin
