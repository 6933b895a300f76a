// The merged result list: every hit of a search ends here. A hit that names a
// page the list already holds is merged into that result; any other becomes a
// new result. The list keeps the marks the user works with (new/old, deleted,
// selected, checked), decides which results the view shows under the view
// mode and the search-in-retrieved filter, counts the marks, and holds the two
// black lists.
//
// Finding the result a hit merges into does not walk the list: results are
// indexed by the same-page key of their main address (see url_index.h), so a
// search of any size merges in time proportional to its hits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/registry.h"
#include "results/black_list.h"
#include "results/black_matcher.h"
#include "results/hit.h"
#include "results/url_index.h"
#include "results/url_result.h"
#include "support/text/dates.h"
#include "support/text/word_match.h"

namespace trawler::results {

// What AddHit did with a hit, as the search driver counts it.
enum tHitStatus : int {
  hsNew = -1,       // a new result was created
  hsSamePage = 0,   // merged into a differently spelled result adding nothing,
                    // or a new result that arrived deleted because it is black
  hsDuplicate = 1,  // the identical address of a result that is still new
  hsMerged = 3,     // merged and added something, or named an old result,
                    // or named a result by its identical address while refreshing
};

// View modes; vmDeleted is added to one of the other three.
enum tViewMode : int { vmAll = 0, vmNewOnly = 1, vmOldOnly = 2, vmDeleted = 4 };

// Filter modes of TextContainsWords.
enum tFilterMode : int { fmAllWords = 0, fmAnyWord = 1, fmPhrase = 2 };

struct tBotResult;  // the outcome of one link check

class tResultsList {
 public:
  using Event = std::function<void(tResultsList&)>;
  using EngineTextEvent = std::function<void(const std::string& key, std::string& text)>;
  using ProgressEvent = std::function<void(tResultsList&, int position, int maximum)>;

  struct AddHitResult {
    tUrlResult* Result;  // the created result, or none
    int Status;          // a tHitStatus
  };

  // loop runs the mark timer; without one a positive MarkInterval never
  // turns a selected result old (lists made only to read or copy results).
  explicit tResultsList(platform::EventLoop* loop = nullptr);
  ~tResultsList();
  tResultsList(const tResultsList&) = delete;
  tResultsList& operator=(const tResultsList&) = delete;

  // Events; an empty one is skipped.
  Event OnBeginUpdate;      // before a change that touches many results
  Event OnEndUpdate;        // after it
  Event OnBlackListClear;   // the black lists are about to change
  Event OnUpdate;           // the visible set was rebuilt
  Event OnBlackListUpdate;  // the black lists changed
  EngineTextEvent OnEngineTitle;  // engine key -> text shown for it
  EngineTextEvent OnEngineKey;    // engine key -> key written to files
  Event OnSavedChange;
  ProgressEvent OnSaveProgress;
  ProgressEvent OnLoadProgress;

  // What the result set was searched with, for saving it.
  std::vector<std::string> Servers;  // site ids of the engines used
  std::string Keywords;
  std::string Category;
  int MatchMode = 0;
  std::string FileName;
  text::TDateTime SearchDate = 0;
  bool Plain = false;

  // ---- Results
  int Count() const { return static_cast<int>(FResults.size()); }
  // The result at index, or none at or past the end (or below 0).
  tUrlResult* Items(int index) const;
  int IndexOf(const tUrlResult* result) const;
  // Creates a result at the end of the list: new, not deleted, visible, no
  // addresses yet. Callers that fill it call ResultsChanged and ApplyFilter.
  tUrlResult& CreateResult();
  // Frees one result: its row is deleted, the counts follow, Saved is cleared.
  void FreeResult(tUrlResult* result);
  // Frees every result (last first) inside one update; FileName is emptied.
  void Clear();

  // Adds one hit of a search: merges it or creates a result (hsNew, or
  // hsSamePage when the new result is black and arrives deleted).
  AddHitResult AddHit(const tHit& hit, bool refreshing);

  // Takes the outcome of a link check into the first result whose main URL
  // is the checked one; deleteBad frees it on 404 and 503.
  void ApplyCheckResult(const tBotResult& result, bool deleteBad);
  // Merges a hit into the first result in list order whose main address names
  // the same page; hsNew when there is none (nothing is created).
  int MergeHit(const tHit& hit, bool refreshing);

  // ---- Counts; always equal to the marks.
  int DeletedCount() const { return FDeletedCount; }
  int NewCount() const { return FNewCount; }
  int OldCount() const { return FOldCount; }
  int CountDeleted() const;
  int CountNew() const;
  void Recount();

  // ---- Saved state
  bool Saved() const { return FSaved; }
  // Sets the mark and raises OnSavedChange (after a save or a full load).
  void SetSaved(bool value);
  // Clears Saved and raises OnSavedChange; every change of the set calls it.
  void ResultsChanged();

  // ---- Selection commands
  tUrlResult* FirstSelected() const;
  // Outside the deleted view marks the selected results deleted (they leave
  // the view); in the deleted view, or permanently, frees them.
  void DeleteSelected(bool permanently);
  // In the deleted view, restores the selected results (they leave the view).
  void UndeleteSelected();
  void MarkSelected(bool isNew);
  void SetSelectedCheckState(int state);
  // Frees every result marked deleted.
  void PurgeDeleted();

  // ---- View mode and search-in-retrieved filter
  int ViewMode() const { return FViewMode; }
  void SetViewMode(int mode);
  const std::string& FilterText() const { return FFilterText; }
  int FilterMode() const { return FFilterMode; }
  bool FilterTitle() const { return FFilterTitle; }
  bool FilterUrls() const { return FFilterUrls; }
  bool FilterDescription() const { return FFilterDescription; }
  bool FilterRegExpr() const { return FFilterRegExpr; }
  void SetFilter(int mode, bool inTitle, bool inUrls, bool inDescription,
                 const std::string& text, bool regExpr);
  void ClearFilter();

  // ---- New/old marks. -1: a selected new result stays new; 0: it turns old
  // when selected; above 0: it turns old when the 2000 ms mark timer fires.
  int MarkInterval() const { return FMarkInterval; }
  void SetMarkInterval(int value);
  tUrlResult* MarkCandidate() const { return FMarkCandidate; }
  bool MarkTimerRunning() const { return FMarkTimer != 0; }
  static constexpr int kMarkTimerMs = 2000;

  // ---- Lookups
  // Index of the first result whose title starts with text, ignoring case; -1.
  int FindByTitle(const std::string& text) const;
  // The first result from index start whose normalised main address matches
  // pattern: an address (with "://"), compared ignoring case, whole or - with
  // cut - as a prefix; or a host mask. visibleOnly skips hidden results.
  tUrlResult* FindByUrl(const std::string& pattern, bool cut, int start,
                        bool visibleOnly) const;

  // ---- Black lists
  tUrlList& PermanentBlackList() { return FPermanentBlackList; }
  tUrlList& TemporaryBlackList() { return FTemporaryBlackList; }
  // The list the black-list view shows; the permanent one at first.
  tUrlList& BlackList() { return *FBlackList; }
  bool ShowsPermanent() const { return FBlackList == &FPermanentBlackList; }
  int BlackCount() const { return FBlackList->Count(); }
  tUrlItem* BlackItems(int index) const { return FBlackList->Items(index); }
  int PermanentCount() const { return FPermanentBlackList.Count(); }
  int TemporaryCount() const { return FTemporaryBlackList.Count(); }

  // Reads the permanent list from the store (replacing its entries). From
  // then on every change of the permanent list is written back at once, and
  // once more when the list is destroyed - unless the stored list could not
  // be read, since writing would then replace the user's entries.
  void LoadBlackList(platform::RegistryStore& store);
  // Writes the permanent list to the store LoadBlackList read it from;
  // false when it was never loaded or the store failed.
  bool SaveBlackList();
  void ClearBlackLists();
  void ShowBlackList(bool permanent);
  // First entry of the temporary (or permanent) list equal to url ignoring case.
  tUrlItem* FindBlackItem(const std::string& url, bool temporary) const;
  // Index of the entry of the shown list equal to url exactly (skipping
  // position except), else - with alsoOther - of the other list; -1.
  int FindBlack(const std::string& url, bool alsoOther, int except) const;
  // Adds or updates an entry; an entry held by the other list is moved into
  // the permanent list, or updated where it is for the temporary list.
  tUrlItem& AddBlack(const std::string& url, bool checked, bool permanent);
  // Moves an entry of the temporary list to the end of the permanent one.
  void MoveToPermanent(tUrlItem& entry);
  void SortBlackList(bool ascending);
  // True when a checked entry of either list matches the address.
  bool IsBlack(const std::string& url) const;
  // Marks deleted (in the deleted view: frees) every visible result whose
  // main address matches the pattern (see FindByUrl, with cut).
  void DeleteMatching(const std::string& pattern);
  // DeleteMatching for every checked entry of the shown list.
  void ApplyBlackList();

  // The registry key of the permanent list (each entry a subkey "0", "1", ...).
  static constexpr const char* kBlackListKey = "\\Software\\Oxbow\\Trawler\\blackurls";

 private:
  friend class tUrlResult;

  // Raises an event when assigned.
  void Raise(const Event& event) { if (event) event(*this); }
  // Runs OnBeginUpdate now and OnEndUpdate when it leaves scope.
  class UpdateScope;
  // Sets OnUpdate aside for its life.
  class HeldUpdate;
  // Defers writing the permanent black list to the end of its life.
  class BlackSaveHold;

  // Index maintenance, called by tUrlResult before and after its main
  // address changes.
  void Unindex(tUrlResult& result);
  void Reindex(tUrlResult& result);
  void IndexResult(tUrlResult& result, const std::string& samePageKey);
  // The address index is built on the first exact FindByUrl: a search that
  // never looks results up by address does not pay for it.
  void EnsureAddressIndex() const;
  int MergeHitByKey(const tHit& hit, const std::string& samePageKey, bool refreshing);

  // Frees every result for which doomed(result) is true: they leave the
  // list first, then their rows go and ResultsChanged is raised per result.
  void FreeWhere(const std::function<bool(const tUrlResult&)>& doomed);
  void ForgetFreed(tUrlResult& result, bool unindex);

  // Mark timer.
  void StartMarkTimer();
  void StopMarkTimer();
  void MarkTimerFired();
  void DropMarkCandidate();

  bool ResultPassesFilter(const tUrlResult& result) const;
  void BlackListChanged(tUrlList& list);

  platform::EventLoop* FLoop;
  std::vector<std::unique_ptr<tUrlResult>> FResults;
  std::uint64_t FNextOrder = 1;
  UrlIndex FSamePageIndex;          // SamePageKey(main URL): the merge
  mutable UrlIndex FAddressIndex;   // AddressKey(main URL): exact FindByUrl
  mutable bool FAddressIndexBuilt = false;

  int FDeletedCount = 0;
  int FNewCount = 0;
  int FOldCount = 0;
  bool FSaved = false;

  int FViewMode = vmAll;
  std::string FFilterText;
  int FFilterMode = fmAllWords;
  bool FFilterTitle = false;
  bool FFilterUrls = false;
  bool FFilterDescription = false;
  bool FFilterRegExpr = false;
  // The word filter prepared once per SetFilter, and the buffer the searched
  // text of each result is gathered in (reused, so filtering allocates little).
  text::WordMatcher FFilterWords{std::string_view(), fmAllWords};
  mutable std::string FFilterScratch;

  int FMarkInterval = 4;
  tUrlResult* FMarkCandidate = nullptr;
  platform::TimerId FMarkTimer = 0;

  tUrlList FPermanentBlackList;
  tUrlList FTemporaryBlackList;
  tUrlList* FBlackList = &FPermanentBlackList;
  // Set by a LoadBlackList that could read the stored list; a list that
  // could not be read is never written over.
  platform::RegistryStore* FBlackListStore = nullptr;
  bool FLoadingBlackList = false;
  int FBlackSaveHold = 0;
  bool FBlackSavePending = false;
  mutable BlackMatcher FBlackMatcher;
  mutable bool FBlackMatcherStale = true;
};

}  // namespace trawler::results
