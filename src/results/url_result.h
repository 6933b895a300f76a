// One result of a search: a page that one or more engines returned, under one
// or more spellings of its address, with the marks the user works with.
//
// A result always belongs to a tResultsList, which creates and frees it. The
// marks that the list counts (new/old, deleted) and the addresses that the
// list indexes are changed only through methods, so the counts and the index
// can never drift from the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/list_item.h"
#include "support/text/dates.h"

namespace trawler::results {

class tResultsList;

// Check state of a result; it is also the picture of the result's row.
enum tCheckState : int { csGood = 0, csUnchecked = 1, csBad = 2 };

class tUrlResult {
 public:
  tUrlResult(const tUrlResult&) = delete;
  tUrlResult& operator=(const tUrlResult&) = delete;
  ~tUrlResult();

  tResultsList* Owner() const { return FOwner; }

  // Plain data: the list never derives anything from these.
  bool Separate = false;
  std::string Title;
  std::vector<std::string> Engines;  // engine keys, no two equal ignoring case via AddEngine
  int Relevance = 0;                 // 1 to 100 from hits, 0 when none
  text::TDateTime Date = 0;          // 0 when none
  text::TDateTime Created = 0;
  std::string Description;  // may hold HTML
  int CheckState = csUnchecked;
  std::string Size;         // from the link check
  int Code = 0;             // HTTP status of the last link check, 0 when never checked
  std::string Reason;
  std::string ContentType;
  std::string Server;

  // Addresses. MainIndex always names one of Urls once there is one.
  const std::vector<std::string>& Urls() const { return FUrls; }
  int MainIndex() const { return FMainIndex; }
  // Urls[MainIndex], or "" for a result without addresses.
  const std::string& MainUrl() const;
  // Appends url (no duplicate check) and makes it the main address.
  void AddUrl(const std::string& url);
  // Appends url as a further address; the main address stays.
  void AddOtherUrl(const std::string& url);
  // Makes Urls[index] the main address; an index outside the list is ignored.
  void SetMainIndex(int index);
  // Every address but the main one, in order.
  std::vector<std::string> OtherUrls() const;

  // Adds key unless Engines already holds it ignoring case; true when added.
  bool AddEngine(const std::string& key);

  // Marks. The setters keep the owner's counts equal to the marks; they do
  // not filter, refresh the row or clear Saved (the commands do that).
  bool IsNew() const { return FIsNew; }
  void SetIsNew(bool value);
  bool Deleted() const { return FDeleted; }
  void SetDeleted(bool value);
  bool Visible() const { return FVisible; }
  bool Selected() const { return FSelected; }
  // Selects or deselects, turning a selected new result old according to the
  // owner's MarkInterval.
  void SetSelected(bool value);
  // Sets the check state and the row's picture; a change clears Saved.
  void SetCheckState(int state);
  // Replaces the title; a change other than in letter case clears Saved.
  void SetTitle(const std::string& text);

  // Recomputes Visible from the owner's view mode and filter; a result that
  // leaves the view loses its row, its selection and its mark-timer wait.
  void ApplyFilter();

  // The bound row of the result view, or none.
  results::ListItem* ListItem() const { return FListItem; }
  // Binds a row (the view calls this when it shows the result) and writes it;
  // a view that drops its rows by itself binds none (nullptr) first.
  void BindRow(results::ListItem* row);
  // Unbinds and deletes the bound row; errors of the row are ignored.
  void ReleaseRow();
  // Brings the bound row up to date; does nothing when none is bound.
  void RefreshRow();

  // The engine titles (through the owner's OnEngineTitle) joined by a space.
  std::string EnginesText() const;
  // The tip text of the row: title, addresses, engines, date, check details
  // and the description as plain text, at most 512 characters.
  std::string SummaryText();

 private:
  friend class tResultsList;
  explicit tUrlResult(tResultsList& owner, std::uint64_t order);

  std::string EngineTitle(const std::string& key) const;
  void MainUrlChanging();
  void MainUrlChanged();

  tResultsList* FOwner;
  std::uint64_t FOrder;     // creation order; list order
  std::size_t FPosition = 0;  // index in the owner's Results
  std::vector<std::string> FUrls;
  int FMainIndex = 0;
  bool FIsNew = true;
  bool FDeleted = false;
  bool FVisible = true;
  bool FSelected = false;
  results::ListItem* FListItem = nullptr;
  bool FIndexed = false;  // the owner's indexes hold it under its main URL
};

}  // namespace trawler::results
