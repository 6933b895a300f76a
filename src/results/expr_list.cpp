#include "results/expr_list.h"

#include <algorithm>

namespace trawler::results {

using platform::RegKey;

const tExprDefault kExprDefaults[5] = {
    {"Emails", R"([_a-zA-Z\d\-\.]+@[_a-zA-Z\d\-]+(\.[_a-zA-Z\d\-]+)+)"},
    {"HTTP URLs", R"((?i)http://[_a-zA-Z/\d\-]+(\.[_a-zA-Z?&-/\d\-]+)+)"},
    {"FTP URLs", R"((?i)ftp://[_a-zA-Z/\d\-]+(\.[_a-zA-Z?&-/\d\-]+)+)"},
    {"Audio links", R"((?i)(http://|ftp://)[_a-zA-Z/\d\-]+(\.[_a-zA-Z/\d\-]+)+(\.mid|\.mp3|\.wav))"},
    {"Video links",
     R"((?i)(http://|ftp://)[_a-zA-Z/\d\-]+(\.[_a-zA-Z/\d\-]+)+(\.mpg|\.mpeg|\.ram|\.ra|\.avi))"},
};

namespace {

constexpr std::string_view kExpressionValue = "Expression";

std::string SubKeyPath(const std::string& base, std::string_view name) {
  return base + "\\" + std::string(name);
}

// Largest number among the subkey names of base, or `none` when there are
// none (or the key cannot be opened).
long long LargestKeyNumber(platform::RegistryStore& store, const std::string& base, long long none) {
  RegKey key(store);
  long long largest = none;
  if (!key.OpenKeyReadOnly(base)) return largest;
  for (const std::string& name : key.GetKeyNames()) largest = std::max(largest, ExprKeyNumber(name));
  return largest;
}

}  // namespace

long long ExprKeyNumber(std::string_view name) {
  std::size_t at = 0;
  bool negative = false;
  if (at < name.size() && (name[at] == '-' || name[at] == '+')) negative = name[at++] == '-';
  // 18 digits always fit; longer names are not numbers the program gave out.
  if (at == name.size() || name.size() - at > 18) return 0;
  long long value = 0;
  for (; at < name.size(); ++at) {
    if (name[at] < '0' || name[at] > '9') return 0;
    value = value * 10 + (name[at] - '0');
  }
  return negative ? -value : value;
}

// ---- tExprItem

void tExprItem::Read() {
  if (ItemKey.empty()) return;
  RegKey key(FOwner->Store());
  if (!key.OpenKeyReadOnly(ItemKey)) return;
  if (auto name = key.ReadString("")) Name = std::move(*name);
  if (auto expression = key.ReadString(kExpressionValue)) Expression = std::move(*expression);
}

bool tExprItem::Save() {
  if (ItemKey.empty()) FOwner->AssignKey(*this);
  RegKey key(FOwner->Store());
  if (!key.OpenKey(ItemKey, true)) return false;
  // Both values in one transaction, so a template is never left half written.
  platform::RegistryBatch batch(FOwner->Store());
  const bool written = key.WriteString("", Name) && key.WriteString(kExpressionValue, Expression);
  return written && batch.Commit();
}

// ---- tExprList

tExprList::tExprList(platform::RegistryStore& store, std::string baseKey)
    : BaseKey(std::move(baseKey)), FStore(store) {}

tExprList::~tExprList() { Clear(); }

tExprItem* tExprList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<std::size_t>(index)].get();
}

int tExprList::IndexOf(const tExprItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

tExprItem& tExprList::NewItem() {
  FItems.push_back(std::unique_ptr<tExprItem>(new tExprItem(*this)));
  return *FItems.back();
}

void tExprList::FreeItem(tExprItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

void tExprList::Clear() {
  while (!FItems.empty()) FItems.pop_back();
}

bool tExprList::AssignKey(tExprItem& item) {
  item.ItemKey = SubKeyPath(BaseKey, std::to_string(LargestKeyNumber(FStore, BaseKey, -1) + 1));
  return true;
}

bool tExprList::Delete(int index) {
  tExprItem* item = Items(index);
  if (item == nullptr) return false;
  if (!item->ItemKey.empty()) {
    RegKey key(FStore);
    // A key another copy of the program already removed is as good as deleted.
    if (!key.DeleteKey(item->ItemKey) && key.KeyExists(item->ItemKey)) return false;
  }
  FreeItem(item);
  return true;
}

void tExprList::WriteDefaults() {
  RegKey key(FStore);
  if (!key.OpenKey(BaseKey, true)) return;
  key.CloseKey();
  // One transaction: a first start that fails half-way leaves no partial set
  // that would keep the remaining defaults from ever being written.
  platform::RegistryBatch batch(FStore);
  for (std::size_t i = 0; i < std::size(kExprDefaults); ++i) {
    if (!key.OpenKey(SubKeyPath(BaseKey, std::to_string(i)), true)) continue;
    key.WriteString("", kExprDefaults[i].Name);
    key.WriteString(kExpressionValue, kExprDefaults[i].Expression);
  }
  batch.Commit();
}

void tExprList::Load() {
  {
    RegKey probe(FStore);
    if (!probe.KeyExists(BaseKey)) WriteDefaults();
  }
  Clear();
  std::vector<std::string> names;
  {
    RegKey key(FStore);
    if (key.OpenKeyReadOnly(BaseKey)) names = key.GetKeyNames();
  }
  long long largest = 0;
  for (const std::string& name : names) {
    tExprItem& item = NewItem();
    item.ItemKey = SubKeyPath(BaseKey, name);
    item.Read();
    if (item.Name.empty() || item.Expression.empty()) FreeItem(&item);
    largest = std::max(largest, ExprKeyNumber(name));
  }
  if (largest <= kRenumberAbove) return;

  // Numbers are never reused, so a store edited for years creeps upwards;
  // past the threshold it is written afresh as "0", "1", ... in list order,
  // dropping the subkeys that were not templates. All in one transaction, so
  // a failure half-way keeps the old store instead of losing templates.
  platform::RegistryBatch batch(FStore);
  RegKey key(FStore);
  if (!batch.Active() || !key.DeleteKey(BaseKey)) return;
  std::vector<std::string> oldKeys;
  bool saved = true;
  for (const auto& item : FItems) {
    oldKeys.push_back(item->ItemKey);
    item->ItemKey.clear();
    saved = item->Save() && saved;
  }
  if (saved && batch.Commit()) return;
  // Rolled back: the items still live under their old numbers.
  for (std::size_t i = 0; i < FItems.size(); ++i) FItems[i]->ItemKey = oldKeys[i];
}

}  // namespace trawler::results
