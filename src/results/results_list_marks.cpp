// Marks of the result list: selection commands, new/old marks and the mark
// timer, the view mode and the search-in-retrieved filter.

#include "results/results_list.h"
#include "results/results_list_scopes.h"
#include "support/text/regex_match.h"
#include "support/text/word_match.h"

namespace trawler::results {

// ---- Selection commands

tUrlResult* tResultsList::FirstSelected() const {
  for (const auto& r : FResults)
    if (r->FSelected) return r.get();
  return nullptr;
}

void tResultsList::DeleteSelected(bool permanently) {
  HeldUpdate held(*this);
  if (permanently || (FViewMode & vmDeleted) != 0) {
    FreeWhere([](const tUrlResult& r) { return r.FSelected; });
    return;
  }
  // One pass in list order; a result leaves the selection as it is hidden.
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    tUrlResult& r = *FResults[i];
    if (!r.FSelected) continue;
    const bool marked = !r.FDeleted;
    r.SetDeleted(true);
    r.ApplyFilter();
    if (marked) ResultsChanged();
  }
}

void tResultsList::UndeleteSelected() {
  if ((FViewMode & vmDeleted) == 0) return;
  HeldUpdate held(*this);
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    tUrlResult& r = *FResults[i];
    if (!r.FSelected) continue;
    const bool restored = r.FDeleted;
    r.SetDeleted(false);
    r.ApplyFilter();
    if (restored) ResultsChanged();
  }
}

void tResultsList::MarkSelected(bool isNew) {
  UpdateScope update(*this);
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    tUrlResult& r = *FResults[i];
    if (!r.FSelected || r.FIsNew == isNew) continue;
    r.SetIsNew(isNew);
    r.ApplyFilter();
    r.RefreshRow();
    if (FMarkCandidate == &r) {
      if (isNew && !MarkTimerRunning() && FMarkInterval > 0)
        StartMarkTimer();
      else if (!isNew)
        StopMarkTimer();
    }
    ResultsChanged();
  }
}

void tResultsList::SetSelectedCheckState(int state) {
  UpdateScope update(*this);
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    tUrlResult& r = *FResults[i];
    if (r.FSelected) r.SetCheckState(state);
  }
}

void tResultsList::PurgeDeleted() {
  FreeWhere([](const tUrlResult& r) { return r.FDeleted; });
}

// ---- Mark timer

void tResultsList::StartMarkTimer() {
  StopMarkTimer();
  if (!FLoop) return;
  FMarkTimer = FLoop->addTimer(std::chrono::milliseconds(kMarkTimerMs), false, [this] {
    FMarkTimer = 0;
    MarkTimerFired();
  });
}

void tResultsList::StopMarkTimer() {
  if (FMarkTimer == 0) return;
  if (FLoop) FLoop->removeTimer(FMarkTimer);
  FMarkTimer = 0;
}

void tResultsList::DropMarkCandidate() {
  FMarkCandidate = nullptr;
  StopMarkTimer();
}

void tResultsList::MarkTimerFired() {
  StopMarkTimer();
  tUrlResult* candidate = FMarkCandidate;
  if (!candidate) return;
  candidate->SetIsNew(false);
  candidate->ApplyFilter();
  if (FMarkCandidate == candidate) candidate->RefreshRow();
}

void tResultsList::SetMarkInterval(int value) {
  FMarkInterval = value;
  if (value == 0 && MarkTimerRunning()) MarkTimerFired();
}

// ---- View mode and filter

void tResultsList::SetViewMode(int mode) {
  FViewMode = mode;
  UpdateScope update(*this);
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    tUrlResult& r = *FResults[i];
    r.SetSelected(false);
    r.ApplyFilter();
  }
  Raise(OnUpdate);
}

void tResultsList::SetFilter(int mode, bool inTitle, bool inUrls, bool inDescription,
                             const std::string& text, bool regExpr) {
  FFilterMode = mode;
  FFilterTitle = inTitle;
  FFilterUrls = inUrls;
  FFilterDescription = inDescription;
  FFilterText = text;
  FFilterRegExpr = regExpr;
  FFilterWords = text::WordMatcher(text, mode);
  UpdateScope update(*this);
  for (std::size_t i = 0; i < FResults.size(); ++i) FResults[i]->ApplyFilter();
  Raise(OnUpdate);
}

void tResultsList::ClearFilter() {
  UpdateScope update(*this);
  SetFilter(fmAllWords, false, false, false, std::string(), false);
}

bool tResultsList::ResultPassesFilter(const tUrlResult& r) const {
  const bool deletedView = (FViewMode & vmDeleted) != 0;
  if (r.FDeleted != deletedView) return false;
  const int mode = FViewMode >= vmDeleted ? FViewMode - vmDeleted : FViewMode;
  if (mode == vmNewOnly && !r.FIsNew) return false;
  if (mode == vmOldOnly && r.FIsNew) return false;
  if (FFilterText.empty()) return true;

  std::string& searched = FFilterScratch;
  searched.clear();
  if (FFilterTitle) searched += r.Title;
  if (FFilterUrls) {
    for (const std::string& url : r.FUrls) {
      searched += url;
      searched += "\r\n";
    }
  }
  if (FFilterDescription) searched += r.Description;
  return FFilterRegExpr ? text::TextMatchesRegex(searched, FFilterText)
                        : FFilterWords.Matches(searched);
}

}  // namespace trawler::results
