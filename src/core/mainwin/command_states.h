#pragma once
// Which search commands are available in which state of the search.

namespace trawler::mainwin {

enum class SearchState { Idle, Searching, Paused };

struct CommandInputs {
  SearchState State = SearchState::Idle;
  bool SiteListLoaded = false;      // the first site list load enables the search commands
  bool SearchInRetrievedOn = false;
  bool ViewHasRows = false;
  bool Loading = false;             // a result set is being loaded
};

struct CommandStates {
  bool Search = false;  // aSearch and its followers: aPackSearch, the quick templates
  bool Stop = false;
  bool Pause = false;   // aPause and the tbPause button
  bool PauseChecked = false;
  bool Refresh = false;
  bool Reset = false;   // New Search (and opening result sets)
  bool SearchInRetrieved = false;
  bool Panel = false;   // the simple search panel and aUpdateSiteList
};

CommandStates StatesFor(const CommandInputs &in);

}  // namespace trawler::mainwin
