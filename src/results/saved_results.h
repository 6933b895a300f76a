// The catalogue of saved result sets: the most recently used files (the
// recent-files menu) and the known result sets with their facts (the
// "Manage results" panel). Both live under one key of the settings store:
//
//   (unnamed value)            next MRU counter, 8 uppercase hex digits
//   value "0000000A"           one recent file: its full path
//   subkey "00000001"          one known result set:
//     (unnamed value)          its full path
//     Date                     date-time of the search (8-byte binary)
//     Count                    number of results (integer)
//     Category, Keywords       strings
//
// Several running copies may share the key. Without Exclusive each copy adds
// its newest recent file under the next counter and reads the list again,
// so every copy sees the others' files.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "support/text/dates.h"

namespace trawler::results {

// The hive the catalogue's key lives in; with uprkUnknown no key opens.
enum tUPRegistryKey { uprkUnknown, uprkCurrentUser, uprkLocalMachine, uprkClassesRoot };

class tUPResultsList;

// One known result set.
class tUPResult {
 public:
  tUPResult(const tUPResult&) = delete;
  tUPResult& operator=(const tUPResult&) = delete;

  tUPResultsList* Owner() const { return FOwner; }

  std::string FileName;      // full path
  text::TDateTime Date = 0;  // date-time of the search
  std::string Keywords;      // the query
  std::string Category;
  int Count = 0;             // number of results

 private:
  friend class tUPResultsList;
  explicit tUPResult(tUPResultsList& owner) : FOwner(&owner) {}
  tUPResultsList* FOwner;
};

// A file ScanFolder could not read, and why.
struct tScanError {
  std::string FileName;
  std::string Message;
};

class tUPResultsList {
 public:
  using Event = std::function<void(tUPResultsList&)>;

  static constexpr const char* kDefaultKey = "\\Software\\Oxbow\\Trawler\\mru";

  explicit tUPResultsList(platform::RegistryStore& store);
  ~tUPResultsList();
  tUPResultsList(const tUPResultsList&) = delete;
  tUPResultsList& operator=(const tUPResultsList&) = delete;

  int MaxMruCount = 10;
  tUPRegistryKey RootKey = uprkCurrentUser;
  std::string Key = kDefaultKey;
  // True when this program is the only user of the key (one instance).
  bool Exclusive = false;

  Event OnLoadList;     // after Load
  Event OnReloadMRU;    // after the recent files were read again
  Event OnReloadItems;  // after the items were read again

  // Recent files, newest first.
  const std::vector<std::string>& Mru() const { return FMru; }

  // ---- Items
  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at index, or none outside the list.
  tUPResult* Items(int index) const;
  // The item of a file, or none. Two paths name the same file when they are
  // equal, or equal ignoring case on a file system that ignores case.
  tUPResult* FindItem(const std::string& file) const;
  tUPResult& FindOrAddItem(const std::string& file);
  // A new empty item at the end of the list.
  tUPResult& AddItem();
  // Frees one item of this list (the store keeps its entry).
  void FreeItem(tUPResult* item);

  // ---- Reading
  // Empties both lists, reads them, raises OnLoadList.
  void Load();
  // Reads the recent files that still exist, newest first, at most
  // MaxMruCount of them; OnReloadMRU (also when the key cannot be opened,
  // which leaves the list as it was).
  void LoadMru();
  // Reads the items whose files still exist, newest search first;
  // OnReloadItems (also when the key cannot be opened).
  void LoadItems();

  // ---- Writing
  // Puts an existing file at the top of the recent files and saves the list;
  // false when the file does not exist.
  bool AddToMru(const std::string& file);
  // Stores an item's facts under every subkey of its path, or under a new
  // subkey. Without Exclusive the items are then read again (others may have
  // saved some), which frees every item - item included.
  void SaveItem(tUPResult& item);
  // Deletes the file of an item and frees the item; true also when no item
  // names the file (nothing is done then). Throws std::filesystem::
  // filesystem_error when the file exists and cannot be deleted.
  bool DeleteResultFile(const std::string& file);
  // Renames the file of an item and saves the item under the new path; false
  // when no item names the old path, or its file is gone (the item is then
  // freed). Throws std::filesystem::filesystem_error when the file cannot be
  // renamed - also when a file of the new name exists, which stays as it was.
  bool RenameResultFile(const std::string& oldName, const std::string& newName);
  // Adds every result-set file (".twf", ".twr" in any letter case) of a
  // folder tree that is not yet an item, with the facts read from the file,
  // then raises OnReloadItems. Links to folders are not followed. A file or
  // folder that cannot be read is passed over and listed in the answer.
  std::vector<tScanError> ScanFolder(const std::string& folder);

  void ClearMru() { FMru.clear(); }
  void ClearItems() { FItems.clear(); }

 private:
  // The catalogue's key, opened (created when create); none when it cannot
  // be opened or RootKey is uprkUnknown.
  std::optional<platform::RegKey> OpenKey(bool create) const;
  std::optional<platform::RegKey> OpenSubKey(const std::string& name) const;
  // The subkeys of the items with the paths they hold, in the store's order.
  struct ItemKey {
    std::string Name;
    std::optional<std::string> Path;
  };
  using ItemKeys = std::vector<ItemKey>;
  std::optional<ItemKeys> ReadItemKeys() const;
  // Writes an item's facts; false when the key could not be written. known,
  // when given, stands for the subkeys (a folder scan reads them once) and
  // gets the new subkey.
  bool StoreItem(const tUPResult& item, ItemKeys* known = nullptr);
  void SaveMru();
  void RewriteMru(platform::RegKey& key);
  void Raise(const Event& event) {
    if (event) event(*this);
  }

  platform::RegistryStore& FStore;
  std::vector<std::unique_ptr<tUPResult>> FItems;
  std::vector<std::string> FMru;
};

}  // namespace trawler::results
