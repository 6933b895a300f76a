// The result list: creating and freeing results, merging hits, counts,
// lookups. Marks, view mode and filter are in results_list_marks.cpp, the
// black lists in results_list_black.cpp.

#include "results/results_list.h"

#include "results/results_list_scopes.h"
#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::results {

tResultsList::tResultsList(platform::EventLoop* loop) : FLoop(loop) {
  FPermanentBlackList.OnChange = [this](tUrlList& list) { BlackListChanged(list); };
  FTemporaryBlackList.OnChange = [this](tUrlList& list) { BlackListChanged(list); };
}

tResultsList::~tResultsList() {
  DropMarkCandidate();
  // No list events while the list goes away: whoever handles them may be
  // going away too. The view's rows are still unbound and deleted.
  std::vector<std::unique_ptr<tUrlResult>> results = std::move(FResults);
  FResults.clear();
  FSamePageIndex.Clear();
  FAddressIndex.Clear();
  for (auto& r : results) r->FIndexed = false;
  for (auto it = results.rbegin(); it != results.rend(); ++it) (*it)->ReleaseRow();
  results.clear();
  if (FBlackListStore) SaveBlackList();
  FPermanentBlackList.OnChange = nullptr;
  FTemporaryBlackList.OnChange = nullptr;
}

// ---- Results

tUrlResult* tResultsList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FResults[static_cast<std::size_t>(index)].get();
}

int tResultsList::IndexOf(const tUrlResult* result) const {
  if (!result || result->FOwner != this) return -1;
  const std::size_t at = result->FPosition;
  if (at < FResults.size() && FResults[at].get() == result) return static_cast<int>(at);
  return -1;
}

tUrlResult& tResultsList::CreateResult() {
  FResults.push_back(std::unique_ptr<tUrlResult>(new tUrlResult(*this, FNextOrder++)));
  tUrlResult& result = *FResults.back();
  result.FPosition = FResults.size() - 1;
  ++FNewCount;  // a result starts new
  return result;
}

void tResultsList::Unindex(tUrlResult& result) {
  if (!result.FIndexed) return;
  // The keys are made again from the main URL the result was indexed under
  // rather than kept: that halves what a large search holds.
  FSamePageIndex.Erase(SamePageKey(result.MainUrl()), &result);
  if (FAddressIndexBuilt) FAddressIndex.Erase(AddressKey(result.MainUrl()), &result);
  result.FIndexed = false;
}

void tResultsList::Reindex(tUrlResult& result) {
  Unindex(result);
  if (!result.FUrls.empty()) IndexResult(result, SamePageKey(result.MainUrl()));
}

void tResultsList::IndexResult(tUrlResult& result, const std::string& samePageKey) {
  FSamePageIndex.Insert(samePageKey, result.FOrder, &result);
  if (FAddressIndexBuilt)
    FAddressIndex.Insert(AddressKey(result.MainUrl()), result.FOrder, &result);
  result.FIndexed = true;
}

void tResultsList::EnsureAddressIndex() const {
  if (FAddressIndexBuilt) return;
  FAddressIndex.Reserve(FResults.size());
  for (const auto& r : FResults)
    if (r->FIndexed) FAddressIndex.Insert(AddressKey(r->MainUrl()), r->FOrder, r.get());
  FAddressIndexBuilt = true;
}

void tResultsList::ForgetFreed(tUrlResult& result, bool unindex) {
  if (unindex) Unindex(result);
  result.FIndexed = false;
  if (result.FDeleted) --FDeletedCount;
  if (result.FIsNew)
    --FNewCount;
  else
    --FOldCount;
  if (FMarkCandidate == &result) DropMarkCandidate();
}

void tResultsList::FreeWhere(const std::function<bool(const tUrlResult&)>& doomed) {
  std::vector<std::unique_ptr<tUrlResult>> freed;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    if (doomed(*FResults[i])) {
      freed.push_back(std::move(FResults[i]));
    } else {
      FResults[kept] = std::move(FResults[i]);
      FResults[kept]->FPosition = kept;
      ++kept;
    }
  }
  FResults.resize(kept);
  // The list and its counts are whole again before any row or handler runs.
  const bool all = kept == 0;
  if (all) {
    FSamePageIndex.Clear();
    FAddressIndex.Clear();
  }
  for (auto& result : freed) ForgetFreed(*result, !all);
  for (auto it = freed.rbegin(); it != freed.rend(); ++it) {
    (*it)->ReleaseRow();
    ResultsChanged();
  }
}

void tResultsList::FreeResult(tUrlResult* result) {
  if (IndexOf(result) < 0) return;
  FreeWhere([result](const tUrlResult& r) { return &r == result; });
}

void tResultsList::Clear() {
  {
    UpdateScope update(*this);
    FreeWhere([](const tUrlResult&) { return true; });
  }
  FileName.clear();
  ResultsChanged();
}

// ---- Merging hits

tResultsList::AddHitResult tResultsList::AddHit(const tHit& hit, bool refreshing) {
  const std::string key = SamePageKey(hit.Url);
  int status = hit.Separate ? hsNew : MergeHitByKey(hit, key, refreshing);
  if (status != hsNew) return {nullptr, status};

  tUrlResult& result = CreateResult();
  result.FUrls.push_back(hit.Url);
  result.FMainIndex = 0;
  IndexResult(result, key);
  result.Title = hit.Title;
  result.Description = hit.Description;
  result.AddEngine(hit.Engine);
  result.CheckState = hit.CheckState;
  result.Date = hit.Date;
  result.Relevance = hit.Relevance;
  result.Separate = hit.Separate;
  if (IsBlack(result.MainUrl())) {
    status = hsSamePage;
    result.SetDeleted(true);
  }
  result.ApplyFilter();
  ResultsChanged();
  return {&result, status};
}

int tResultsList::MergeHit(const tHit& hit, bool refreshing) {
  return MergeHitByKey(hit, SamePageKey(hit.Url), refreshing);
}

int tResultsList::MergeHitByKey(const tHit& hit, const std::string& samePageKey,
                                bool refreshing) {
  // The first result in list order whose main address names the hit's page.
  const UrlIndex::Bucket* matches = FSamePageIndex.Find(samePageKey);
  if (!matches) return hsNew;
  tUrlResult& r = *matches->Front();
  const bool hitHasDate = hit.Date != 0;
  const bool takesDate = r.Date == 0 && hitHasDate;
  int status;
  bool changed = false;

  if (r.MainUrl() != hit.Url) {
    status = hsSamePage;
    if (r.AddEngine(hit.Engine)) {
      changed = true;
      status = hsMerged;
    }
    bool held = false;
    for (const std::string& url : r.FUrls)
      if (text::SameTextIgnoreCase(url, hit.Url)) held = true;
    if (!held) {
      r.AddOtherUrl(hit.Url);
      changed = true;
      status = hsMerged;
    }
    // A date learnt from another spelling is not worth reporting or saving.
    if (takesDate) r.Date = hit.Date;
  } else {
    status = hsDuplicate;
    if (r.AddEngine(hit.Engine)) {
      changed = true;
      status = hsMerged;
    }
    if (takesDate) {
      r.Date = hit.Date;
      changed = true;
      status = hsMerged;
    }
    if (refreshing || !r.IsNew()) status = hsMerged;
  }
  r.RefreshRow();
  if (changed) ResultsChanged();
  return status;
}

// ---- Counts

int tResultsList::CountDeleted() const {
  int n = 0;
  for (const auto& r : FResults) n += r->FDeleted ? 1 : 0;
  return n;
}

int tResultsList::CountNew() const {
  int n = 0;
  for (const auto& r : FResults) n += r->FIsNew ? 1 : 0;
  return n;
}

void tResultsList::Recount() {
  FDeletedCount = CountDeleted();
  FNewCount = CountNew();
  FOldCount = Count() - FNewCount;
}

// ---- Saved state

void tResultsList::SetSaved(bool value) {
  FSaved = value;
  Raise(OnSavedChange);
}

void tResultsList::ResultsChanged() { SetSaved(false); }

// ---- Lookups

int tResultsList::FindByTitle(const std::string& text) const {
  const std::string wanted = text::UpperText(text);
  for (std::size_t i = 0; i < FResults.size(); ++i) {
    const std::string title = text::UpperText(FResults[i]->Title);
    if (title.compare(0, wanted.size(), wanted) == 0) return static_cast<int>(i);
  }
  return -1;
}

tUrlResult* tResultsList::FindByUrl(const std::string& pattern, bool cut, int start,
                                    bool visibleOnly) const {
  const std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
  const bool isAddress = pattern.find("://") != std::string::npos;
  auto eligible = [&](const tUrlResult& r) {
    return r.FPosition >= from && (!visibleOnly || r.FVisible);
  };

  if (isAddress) {
    // Addresses are compared ignoring case on both sides: the result's
    // normalised main address is kept lowercased as its address key.
    const std::string wanted = text::LowerText(pattern);
    if (!cut) {
      EnsureAddressIndex();
      const UrlIndex::Bucket* matches = FAddressIndex.Find(wanted);
      return matches ? matches->FindFirst([&](const tUrlResult* r) { return eligible(*r); })
                     : nullptr;
    }
    for (std::size_t i = from; i < FResults.size(); ++i) {
      const tUrlResult& r = *FResults[i];
      if (!eligible(r) || r.FUrls.empty()) continue;
      const std::string key = AddressKey(r.MainUrl());
      if (key.size() >= wanted.size() && key.compare(0, wanted.size(), wanted) == 0)
        return FResults[i].get();
    }
    return nullptr;
  }

  for (std::size_t i = from; i < FResults.size(); ++i) {
    const tUrlResult& r = *FResults[i];
    if (!eligible(r)) continue;
    if (text::HostMatchesMask(pattern, text::NormalizeUrl(r.MainUrl(), false)))
      return FResults[i].get();
  }
  return nullptr;
}

}  // namespace trawler::results
