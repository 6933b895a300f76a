#include "results/black_list.h"

#include <algorithm>

#include "support/text/case_folding.h"

namespace trawler::results {

void tUrlItem::SetUrl(const std::string& url) {
  if (url == FUrl) return;
  FUrl = url;
  if (FOwner) FOwner->Changed();
}

void tUrlItem::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  if (FOwner) FOwner->Changed();
}

bool tUrlItem::IsPrefix() const { return FUrl.find("://") != std::string::npos; }

tUrlItem* tUrlList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<std::size_t>(index)].get();
}

int tUrlList::IndexOf(const tUrlItem* item) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return static_cast<int>(i);
  return -1;
}

tUrlItem& tUrlList::Add(std::string url, bool checked) {
  FItems.push_back(std::unique_ptr<tUrlItem>(new tUrlItem(*this, std::move(url), checked)));
  tUrlItem& added = *FItems.back();
  Changed();
  return added;
}

void tUrlList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
  Changed();
}

std::unique_ptr<tUrlItem> tUrlList::Extract(tUrlItem& item) {
  const int index = IndexOf(&item);
  if (index < 0) return nullptr;
  std::unique_ptr<tUrlItem> taken = std::move(FItems[static_cast<std::size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  taken->FOwner = nullptr;
  Changed();
  return taken;
}

tUrlItem& tUrlList::Adopt(std::unique_ptr<tUrlItem> item) {
  item->FOwner = this;
  FItems.push_back(std::move(item));
  tUrlItem& adopted = *FItems.back();
  Changed();
  return adopted;
}

void tUrlList::Clear() {
  if (FItems.empty()) return;
  // Entries are freed last first, as the view removes its rows.
  while (!FItems.empty()) FItems.pop_back();
  Changed();
}

tUrlItem* tUrlList::FindIgnoringCase(const std::string& url) const {
  for (const auto& item : FItems)
    if (text::SameTextIgnoreCase(item->Url(), url)) return item.get();
  return nullptr;
}

int tUrlList::FindExact(const std::string& url, int except) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (static_cast<int>(i) != except && FItems[i]->Url() == url) return static_cast<int>(i);
  return -1;
}

void tUrlList::Sort(bool ascending) {
  std::stable_sort(FItems.begin(), FItems.end(), [ascending](const auto& a, const auto& b) {
    const int order = text::CompareTextIgnoreCase(a->Url(), b->Url());
    return ascending ? order < 0 : order > 0;
  });
  Changed();
}

void tUrlList::Changed() {
  if (OnChange) OnChange(*this);
}

}  // namespace trawler::results
