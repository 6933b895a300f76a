#include "platform/hive_database.h"

#include <cerrno>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trawler::platform {

namespace {

// Long enough for a second running copy to finish a batch of settings.
constexpr int BusyTimeoutMs = 5000;

const char *const SchemaSql = R"(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER REFERENCES keys(id),
  name TEXT NOT NULL,
  name_fold TEXT NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS keys_by_name ON keys(parent, name_fold);
CREATE TABLE IF NOT EXISTS reg_values(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  key_id INTEGER NOT NULL REFERENCES keys(id),
  name TEXT NOT NULL,
  name_fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB);
CREATE UNIQUE INDEX IF NOT EXISTS values_by_name ON reg_values(key_id, name_fold);
INSERT OR IGNORE INTO keys(id, parent, name, name_fold) VALUES(1, NULL, '', '');
)";

// Creates the file with owner-only access before SQLite sees it: the hive
// holds the proxy password, and SQLite gives its -wal and -shm files the
// mode of the database file.
bool EnsurePrivateFile(const std::filesystem::path &file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::fchmod(fd, 0600);
    ::close(fd);
    return true;
  }
  struct stat st;
  return errno == EEXIST && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

HiveStatement::~HiveStatement() {
  if (FStmt) {
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
  }
}

HiveStatement &HiveStatement::Bind(int index, std::int64_t value) {
  if (FStmt && sqlite3_bind_int64(FStmt, index, value) != SQLITE_OK) FFailed = true;
  return *this;
}

HiveStatement &HiveStatement::BindText(int index, std::string_view value) {
  // An empty view may carry a null pointer, which SQLite would store as NULL rather than as
  // the empty string the caller wrote.
  const char *data = value.empty() ? "" : value.data();
  if (FStmt && sqlite3_bind_text64(FStmt, index, data, value.size(), SQLITE_TRANSIENT,
                                   SQLITE_UTF8) != SQLITE_OK)
    FFailed = true;
  return *this;
}

HiveStatement &HiveStatement::BindBlob(int index, const void *data, std::size_t size) {
  // A zero-length blob must stay a blob, not become NULL.
  if (FStmt && sqlite3_bind_blob64(FStmt, index, size ? data : "", size, SQLITE_TRANSIENT) !=
                   SQLITE_OK)
    FFailed = true;
  return *this;
}

HiveStatement &HiveStatement::BindNull(int index) {
  if (FStmt && sqlite3_bind_null(FStmt, index) != SQLITE_OK) FFailed = true;
  return *this;
}

bool HiveStatement::Step() {
  if (!FStmt || FFailed) {
    FFailed = true;
    return false;
  }
  const int rc = sqlite3_step(FStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) FFailed = true;
  return false;
}

bool HiveStatement::Run() {
  while (Step()) {
  }
  return !FFailed;
}

int HiveStatement::ColumnType(int column) const { return sqlite3_column_type(FStmt, column); }

std::int64_t HiveStatement::ColumnInt(int column) const {
  return sqlite3_column_int64(FStmt, column);
}

std::string HiveStatement::ColumnText(int column) const {
  const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(FStmt, column));
  const int size = sqlite3_column_bytes(FStmt, column);
  return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::string HiveStatement::ColumnBlob(int column) const {
  const auto *data = static_cast<const char *>(sqlite3_column_blob(FStmt, column));
  const int size = sqlite3_column_bytes(FStmt, column);
  return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::unique_ptr<HiveDatabase> HiveDatabase::Open(const std::filesystem::path &file) {
  if (!EnsurePrivateFile(file)) return nullptr;
  sqlite3 *db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<HiveDatabase> hive(new HiveDatabase(db));
  sqlite3_busy_timeout(db, BusyTimeoutMs);
  sqlite3_extended_result_codes(db, 1);
  if (!hive->InitSchema()) return nullptr;
  return hive;
}

bool HiveDatabase::InitSchema() {
  // Write-ahead logging lets readers and one writer of two running copies
  // proceed together, and a killed process never leaves half a commit.
  // Switching a new file to it needs the file to itself, and SQLite reports
  // "busy" at once instead of waiting when another copy is doing the same.
  bool wal = false;
  for (int waited = 0; !wal && waited <= BusyTimeoutMs; waited += 10) {
    HiveStatement mode = Prepare("PRAGMA journal_mode=WAL");
    if (mode.Step() && mode.ColumnText(0) == "wal") {
      wal = true;
    } else if ((sqlite3_errcode(FDb) & 0xFF) != SQLITE_BUSY) {
      return false;
    } else {
      ::usleep(10000);
    }
  }
  if (!wal) return false;
  // NORMAL is safe against a crashed process in WAL mode; a power cut may
  // lose the last changes but never corrupts the file.
  if (!Exec("PRAGMA synchronous=NORMAL") || !Exec("PRAGMA foreign_keys=ON")) return false;
  {
    // An existing hive is used without taking the write lock, so a copy of
    // the program can start while another is in the middle of a batch.
    HiveStatement ready = Prepare(
        "SELECT (SELECT count(*) FROM sqlite_master WHERE name IN "
        "('keys', 'keys_by_name', 'reg_values', 'values_by_name')) = 4 "
        "AND EXISTS(SELECT 1 FROM keys WHERE id = 1)");
    if (ready.Valid() && ready.Step() && ready.ColumnInt(0) == 1) return true;
  }
  HiveTransaction init(*this);
  return init.Active() && Exec(SchemaSql) && init.Commit();
}

HiveDatabase::~HiveDatabase() {
  for (auto &[sql, stmt] : FStatements) sqlite3_finalize(stmt);
  sqlite3_close(FDb);
}

HiveStatement HiveDatabase::Prepare(const char *sql) {
  auto found = FStatements.find(std::string_view(sql));
  if (found != FStatements.end()) return HiveStatement(found->second);
  sqlite3_stmt *stmt = nullptr;
  if (sqlite3_prepare_v3(FDb, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return HiveStatement(nullptr);
  }
  FStatements.emplace(sql, stmt);
  return HiveStatement(stmt);
}

bool HiveDatabase::Exec(const char *sql) {
  return sqlite3_exec(FDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::int64_t HiveDatabase::Changes() const { return sqlite3_changes64(FDb); }

bool HiveDatabase::WritesAllowed() const { return FDepth == 0 || !sqlite3_get_autocommit(FDb); }

int HiveDatabase::BeginLevel() {
  if (!WritesAllowed()) return -1;
  const bool ok = FDepth == 0
                      ? Exec("BEGIN IMMEDIATE")
                      : Exec(("SAVEPOINT level" + std::to_string(FDepth)).c_str());
  return ok ? FDepth++ : -1;
}

bool HiveDatabase::CommitLevel(int level) {
  if (level < 0 || level >= FDepth) return false;
  if (level == 0) {
    const bool ok = Exec("COMMIT");
    if (!ok && !sqlite3_get_autocommit(FDb)) Exec("ROLLBACK");
    FDepth = 0;
    return ok;
  }
  const std::string name = "level" + std::to_string(level);
  const bool ok = Exec(("RELEASE " + name).c_str());
  if (!ok) Exec(("ROLLBACK TO " + name + "; RELEASE " + name).c_str());
  FDepth = level;
  return ok;
}

void HiveDatabase::RollbackLevel(int level) {
  if (level < 0 || level >= FDepth) return;
  if (level == 0) {
    if (!sqlite3_get_autocommit(FDb)) Exec("ROLLBACK");
    FDepth = 0;
    return;
  }
  const std::string name = "level" + std::to_string(level);
  Exec(("ROLLBACK TO " + name + "; RELEASE " + name).c_str());
  FDepth = level;
}

}  // namespace trawler::platform
