#include "results/url_result.h"

#include <algorithm>

#include "results/results_list.h"
#include "support/text/case_folding.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"

namespace trawler::results {

namespace {

const std::string kNoUrl;

// Runs a call on the view's row, ignoring whatever it throws: the result's
// own fields are already set, and a row that cannot be updated is the view's
// concern.
template <class Fn>
void IgnoringRowErrors(Fn&& fn) {
  try {
    fn();
  } catch (...) {
  }
}

}  // namespace

tUrlResult::tUrlResult(tResultsList& owner, std::uint64_t order)
    : FOwner(&owner), FOrder(order) {}

tUrlResult::~tUrlResult() = default;

const std::string& tUrlResult::MainUrl() const {
  if (FUrls.empty()) return kNoUrl;
  return FUrls[static_cast<std::size_t>(FMainIndex)];
}

void tUrlResult::MainUrlChanging() { FOwner->Unindex(*this); }
void tUrlResult::MainUrlChanged() { FOwner->Reindex(*this); }

void tUrlResult::AddUrl(const std::string& url) {
  MainUrlChanging();
  FUrls.push_back(url);
  FMainIndex = static_cast<int>(FUrls.size()) - 1;
  MainUrlChanged();
}

void tUrlResult::AddOtherUrl(const std::string& url) {
  if (FUrls.empty()) {
    AddUrl(url);
    return;
  }
  FUrls.push_back(url);
}

void tUrlResult::SetMainIndex(int index) {
  if (index < 0 || index >= static_cast<int>(FUrls.size()) || index == FMainIndex) return;
  MainUrlChanging();
  FMainIndex = index;
  MainUrlChanged();
}

std::vector<std::string> tUrlResult::OtherUrls() const {
  std::vector<std::string> others;
  for (std::size_t i = 0; i < FUrls.size(); ++i)
    if (static_cast<int>(i) != FMainIndex) others.push_back(FUrls[i]);
  return others;
}

bool tUrlResult::AddEngine(const std::string& key) {
  for (const std::string& engine : Engines)
    if (text::SameTextIgnoreCase(engine, key)) return false;
  Engines.push_back(key);
  return true;
}

void tUrlResult::SetIsNew(bool value) {
  if (value == FIsNew) return;
  FIsNew = value;
  if (value) {
    ++FOwner->FNewCount;
    --FOwner->FOldCount;
  } else {
    --FOwner->FNewCount;
    ++FOwner->FOldCount;
  }
}

void tUrlResult::SetDeleted(bool value) {
  if (value == FDeleted) return;
  FDeleted = value;
  FOwner->FDeletedCount += value ? 1 : -1;
}

void tUrlResult::SetSelected(bool value) {
  tResultsList& list = *FOwner;
  FSelected = value;
  if (FSelected && FIsNew && list.FMarkInterval == 0) {
    SetIsNew(false);
    ApplyFilter();
    if (FVisible && FListItem) RefreshRow();
  }
  if (!FSelected && list.FMarkCandidate == this) {
    list.DropMarkCandidate();
  } else if (FSelected && FIsNew) {
    list.DropMarkCandidate();
    list.FMarkCandidate = this;
    if (list.FMarkInterval > 0) list.StartMarkTimer();
  }
}

void tUrlResult::SetCheckState(int state) {
  const bool changed = state != CheckState;
  CheckState = state;
  if (FListItem) IgnoringRowErrors([&] { FListItem->SetImage(state); });
  if (changed) FOwner->ResultsChanged();
}

void tUrlResult::SetTitle(const std::string& text) {
  const bool changed = !text::SameTextIgnoreCase(text, Title);
  Title = text;
  if (changed) FOwner->ResultsChanged();
}

void tUrlResult::ApplyFilter() {
  FVisible = FOwner->ResultPassesFilter(*this);
  if (FVisible) return;
  ReleaseRow();
  FSelected = false;
  if (FOwner->FMarkCandidate == this) FOwner->DropMarkCandidate();
}

void tUrlResult::BindRow(results::ListItem* row) {
  FListItem = row;
  RefreshRow();
}

void tUrlResult::ReleaseRow() {
  results::ListItem* row = FListItem;
  FListItem = nullptr;
  if (!row) return;
  IgnoringRowErrors([&] { row->Unbind(); });
  IgnoringRowErrors([&] { row->Delete(); });
}

void tUrlResult::RefreshRow() {
  results::ListItem* row = FListItem;
  if (!row) return;
  IgnoringRowErrors([&] {
    row->SetCaption(Title);
    while (row->ColumnCount() < 4) row->AddColumn();
    row->SetImage(CheckState);
    auto write = [row](int column, const std::string& text) {
      if (row->Column(column) != text) row->SetColumn(column, text);
    };
    write(0, MainUrl());
    write(1, EnginesText());
    if (Date > 0) write(2, text::FormatLocaleShortDate(Date));
    write(3, std::to_string(Relevance));
  });
}

std::string tUrlResult::EngineTitle(const std::string& key) const {
  std::string title = key;
  if (FOwner->OnEngineTitle) FOwner->OnEngineTitle(key, title);
  return title;
}

std::string tUrlResult::EnginesText() const {
  std::string text;
  for (std::size_t i = 0; i < Engines.size(); ++i) {
    if (i > 0) text += ' ';
    text += EngineTitle(Engines[i]);
  }
  return text;
}

std::string tUrlResult::SummaryText() {
  if (FUrls.empty()) return "???";
  if (FMainIndex >= static_cast<int>(FUrls.size())) SetMainIndex(0);
  std::string tip = "Title: " + Title + "\r\nURL: " + MainUrl();
  for (const std::string& other : OtherUrls()) tip += "\r\n" + other;
  tip += "\r\n";
  for (std::size_t i = 0; i < Engines.size(); ++i) {
    tip += i == 0 ? "Engines: " : "; ";
    tip += EngineTitle(Engines[i]);
  }
  if (Date > 0) tip += "\r\nDate: " + text::FormatLocaleShortDate(Date);
  if (Relevance > 0) tip += "\r\nRelevance: " + std::to_string(Relevance);
  if (!Server.empty()) tip += "\r\nServer: " + Server;
  if (Code > 0) tip += "\r\nResult: " + std::to_string(Code) + " " + Reason;
  if (!ContentType.empty()) tip += "\r\nContent: " + ContentType + " " + Size;
  if (!Description.empty()) tip += "\r\n\r\n" + text::HtmlToText(Description);
  constexpr std::size_t kLongest = 512;
  if (text::Utf8Length(tip) > kLongest) tip = text::CutToChars(tip, kLongest - 3) + "...";
  return tip;
}

}  // namespace trawler::results
