#include <array>
#include <bit>
#include <cstring>

#include <sqlite3.h>
#include <sys/stat.h>

#include "platform/hive_database.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/registry_name_fold.h"

namespace trawler::platform {

namespace {

// Bounds that keep a runaway caller from growing the hive without end; far
// above anything the program writes.
constexpr std::size_t MaxKeyNameBytes = 1024;
constexpr std::size_t MaxKeyDepth = 512;
constexpr std::size_t MaxValueNameBytes = 65535;

constexpr std::array<const char *, 3> HiveFileNames = {"current_user.db", "local_machine.db",
                                                       "classes_root.db"};

enum StoredType : std::int64_t { StoredString = 1, StoredInteger = 2, StoredBinary = 3 };

RegType TypeOf(std::int64_t stored) {
  switch (stored) {
    case StoredString: return RegType::String;
    case StoredInteger: return RegType::Integer;
    case StoredBinary: return RegType::Binary;
    default: return RegType::None;
  }
}

struct KeyPath {
  bool Absolute = false;
  std::vector<std::string_view> Names;
};

KeyPath SplitKeyPath(std::string_view path) {
  KeyPath result;
  result.Absolute = !path.empty() && path.front() == '\\';
  while (!path.empty()) {
    const std::size_t cut = path.find('\\');
    const std::string_view name = path.substr(0, cut);
    if (!name.empty()) result.Names.push_back(name);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return result;
}

std::size_t PathDepth(std::string_view path) { return SplitKeyPath(path).Names.size(); }

bool KeyAlive(HiveDatabase &db, std::int64_t id) {
  auto st = db.Prepare("SELECT 1 FROM keys WHERE id = ?1");
  return st.Bind(1, id).Step();
}

// The id of the child `name` of `parent`, 0 when there is none (or on
// failure); `storedName` receives its spelling.
std::int64_t FindChild(HiveDatabase &db, std::int64_t parent, std::string_view name,
                       std::string &storedName) {
  auto st = db.Prepare("SELECT id, name FROM keys WHERE parent = ?1 AND name_fold = ?2");
  if (!st.Bind(1, parent).BindText(2, FoldRegistryName(name)).Step()) return 0;
  storedName = st.ColumnText(1);
  return st.ColumnInt(0);
}

bool InsertChild(HiveDatabase &db, std::int64_t parent, std::string_view name) {
  auto st = db.Prepare(
      "INSERT INTO keys(parent, name, name_fold) VALUES(?1, ?2, ?3) "
      "ON CONFLICT(parent, name_fold) DO NOTHING");
  return st.Bind(1, parent).BindText(2, name).BindText(3, FoldRegistryName(name)).Run();
}

// Walks `names` down from `start`; creates missing keys when asked. Returns
// the id reached (0 when a key is missing or on failure) and appends the
// stored spellings to `shownPath`.
std::int64_t WalkKeys(HiveDatabase &db, std::int64_t start, const std::vector<std::string_view> &names,
                      bool create, std::string &shownPath) {
  if (!KeyAlive(db, start)) return 0;
  std::int64_t id = start;
  for (const std::string_view name : names) {
    std::string stored;
    std::int64_t child = FindChild(db, id, name, stored);
    if (child == 0 && create) {
      if (name.size() > MaxKeyNameBytes || !InsertChild(db, id, name)) return 0;
      child = FindChild(db, id, name, stored);
    }
    if (child == 0) return 0;
    shownPath += '\\';
    shownPath += stored;
    id = child;
  }
  return id;
}

struct StoredValue {
  RegType Type = RegType::None;
  bool Exists = false;
  bool DataOk = false;  // the data has the form its type requires
  std::string Text;     // String and Binary data
  std::int64_t Number = 0;
};

StoredValue ReadStored(HiveDatabase *db, std::int64_t key, std::string_view name) {
  StoredValue value;
  if (!db) return value;
  auto st = db->Prepare("SELECT type, data FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
  if (!st.Bind(1, key).BindText(2, FoldRegistryName(name)).Step()) return value;
  value.Exists = true;
  value.Type = TypeOf(st.ColumnInt(0));
  const int column = st.ColumnType(1);
  switch (value.Type) {
    case RegType::String:
      value.DataOk = column == SQLITE_TEXT;
      value.Text = st.ColumnText(1);
      break;
    case RegType::Integer:
      value.DataOk = column == SQLITE_INTEGER;
      value.Number = st.ColumnInt(1);
      break;
    case RegType::Binary:
      value.DataOk = column == SQLITE_BLOB;
      value.Text = st.ColumnBlob(1);
      break;
    case RegType::None: break;
  }
  return value;
}

}  // namespace

// ---------------------------------------------------------------- store

RegistryStore::RegistryStore() : RegistryStore(ConfigDirectory()) {}

RegistryStore::RegistryStore(std::filesystem::path directory) : FDirectory(std::move(directory)) {}

RegistryStore::~RegistryStore() = default;

std::filesystem::path RegistryStore::HiveFile(Hive hive) const {
  return FDirectory / HiveFileNames[static_cast<std::size_t>(hive)];
}

HiveDatabase *RegistryStore::Database(Hive hive) {
  auto &slot = FHives[static_cast<std::size_t>(hive)];
  if (!slot) {
    // Every folder made on the way is private: settings hold passwords.
    std::error_code ec;
    std::filesystem::path made;
    for (const auto &part : FDirectory) {
      made /= part;
      if (!std::filesystem::exists(made, ec)) ::mkdir(made.c_str(), 0700);
    }
    slot = HiveDatabase::Open(HiveFile(hive));
  }
  return slot.get();
}

// ---------------------------------------------------------------- keys

RegKey::RegKey(RegistryStore &store, Hive hive) : FStore(store), FHive(hive) {}

RegKey::~RegKey() = default;

namespace {

// Where a path starts: the hive's root for "\..." or when no key is open,
// else the open key.
std::int64_t BaseKey(const KeyPath &path, std::int64_t current) {
  return path.Absolute || current == 0 ? HiveDatabase::RootKeyId : current;
}

}  // namespace

bool RegKey::OpenKey(std::string_view path, bool canCreate) {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return false;
  const KeyPath parts = SplitKeyPath(path);
  std::string shown = parts.Absolute ? std::string() : FCurrentPath;
  if (PathDepth(shown) + parts.Names.size() > MaxKeyDepth) return false;
  const std::int64_t base = BaseKey(parts, FCurrentKey);
  // Existing keys are opened without taking the write lock.
  std::string found = shown;
  std::int64_t id = WalkKeys(*db, base, parts.Names, false, found);
  if (id != 0) {
    shown = std::move(found);
  } else if (canCreate) {
    HiveTransaction write(*db);
    if (!write.Active()) return false;
    id = WalkKeys(*db, base, parts.Names, true, shown);
    if (id == 0 || !write.Commit()) return false;
  } else {
    return false;
  }
  FCurrentKey = id == HiveDatabase::RootKeyId ? 0 : id;
  FCurrentPath = FCurrentKey == 0 ? std::string() : shown;
  return true;
}

void RegKey::CloseKey() {
  FCurrentKey = 0;
  FCurrentPath.clear();
}

bool RegKey::KeyExists(std::string_view path) {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return false;
  const KeyPath parts = SplitKeyPath(path);
  std::string shown;
  return WalkKeys(*db, BaseKey(parts, FCurrentKey), parts.Names, false, shown) != 0;
}

bool RegKey::CreateKey(std::string_view path) {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return false;
  const KeyPath parts = SplitKeyPath(path);
  std::string shown = parts.Absolute ? std::string() : FCurrentPath;
  if (PathDepth(shown) + parts.Names.size() > MaxKeyDepth) return false;
  HiveTransaction write(*db);
  return write.Active() &&
         WalkKeys(*db, BaseKey(parts, FCurrentKey), parts.Names, true, shown) != 0 &&
         write.Commit();
}

bool RegKey::DeleteKey(std::string_view path) {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return false;
  const KeyPath parts = SplitKeyPath(path);
  HiveTransaction write(*db);
  if (!write.Active()) return false;
  std::string shown;
  const std::int64_t id = WalkKeys(*db, BaseKey(parts, FCurrentKey), parts.Names, false, shown);
  if (id == 0 || id == HiveDatabase::RootKeyId) return false;
  // UNION (not UNION ALL) so that even a damaged file with a loop in its
  // parent links ends the walk.
  auto values = db->Prepare(
      "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT keys.id FROM keys JOIN sub ON "
      "keys.parent = sub.id) DELETE FROM reg_values WHERE key_id IN (SELECT id FROM sub)");
  if (!values.Bind(1, id).Run()) return false;
  auto keys = db->Prepare(
      "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT keys.id FROM keys JOIN sub ON "
      "keys.parent = sub.id) DELETE FROM keys WHERE id IN (SELECT id FROM sub)");
  return keys.Bind(1, id).Run() && write.Commit();
}

bool RegKey::HasSubKeys() {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return false;
  auto st = db->Prepare("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
  return st.Bind(1, FCurrentKey ? FCurrentKey : HiveDatabase::RootKeyId).Step();
}

std::vector<std::string> RegKey::GetKeyNames() {
  std::vector<std::string> names;
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return names;
  auto st = db->Prepare("SELECT name FROM keys WHERE parent = ?1 ORDER BY id");
  st.Bind(1, FCurrentKey ? FCurrentKey : HiveDatabase::RootKeyId);
  while (st.Step()) names.push_back(st.ColumnText(0));
  return names;
}

std::vector<std::string> RegKey::GetValueNames() {
  std::vector<std::string> names;
  HiveDatabase *db = FStore.Database(FHive);
  if (!db) return names;
  auto st = db->Prepare("SELECT name FROM reg_values WHERE key_id = ?1 ORDER BY id");
  st.Bind(1, FCurrentKey ? FCurrentKey : HiveDatabase::RootKeyId);
  while (st.Step()) names.push_back(st.ColumnText(0));
  return names;
}

// ---------------------------------------------------------------- values

namespace {

std::int64_t KeyOrRoot(std::int64_t current) {
  return current ? current : HiveDatabase::RootKeyId;
}

bool WriteStored(HiveDatabase *db, std::int64_t key, std::string_view name, StoredType type,
                 const void *data, std::size_t size, std::int64_t number) {
  if (!db || !db->WritesAllowed() || name.size() > MaxValueNameBytes) return false;
  // On a rewrite the name keeps its first spelling and its place.
  auto st = db->Prepare(
      "INSERT INTO reg_values(key_id, name, name_fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
      "ON CONFLICT(key_id, name_fold) DO UPDATE SET type = excluded.type, data = excluded.data");
  st.Bind(1, key).BindText(2, name).BindText(3, FoldRegistryName(name)).Bind(4, type);
  switch (type) {
    case StoredString: st.BindText(5, std::string_view(static_cast<const char *>(data), size)); break;
    case StoredInteger: st.Bind(5, number); break;
    case StoredBinary: st.BindBlob(5, data, size); break;
  }
  return st.Run();
}

}  // namespace

bool RegKey::ValueExists(std::string_view name) {
  return ReadStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name).Exists;
}

RegType RegKey::GetDataType(std::string_view name) {
  return ReadStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name).Type;
}

bool RegKey::DeleteValue(std::string_view name) {
  HiveDatabase *db = FStore.Database(FHive);
  if (!db || !db->WritesAllowed()) return false;
  auto st = db->Prepare("DELETE FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
  return st.Bind(1, KeyOrRoot(FCurrentKey)).BindText(2, FoldRegistryName(name)).Run() &&
         db->Changes() > 0;
}

std::optional<std::string> RegKey::ReadString(std::string_view name) {
  StoredValue value = ReadStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name);
  if (value.Type != RegType::String || !value.DataOk) return std::nullopt;
  return std::move(value.Text);
}

std::optional<std::int32_t> RegKey::ReadInteger(std::string_view name) {
  const StoredValue value = ReadStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name);
  if (value.Type != RegType::Integer || !value.DataOk) return std::nullopt;
  return static_cast<std::int32_t>(value.Number);
}

std::optional<std::vector<std::uint8_t>> RegKey::ReadBinary(std::string_view name) {
  const StoredValue value = ReadStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name);
  if (value.Type != RegType::Binary || !value.DataOk) return std::nullopt;
  return std::vector<std::uint8_t>(value.Text.begin(), value.Text.end());
}

std::optional<bool> RegKey::ReadBool(std::string_view name) {
  const auto number = ReadInteger(name);
  if (!number) return std::nullopt;
  return *number != 0;
}

std::optional<double> RegKey::ReadDateTime(std::string_view name) {
  const auto data = ReadBinary(name);
  if (!data || data->size() != 8) return std::nullopt;
  // Little-endian IEEE double, as the registry holds it on every machine.
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | (*data)[static_cast<std::size_t>(i)];
  return std::bit_cast<double>(bits);
}

bool RegKey::WriteString(std::string_view name, std::string_view value) {
  return WriteStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name, StoredString,
                     value.data(), value.size(), 0);
}

bool RegKey::WriteInteger(std::string_view name, std::int32_t value) {
  return WriteStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name, StoredInteger, nullptr,
                     0, value);
}

bool RegKey::WriteBinary(std::string_view name, const std::vector<std::uint8_t> &value) {
  return WriteStored(FStore.Database(FHive), KeyOrRoot(FCurrentKey), name, StoredBinary,
                     value.data(), value.size(), 0);
}

bool RegKey::WriteBool(std::string_view name, bool value) { return WriteInteger(name, value ? 1 : 0); }

bool RegKey::WriteDateTime(std::string_view name, double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  std::vector<std::uint8_t> data(8);
  for (auto &byte : data) {
    byte = static_cast<std::uint8_t>(bits & 0xFF);
    bits >>= 8;
  }
  return WriteBinary(name, data);
}

// ---------------------------------------------------------------- batches

RegistryBatch::RegistryBatch(RegistryStore &store, Hive hive) : FDatabase(store.Database(hive)) {
  if (FDatabase) FLevel = FDatabase->BeginLevel();
}

RegistryBatch::~RegistryBatch() {
  if (FLevel >= 0) FDatabase->RollbackLevel(FLevel);
}

bool RegistryBatch::Commit() {
  if (FLevel < 0) return false;
  const int level = FLevel;
  FLevel = -1;
  return FDatabase->CommitLevel(level);
}

}  // namespace trawler::platform
