// The two black lists of the result list: the permanent one, kept in the
// registry, and the temporary one that travels with a result set.

#include <unordered_set>

#include "results/results_list.h"
#include "results/results_list_scopes.h"

namespace trawler::results {

namespace {

std::string EntryKey(int index) {
  return std::string(tResultsList::kBlackListKey) + "\\" + std::to_string(index);
}

}  // namespace

void tResultsList::BlackListChanged(tUrlList& list) {
  FBlackMatcherStale = true;
  if (&list != &FPermanentBlackList || !FBlackListStore || FLoadingBlackList) return;
  // The user's entries are written as soon as they change, so that a crash
  // of the program never loses them.
  if (FBlackSaveHold > 0)
    FBlackSavePending = true;
  else
    SaveBlackList();
}

void tResultsList::LoadBlackList(platform::RegistryStore& store) {
  Raise(OnBlackListClear);
  FLoadingBlackList = true;
  FPermanentBlackList.Clear();
  platform::RegKey key(store);
  const bool readable = key.OpenKey(kBlackListKey, true);
  FBlackListStore = readable ? &store : nullptr;
  if (readable) {
    for (const std::string& name : key.GetKeyNames()) {
      platform::RegKey entry(store);
      if (!entry.OpenKey(std::string(kBlackListKey) + "\\" + name, false)) continue;
      const std::string url = entry.ReadString("url").value_or(std::string());
      bool checked = false;
      switch (entry.GetDataType("checked")) {
        case platform::RegType::None:
          break;
        case platform::RegType::Integer:
          checked = entry.ReadInteger("checked").value_or(0) == 1;
          break;
        default:
          // A damaged mark is dropped; the entry stays, unchecked.
          entry.DeleteValue("checked");
          break;
      }
      if (!url.empty()) FPermanentBlackList.Add(url, checked);
    }
  }
  FLoadingBlackList = false;
  FBlackMatcherStale = true;
  Raise(OnBlackListUpdate);
}

bool tResultsList::SaveBlackList() {
  if (!FBlackListStore) return false;
  platform::RegistryStore& store = *FBlackListStore;
  // One transaction: the stored list is replaced whole or not at all.
  platform::RegistryBatch batch(store);
  platform::RegKey key(store);
  key.DeleteKey(kBlackListKey);
  if (!key.CreateKey(kBlackListKey)) return false;
  for (int i = 0; i < FPermanentBlackList.Count(); ++i) {
    const tUrlItem& item = *FPermanentBlackList.Items(i);
    if (!key.OpenKey(EntryKey(i), true)) return false;
    if (!key.WriteString("url", item.Url())) return false;
    if (item.Checked() && !key.WriteInteger("checked", 1)) return false;
  }
  return batch.Commit();
}

void tResultsList::ClearBlackLists() {
  Raise(OnBlackListClear);
  {
    BlackSaveHold hold(*this);
    FPermanentBlackList.Clear();
    FTemporaryBlackList.Clear();
  }
  Raise(OnBlackListUpdate);
}

void tResultsList::ShowBlackList(bool permanent) {
  Raise(OnBlackListClear);
  FBlackList = permanent ? &FPermanentBlackList : &FTemporaryBlackList;
  Raise(OnBlackListUpdate);
}

tUrlItem* tResultsList::FindBlackItem(const std::string& url, bool temporary) const {
  return (temporary ? FTemporaryBlackList : FPermanentBlackList).FindIgnoringCase(url);
}

int tResultsList::FindBlack(const std::string& url, bool alsoOther, int except) const {
  const int found = FBlackList->FindExact(url, except);
  if (found >= 0 || !alsoOther) return found;
  const tUrlList& other =
      FBlackList == &FPermanentBlackList ? FTemporaryBlackList : FPermanentBlackList;
  return other.FindExact(url, except);
}

tUrlItem& tResultsList::AddBlack(const std::string& url, bool checked, bool permanent) {
  BlackSaveHold hold(*this);
  tUrlItem* entry;
  if (permanent) {
    entry = FPermanentBlackList.FindIgnoringCase(url);
    if (!entry) {
      if (tUrlItem* held = FTemporaryBlackList.FindIgnoringCase(url))
        entry = &FPermanentBlackList.Adopt(FTemporaryBlackList.Extract(*held));
    }
    if (!entry) entry = &FPermanentBlackList.Add(url, checked);
  } else {
    entry = FTemporaryBlackList.FindIgnoringCase(url);
    if (!entry) entry = FPermanentBlackList.FindIgnoringCase(url);
    if (!entry) entry = &FTemporaryBlackList.Add(url, checked);
  }
  entry->SetUrl(url);
  entry->SetChecked(checked);
  return *entry;
}

void tResultsList::MoveToPermanent(tUrlItem& entry) {
  if (entry.Owner() != &FTemporaryBlackList) return;
  BlackSaveHold hold(*this);
  FPermanentBlackList.Adopt(FTemporaryBlackList.Extract(entry));
}

void tResultsList::SortBlackList(bool ascending) { FBlackList->Sort(ascending); }

bool tResultsList::IsBlack(const std::string& url) const {
  if (FBlackMatcherStale) {
    FBlackMatcher.Build({&FTemporaryBlackList, &FPermanentBlackList});
    FBlackMatcherStale = false;
  }
  return FBlackMatcher.Matches(url);
}

void tResultsList::DeleteMatching(const std::string& pattern) {
  HeldUpdate held(*this);
  if ((FViewMode & vmDeleted) != 0) {
    // Freed all at once: the list is compacted in one pass.
    std::unordered_set<const tUrlResult*> matching;
    int at = 0;
    while (const tUrlResult* r = FindByUrl(pattern, true, at, true)) {
      matching.insert(r);
      at = IndexOf(r) + 1;
    }
    FreeWhere([&](const tUrlResult& r) { return matching.count(&r) != 0; });
    return;
  }
  int at = 0;
  while (tUrlResult* r = FindByUrl(pattern, true, at, true)) {
    const bool marked = !r->Deleted();
    r->SetDeleted(true);
    r->ApplyFilter();
    at = IndexOf(r) + 1;
    if (marked) ResultsChanged();
  }
}

void tResultsList::ApplyBlackList() {
  std::vector<std::string> patterns;
  for (int i = 0; i < FBlackList->Count(); ++i)
    if (FBlackList->Items(i)->Checked()) patterns.push_back(FBlackList->Items(i)->Url());
  for (const std::string& pattern : patterns) DeleteMatching(pattern);
}

}  // namespace trawler::results
