#pragma once

// A hierarchical settings store with the semantics of the Windows registry,
// kept in one SQLite database per hive.
//
// - Key paths are backslash-separated ("\Software\Oxbow\Trawler\Defaults").
//   A leading backslash means "from the hive's root"; without one a path is
//   relative to the key currently open in the RegKey (the root when none is).
// - Names of keys and values are compared ignoring case (ASCII, Latin-1,
//   Latin Extended-A, Greek and Cyrillic letters fold) and are stored as first
//   written. A key name may hold any character except a backslash; a value
//   name may hold any character at all. The unnamed (default) value is "".
// - Subkeys and values enumerate in creation order; a value or key that is
//   deleted and added again goes to the end.
// - Every change is its own transaction unless a RegistryBatch is open on the
//   hive; two running copies may write the same hive and a crash never leaves
//   half a change behind.
// - Nothing here throws. Failures (missing key, wrong type, unreadable or
//   locked database) come back as false / std::nullopt / empty lists so that
//   callers can fall back to their defaults.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::platform {

enum class Hive { CurrentUser, LocalMachine, ClassesRoot };

// The kinds of value the program stores. Booleans are Integer 0/1;
// date-times are Binary values of 8 bytes (an IEEE double, TDateTime).
enum class RegType { None, String, Integer, Binary };

class HiveDatabase;  // one open SQLite connection; internal

// Owns the hive databases of one settings directory. Databases are opened on
// first use; a hive that cannot be opened (say, the file is not a database)
// makes every operation on it fail, and is retried on the next use.
class RegistryStore {
 public:
  // The user's settings directory, ConfigDirectory() ($XDG_CONFIG_HOME/trawler).
  RegistryStore();
  // An explicit directory (tests, `--profile DIR`). Created 0700 when missing;
  // database files are created 0600.
  explicit RegistryStore(std::filesystem::path directory);
  ~RegistryStore();
  RegistryStore(const RegistryStore &) = delete;
  RegistryStore &operator=(const RegistryStore &) = delete;

  const std::filesystem::path &Directory() const { return FDirectory; }
  // The database file of a hive ("current_user.db", "local_machine.db",
  // "classes_root.db" in Directory()).
  std::filesystem::path HiveFile(Hive hive) const;

  // The open database of a hive, or nullptr when it cannot be opened.
  HiveDatabase *Database(Hive hive);

 private:
  std::filesystem::path FDirectory;
  std::unique_ptr<HiveDatabase> FHives[3];
};

// A handle on one open key of a hive, in the manner of TRegistry: open a key,
// read and write its values, close it. Several RegKeys may be open at once.
class RegKey {
 public:
  explicit RegKey(RegistryStore &store, Hive hive = Hive::CurrentUser);
  ~RegKey();
  RegKey(RegKey &&) = default;
  RegKey(const RegKey &) = delete;
  RegKey &operator=(const RegKey &) = delete;

  Hive RootHive() const { return FHive; }
  // Path of the open key from the hive's root with the spelling of the
  // stored names, "\Software\Oxbow"; empty when no key is open (the root).
  const std::string &CurrentPath() const { return FCurrentPath; }
  bool HasCurrentKey() const { return FCurrentKey != 0; }

  // Opens the key (creating it and its missing parents when canCreate);
  // false when it does not exist and may not be created, or on failure.
  // On failure the previously open key stays open.
  bool OpenKey(std::string_view path, bool canCreate);
  bool OpenKeyReadOnly(std::string_view path) { return OpenKey(path, false); }
  void CloseKey();

  bool KeyExists(std::string_view path);
  bool CreateKey(std::string_view path);
  // Deletes the key with all its subkeys and values. Deleting the open key
  // itself, or a key above it, leaves this handle on a deleted key whose
  // operations fail until another key is opened.
  bool DeleteKey(std::string_view path);
  bool HasSubKeys();
  // Names of the open key's subkeys / values, in creation order.
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  bool ValueExists(std::string_view name);
  RegType GetDataType(std::string_view name);  // None when missing
  bool DeleteValue(std::string_view name);

  // Reads give nullopt when the value is missing or of another type.
  std::optional<std::string> ReadString(std::string_view name);
  std::optional<std::int32_t> ReadInteger(std::string_view name);
  std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view name);
  std::optional<bool> ReadBool(std::string_view name);        // Integer != 0
  std::optional<double> ReadDateTime(std::string_view name);  // 8-byte Binary

  // Writes create the value or replace its type and data; the name keeps the
  // spelling it was first written with, and its place in the order.
  bool WriteString(std::string_view name, std::string_view value);
  bool WriteInteger(std::string_view name, std::int32_t value);
  bool WriteBinary(std::string_view name, const std::vector<std::uint8_t> &value);
  bool WriteBool(std::string_view name, bool value);  // Integer 1 / 0
  bool WriteDateTime(std::string_view name, double value);

 private:
  RegistryStore &FStore;
  Hive FHive;
  std::int64_t FCurrentKey = 0;  // 0: no key open (the hive's root is used)
  std::string FCurrentPath;
};

// One transaction around many writes to a hive: BEGIN IMMEDIATE on creation,
// COMMIT by Commit(), ROLLBACK when destroyed without Commit(). Writes made
// through any RegKey of the same store and hive while the batch lives belong
// to it. Batches nest (inner ones become savepoints) and must end in the
// reverse order of their creation, before the store is destroyed.
class RegistryBatch {
 public:
  RegistryBatch(RegistryStore &store, Hive hive = Hive::CurrentUser);
  ~RegistryBatch();
  RegistryBatch(const RegistryBatch &) = delete;
  RegistryBatch &operator=(const RegistryBatch &) = delete;

  // False when the transaction could not be started (Commit then fails).
  bool Active() const { return FLevel >= 0; }
  // True when the writes are now part of the hive (or of the outer batch).
  bool Commit();

 private:
  HiveDatabase *FDatabase;
  int FLevel = -1;  // transaction level in FDatabase; -1 when none
};

// Appends the key `keyPath` of the hive, with all its subkeys, to the text
// file fileName in REGEDIT4 form, naming the key `shownPath` in the file
// ("HKEY_CURRENT_USER\Software\Oxbow\Trawler"). The file is UTF-8 and is
// created when missing. False when the key cannot be opened or the file
// cannot be written (the file is then unchanged).
bool ExportKeyToReg(RegistryStore &store, Hive hive, std::string_view keyPath,
                    std::string_view shownPath, const std::filesystem::path &fileName);

// The REGEDIT4 text that ExportKeyToReg appends; empty when the key cannot be
// opened.
std::string RegExportText(RegistryStore &store, Hive hive, std::string_view keyPath,
                          std::string_view shownPath);

}  // namespace trawler::platform
