#include "support/quickmenu/quick_menu.h"

#include <algorithm>
#include <unordered_set>

#include "support/text/case_folding.h"
#include "support/text/integer_text.h"

namespace trawler::quickmenu {

using platform::RegKey;

namespace {
constexpr std::string_view kCategoryValue = "Category";
constexpr std::string_view kIndexValue = "Index";
}  // namespace

std::string QMCaption(const std::string& title, const std::string& category) {
  return title + " (" + category + ")";
}

// ---- tQMItem

bool tQMItem::ReadFromKey() {
  RegKey key(FOwner->Store());
  if (!key.OpenKeyReadOnly(FKeyPath)) return false;
  std::optional<std::string> category = key.ReadString(kCategoryValue);
  if (!category) return false;
  FCategory = std::move(*category);
  FTitle = key.ReadString("").value_or("");
  FIndex = key.ReadInteger(kIndexValue).value_or(-1);
  return true;
}

void tQMItem::SetTitle(const std::string& title) {
  FTitle = title;
  RegKey key(FOwner->Store());
  if (key.OpenKeyReadOnly(FKeyPath)) key.WriteString("", title);
  // The caption keeps the form the menu was built with, category included.
  if (FMenuItem != 0 && FOwner->ParentMenuItem != nullptr)
    FOwner->ParentMenuItem->SetItemCaption(FMenuItem, QMCaption(FTitle, FCategory));
}

void tQMItem::SetCategory(const std::string& category) {
  FCategory = category;
  RegKey key(FOwner->Store());
  if (key.OpenKeyReadOnly(FKeyPath)) key.WriteString(kCategoryValue, category);
}

// ---- tQMList

tQMList::tQMList(platform::RegistryStore& store) : FStore(store) {}

tQMList::~tQMList() = default;

void tQMList::SetSortType(TQMSortType type) {
  FSortType = type;
  Reload();
}

tQMItem* tQMList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<std::size_t>(index)].get();
}

int tQMList::IndexOf(const tQMItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

void tQMList::Reload() {
  FItems.clear();
  if (ParentMenuItem != nullptr) ParentMenuItem->ClearItems();
  std::vector<std::string> names;
  {
    RegKey key(FStore);
    if (key.OpenKeyReadOnly(RegRootPath)) names = key.GetKeyNames();
  }
  for (const std::string& name : names) {
    auto item = std::unique_ptr<tQMItem>(new tQMItem(*this, RegRootPath + "\\" + name));
    if (item->ReadFromKey()) FItems.push_back(std::move(item));
  }
  Sort();
  BuildMenu();
}

void tQMList::Sort() {
  // Stable, so templates that compare equal keep the registry's order.
  if (FSortType == qmsCategory) {
    std::stable_sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
      return text::IntOfText(a->Category(), 0) < text::IntOfText(b->Category(), 0);
    });
  } else {
    std::stable_sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
      return text::CompareTextIgnoreCase(a->Title(), b->Title()) < 0;
    });
  }
}

void tQMList::BuildMenu() {
  for (int i = 0; i < Count(); ++i) AddMenuItem(*Items(i), i);
}

void tQMList::AddMenuItem(tQMItem& item, int position) {
  if (ParentMenuItem == nullptr) return;
  const bool newColumn = ItemsInMenu > 0 && position > 0 && position % ItemsInMenu == 0;
  item.FMenuItem = ParentMenuItem->AddItem(QMCaption(item.Title(), item.Category()), newColumn,
                                           [this, key = item.KeyPath()] { Clicked(key); });
}

void tQMList::Clicked(const std::string& keyPath) {
  tQMItem* item = FindByKey(keyPath);
  if (item != nullptr && OnClickMenu) OnClickMenu(*item);
}

tQMItem* tQMList::AddTemplate(const std::string& title) {
  std::unordered_set<std::string> taken;
  RegKey key(FStore);
  if (key.OpenKeyReadOnly(RegRootPath))
    for (const std::string& name : key.GetKeyNames()) taken.insert(name);
  key.CloseKey();
  int number = 0;
  while (taken.count(std::to_string(number)) != 0) ++number;
  const std::string keyPath = RegRootPath + "\\" + std::to_string(number);

  {
    // The template appears whole or not at all.
    platform::RegistryBatch batch(FStore);
    if (!key.OpenKey(keyPath, true)) return nullptr;
    key.WriteString(kCategoryValue, "0");
    key.WriteString("", title);
    key.WriteInteger(kIndexValue, Count());
    key.CloseKey();
    batch.Commit();
  }
  auto item = std::unique_ptr<tQMItem>(new tQMItem(*this, keyPath));
  if (!item->ReadFromKey()) {
    key.DeleteKey(keyPath);
    return nullptr;
  }
  FItems.push_back(std::move(item));
  AddMenuItem(*FItems.back(), Count() - 1);
  return FItems.back().get();
}

bool tQMList::MakeUniqueTitle(std::string& title) const {
  if (FindTemplate(title) == nullptr) return true;
  for (int n = 1; n <= kUniqueTitleTries; ++n) {
    std::string candidate = title + " " + std::to_string(n);
    if (FindTemplate(candidate) == nullptr) {
      title = std::move(candidate);
      return true;
    }
  }
  return false;
}

void tQMList::DeleteTemplate(tQMItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return;
  if (item->MenuItem() != 0 && ParentMenuItem != nullptr) ParentMenuItem->RemoveItem(item->MenuItem());
  const std::string keyPath = item->KeyPath();
  FItems.erase(FItems.begin() + index);
  RegKey key(FStore);
  key.DeleteKey(keyPath);
}

tQMItem* tQMList::FindTemplate(const std::string& title) const {
  for (const auto& item : FItems)
    if (item->Title() == title) return item.get();
  return nullptr;
}

tQMItem* tQMList::FindByKey(const std::string& keyPath) const {
  for (const auto& item : FItems)
    if (text::SameTextIgnoreCase(item->KeyPath(), keyPath)) return item.get();
  return nullptr;
}

}  // namespace trawler::quickmenu
