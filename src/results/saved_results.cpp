// The catalogue's items: reading, finding, saving, deleting and renaming.
// The recent files are in saved_results_mru.cpp, folder scans in
// saved_results_scan.cpp.

#include "results/saved_results.h"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "results/saved_result_names.h"

namespace trawler::results {

namespace {

std::optional<platform::Hive> HiveOf(tUPRegistryKey root) {
  switch (root) {
    case uprkCurrentUser: return platform::Hive::CurrentUser;
    case uprkLocalMachine: return platform::Hive::LocalMachine;
    case uprkClassesRoot: return platform::Hive::ClassesRoot;
    case uprkUnknown: break;
  }
  return std::nullopt;
}

// The name for a new item's subkey: one above the highest numbered subkey,
// so that it can never be the name of an existing item (whatever other
// names the key holds and in whatever order they were made).
std::string NextItemName(const std::vector<std::string>& names) {
  std::uint32_t highest = 0;
  for (const std::string& name : names)
    if (auto value = ParseHexName(name)) highest = std::max(highest, *value);
  if (highest < 0xFFFFFFFFu) return HexName(highest + 1);
  // Every number up to the top is taken by name; take the lowest free one.
  for (std::uint32_t value = 1;; ++value) {
    const std::string name = HexName(value);
    const bool taken = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
      return ParseHexName(n) == value;
    });
    if (!taken) return name;
  }
}

void WriteFacts(platform::RegKey& key, const tUPResult& item) {
  key.WriteDateTime("Date", item.Date);
  key.WriteInteger("Count", item.Count);
  key.WriteString("Category", item.Category);
  key.WriteString("Keywords", item.Keywords);
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& a, const std::string& b,
                                 int error) {
  throw std::filesystem::filesystem_error(what, a, b,
                                          std::error_code(error, std::generic_category()));
}

// Renames a file without ever replacing another one.
void RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  const int error = errno;
  if (error != EINVAL && error != ENOSYS) ThrowFileError("cannot rename", from, to, error);
  // A file system without the no-replace rename: test first, then rename.
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(to, ec)))
    ThrowFileError("cannot rename", from, to, EEXIST);
  std::filesystem::rename(from, to);
}

}  // namespace

tUPResultsList::tUPResultsList(platform::RegistryStore& store) : FStore(store) {}

tUPResultsList::~tUPResultsList() = default;

std::optional<platform::RegKey> tUPResultsList::OpenKey(bool create) const {
  const auto hive = HiveOf(RootKey);
  if (!hive || Key.empty()) return std::nullopt;
  std::optional<platform::RegKey> key(std::in_place, FStore, *hive);
  if (!key->OpenKey(Key, create)) return std::nullopt;
  return key;
}

std::optional<platform::RegKey> tUPResultsList::OpenSubKey(const std::string& name) const {
  const auto hive = HiveOf(RootKey);
  if (!hive) return std::nullopt;
  std::optional<platform::RegKey> key(std::in_place, FStore, *hive);
  if (!key->OpenKey(Key + "\\" + name, false)) return std::nullopt;
  return key;
}

// ---- Items

tUPResult* tUPResultsList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<std::size_t>(index)].get();
}

tUPResult* tUPResultsList::FindItem(const std::string& file) const {
  for (const auto& item : FItems)
    if (SamePath(item->FileName, file)) return item.get();
  return nullptr;
}

tUPResult& tUPResultsList::AddItem() {
  FItems.push_back(std::unique_ptr<tUPResult>(new tUPResult(*this)));
  return *FItems.back();
}

tUPResult& tUPResultsList::FindOrAddItem(const std::string& file) {
  if (tUPResult* item = FindItem(file)) return *item;
  tUPResult& item = AddItem();
  item.FileName = file;
  return item;
}

void tUPResultsList::FreeItem(tUPResult* item) {
  auto it = std::find_if(FItems.begin(), FItems.end(),
                         [item](const auto& owned) { return owned.get() == item; });
  if (it != FItems.end()) FItems.erase(it);
}

// ---- Reading

void tUPResultsList::Load() {
  ClearMru();
  ClearItems();
  LoadMru();
  LoadItems();
  Raise(OnLoadList);
}

void tUPResultsList::LoadItems() {
  if (auto key = OpenKey(false)) {
    const std::vector<std::string> names = key->GetKeyNames();
    ClearItems();
    for (const std::string& name : names) {
      auto sub = OpenSubKey(name);
      if (!sub) continue;
      const std::optional<std::string> path = sub->ReadString("");
      // Files deleted outside the program are left out; their entries stay.
      // Two entries of one file (two copies of the program saving it at
      // once) give one item.
      if (!path || !FileExists(*path) || FindItem(*path)) continue;
      tUPResult& item = AddItem();
      item.FileName = *path;
      const double date = sub->ReadDateTime("date").value_or(0);
      item.Date = std::isfinite(date) ? date : 0;
      item.Keywords = sub->ReadString("keywords").value_or("");
      item.Category = sub->ReadString("category").value_or("");
      item.Count = sub->ReadInteger("count").value_or(0);
    }
  }
  // Newest search first; sets of the same moment keep the store's order.
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const auto& a, const auto& b) { return b->Date < a->Date; });
  Raise(OnReloadItems);
}

// ---- Writing

std::optional<tUPResultsList::ItemKeys> tUPResultsList::ReadItemKeys() const {
  auto key = OpenKey(false);
  if (!key) return std::nullopt;
  ItemKeys keys;
  for (std::string& name : key->GetKeyNames()) {
    auto sub = OpenSubKey(name);
    keys.push_back({std::move(name), sub ? sub->ReadString("") : std::nullopt});
  }
  return keys;
}

bool tUPResultsList::StoreItem(const tUPResult& item, ItemKeys* known) {
  auto key = OpenKey(true);
  if (!key) return false;
  platform::RegistryBatch batch(FStore, key->RootHive());
  std::optional<ItemKeys> read;
  if (!known) {
    read = ReadItemKeys();
    if (!read) return false;
    known = &*read;
  }
  // A scan's list of subkeys may be older than the store: when the name it
  // gives is taken, another copy of the program added items meanwhile, and
  // the list is read again (within this transaction, so now it is current).
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool stored = false;
    for (const ItemKey& entry : *known) {
      if (!entry.Path || !SamePath(*entry.Path, item.FileName)) continue;
      if (auto sub = OpenSubKey(entry.Name)) {
        WriteFacts(*sub, item);
        stored = true;
      }
    }
    if (stored) break;
    std::vector<std::string> names;
    for (const ItemKey& entry : *known) names.push_back(entry.Name);
    const std::string name = NextItemName(names);
    const std::string path = Key + "\\" + name;
    if (!key->KeyExists(path)) {
      platform::RegKey sub(FStore, key->RootHive());
      if (sub.OpenKey(path, true)) {
        sub.WriteString("", item.FileName);
        WriteFacts(sub, item);
        known->push_back({name, item.FileName});
      }
      break;
    }
    *known = ReadItemKeys().value_or(ItemKeys{});
  }
  return batch.Commit();
}

void tUPResultsList::SaveItem(tUPResult& item) {
  // Reading again what could not be written would only lose the items.
  if (StoreItem(item) && !Exclusive) {
    ClearItems();
    LoadItems();
  }
}

bool tUPResultsList::DeleteResultFile(const std::string& file) {
  tUPResult* item = FindItem(file);
  if (!item) return true;
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(item->FileName, ec);
  if (std::filesystem::is_regular_file(status) || std::filesystem::is_symlink(status))
    std::filesystem::remove(item->FileName);  // throws when the system refuses
  FreeItem(item);
  return true;
}

bool tUPResultsList::RenameResultFile(const std::string& oldName, const std::string& newName) {
  tUPResult* item = FindItem(oldName);
  if (!item) return false;
  if (!FileExists(item->FileName)) {
    FreeItem(item);
    return false;
  }
  if (item->FileName != newName) RenameNoReplace(item->FileName, newName);
  item->FileName = newName;
  SaveItem(*item);
  return true;
}

}  // namespace trawler::results
