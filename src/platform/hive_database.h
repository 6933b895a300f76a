#pragma once

// One hive of the registry store: an SQLite connection with the store's
// schema, prepared statements and transaction scopes. Internal to the
// registry store.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace trawler::platform {

// A prepared statement borrowed from the database's cache; reset and cleared
// when it goes out of scope. A statement that failed to prepare is !Valid()
// and every step of it fails.
class HiveStatement {
 public:
  HiveStatement(sqlite3_stmt *stmt) : FStmt(stmt) {}
  ~HiveStatement();
  HiveStatement(const HiveStatement &) = delete;
  HiveStatement &operator=(const HiveStatement &) = delete;

  bool Valid() const { return FStmt != nullptr; }
  HiveStatement &Bind(int index, std::int64_t value);
  HiveStatement &BindText(int index, std::string_view value);
  HiveStatement &BindBlob(int index, const void *data, std::size_t size);
  HiveStatement &BindNull(int index);

  // True while a row is available; false at the end and on errors
  // (Failed() tells them apart).
  bool Step();
  // Runs a statement that returns no rows; true when it completed.
  bool Run();
  bool Failed() const { return FFailed; }

  int ColumnType(int column) const;  // SQLITE_INTEGER, SQLITE_TEXT, ...
  std::int64_t ColumnInt(int column) const;
  std::string ColumnText(int column) const;
  std::string ColumnBlob(int column) const;

 private:
  sqlite3_stmt *FStmt;
  bool FFailed = false;
};

class HiveDatabase {
 public:
  // The id of the hive's root key.
  static constexpr std::int64_t RootKeyId = 1;

  // Opens (creating when missing, with mode 0600) the database file and sets
  // up the schema; nullptr when the file cannot be used.
  static std::unique_ptr<HiveDatabase> Open(const std::filesystem::path &file);
  ~HiveDatabase();
  HiveDatabase(const HiveDatabase &) = delete;
  HiveDatabase &operator=(const HiveDatabase &) = delete;

  HiveStatement Prepare(const char *sql);
  bool Exec(const char *sql);
  std::int64_t Changes() const;

  // Transaction nesting: the outermost level is BEGIN IMMEDIATE (so a
  // second copy of the program waits for the write lock instead of failing
  // half way), inner levels are savepoints. BeginLevel returns the level to
  // pass to CommitLevel/RollbackLevel, or -1 when none could be started.
  int BeginLevel();
  bool CommitLevel(int level);
  void RollbackLevel(int level);

  // False inside a transaction that SQLite has already abandoned after an
  // error: writes must not then slip out as separate transactions.
  bool WritesAllowed() const;

 private:
  explicit HiveDatabase(sqlite3 *db) : FDb(db) {}
  bool InitSchema();

  sqlite3 *FDb;
  std::map<std::string, sqlite3_stmt *, std::less<>> FStatements;
  int FDepth = 0;
};

// A write scope on a hive: one level of HiveDatabase's transactions,
// rolled back unless committed.
class HiveTransaction {
 public:
  explicit HiveTransaction(HiveDatabase &db) : FDb(db), FLevel(db.BeginLevel()) {}
  ~HiveTransaction() {
    if (FLevel >= 0) FDb.RollbackLevel(FLevel);
  }
  HiveTransaction(const HiveTransaction &) = delete;
  HiveTransaction &operator=(const HiveTransaction &) = delete;

  bool Active() const { return FLevel >= 0; }
  bool Commit() {
    if (FLevel < 0) return false;
    const int level = FLevel;
    FLevel = -1;
    return FDb.CommitLevel(level);
  }

 private:
  HiveDatabase &FDb;
  int FLevel;
};

}  // namespace trawler::platform
