#include "sqlite/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/utf8.h"

namespace threadgauge {
namespace {

// A second program writing the file holds its lock only briefly; wait this long before
// reporting the file as locked.
constexpr int kBusyTimeoutMs = 1000;

OpenStatus StatusOf(int rc) {
  switch (FaultOf(rc)) {
    case EngineFault::Damaged:
      return OpenStatus::NotADatabase;
    case EngineFault::Locked:
      return OpenStatus::Locked;
    case EngineFault::None:
    case EngineFault::Refused:
    case EngineFault::Unwritable:
    case EngineFault::DiskFull:
    case EngineFault::ReadWriteFailed:
    case EngineFault::Other:
      break;
  }
  return OpenStatus::NotReadable;
}

}  // namespace

std::pair<std::optional<SqliteConnection>, OpenStatus> SqliteConnection::OpenReadOnly(
    const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {std::nullopt, OpenStatus::FileMissing};
  if (!std::filesystem::is_regular_file(path, ec)) return {std::nullopt, OpenStatus::NotReadable};

  sqlite3* db = nullptr;
  // The engine takes UTF-8 file names on every platform, so Chinese folders open alike.
  const std::string utf8 = Utf8(path);
  // One thread uses a connection; the engine's own locking of it is not needed.
  const int rc =
      sqlite3_open_v2(utf8.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    return {std::nullopt, StatusOf(rc)};
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  SqliteConnection connection(db);

  // Opening is lazy; reading the schema proves the file is a database we can read.
  sqlite3_stmt* probe = nullptr;
  int probe_rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
  if (probe_rc == SQLITE_OK) probe_rc = sqlite3_step(probe);
  sqlite3_finalize(probe);
  if (probe_rc != SQLITE_ROW) return {std::nullopt, StatusOf(probe_rc)};
  return {std::move(connection), OpenStatus::Opened};
}

std::optional<SqliteConnection> SqliteConnection::OpenInMemory() {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return std::nullopt;
  }
  return SqliteConnection(db);
}

std::optional<SqliteConnection> SqliteConnection::CreateFile(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  const std::string utf8 = Utf8(path);
  if (sqlite3_open_v2(utf8.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return std::nullopt;
  }
  return SqliteConnection(db);
}

namespace {

std::pair<std::optional<SqliteConnection>, int> OpenWithFlags(const std::filesystem::path& path,
                                                              int flags, int busy_ms, auto make) {
  sqlite3* db = nullptr;
  const std::string utf8 = Utf8(path);
  const int code = sqlite3_open_v2(utf8.c_str(), &db, flags, nullptr);
  if (code != SQLITE_OK) {
    const int extended = db ? sqlite3_extended_errcode(db) : code;
    sqlite3_close(db);
    return {std::nullopt, extended};
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busy_ms);
  return {make(db), SQLITE_OK};
}

}  // namespace

std::pair<std::optional<SqliteConnection>, int> SqliteConnection::OpenReadWrite(
    const std::filesystem::path& path, int busy_ms) {
  // One thread uses a connection: the engine's own locking of it is not needed.
  return OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, busy_ms,
                       [](sqlite3* db) { return SqliteConnection(db); });
}

std::pair<std::optional<SqliteConnection>, int> SqliteConnection::OpenReadOnlyShared(
    const std::filesystem::path& path, int busy_ms) {
  return OpenWithFlags(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, busy_ms,
                       [](sqlite3* db) { return SqliteConnection(db); });
}

std::pair<std::optional<SqliteConnection>, int> SqliteConnection::OpenImmutable(
    const std::filesystem::path& path) {
  // A URI names the file; every byte outside the unreserved set is escaped, so a Chinese
  // name, a space or a '?' stays part of the path.
  std::string generic = Utf8(path);
  std::replace(generic.begin(), generic.end(), '\\', '/');
  std::string uri = "file:";
  if (!generic.empty() && generic.front() != '/') uri += "/";  // "C:/…" on Windows
  static const char* const hex = "0123456789ABCDEF";
  for (unsigned char c : generic) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~' || c == ':';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  uri += "?immutable=1";
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(
      uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const int extended = db ? sqlite3_extended_errcode(db) : code;
    sqlite3_close(db);
    return {std::nullopt, extended};
  }
  sqlite3_extended_result_codes(db, 1);
  return {SqliteConnection(db), SQLITE_OK};
}

bool SqliteConnection::IsReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

long long SqliteConnection::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

std::optional<int> SqliteConnection::Exec(const std::string& sql) const {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return std::nullopt;
  return sqlite3_extended_errcode(db_);
}

SqliteConnection::SqliteConnection(SqliteConnection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)) {}

SqliteConnection& SqliteConnection::operator=(SqliteConnection&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(db_); }

std::optional<SqliteStatement> SqliteConnection::Prepare(std::string_view sql) const {
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return std::nullopt;
  }
  return SqliteStatement(db_, stmt);
}

int SqliteConnection::ErrorCode() const { return sqlite3_extended_errcode(db_); }

bool SqliteConnection::HasColumn(std::string_view table, std::string_view column) const {
  auto stmt = Prepare("SELECT 1 FROM pragma_table_info(?) WHERE name = ?");
  if (!stmt) return false;
  stmt->BindText(1, table);
  stmt->BindText(2, column);
  return stmt->Next() == SqliteStatement::Step::Row;
}

bool SqliteConnection::HasTable(std::string_view table) const {
  auto stmt = Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
  if (!stmt) return false;
  stmt->BindText(1, table);
  return stmt->Next() == SqliteStatement::Step::Row;
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
  }
  return *this;
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

void SqliteStatement::BindText(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::BindInteger(int index, long long value) {
  sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::BindReal(int index, double value) {
  sqlite3_bind_double(stmt_, index, value);
}

void SqliteStatement::BindNull(int index) { sqlite3_bind_null(stmt_, index); }

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(stmt_, column);
  return name ? name : "";
}

SqliteStatement::Step SqliteStatement::Next() {
  switch (sqlite3_step(stmt_)) {
    case SQLITE_ROW:
      return Step::Row;
    case SQLITE_DONE:
      return Step::Done;
    default:
      return Step::Error;
  }
}

int SqliteStatement::ErrorCode() const { return sqlite3_extended_errcode(db_); }

EngineFault FaultOf(int engine_code) {
  switch (engine_code & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return EngineFault::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return EngineFault::Locked;
    case SQLITE_CONSTRAINT:
      return EngineFault::Refused;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      return EngineFault::Unwritable;
    case SQLITE_FULL:
      return EngineFault::DiskFull;
    case SQLITE_IOERR:
      return EngineFault::ReadWriteFailed;
    default:
      return EngineFault::Other;
  }
}

std::optional<int> SqliteStatement::ColumnIndex(std::string_view name) const {
  const int count = sqlite3_column_count(stmt_);
  for (int i = 0; i < count; ++i) {
    const char* column = sqlite3_column_name(stmt_, i);
    if (column != nullptr && name == column) return i;
  }
  return std::nullopt;
}

double SqliteStatement::Number(int column) const { return sqlite3_column_double(stmt_, column); }

std::optional<double> SqliteStatement::NumberOrNull(int column) const {
  const int type = sqlite3_column_type(stmt_, column);
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return std::nullopt;
  return sqlite3_column_double(stmt_, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (text == nullptr) return "";
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

Cell SqliteStatement::Read(int column) const {
  Cell cell;
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
      return cell;
    // Numbers stay numbers: having the engine write them as text costs more than the rest
    // of a lookup.
    case SQLITE_INTEGER:
      cell.kind = Cell::Kind::Integer;
      cell.number = static_cast<double>(sqlite3_column_int64(stmt_, column));
      return cell;
    case SQLITE_FLOAT:
      cell.kind = Cell::Kind::Real;
      cell.number = sqlite3_column_double(stmt_, column);
      return cell;
    case SQLITE_TEXT:
      cell.kind = Cell::Kind::Text;
      break;
    default:
      cell.kind = Cell::Kind::Blob;
      return cell;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  if (text != nullptr) cell.text.assign(text, static_cast<size_t>(size));
  return cell;
}

}  // namespace threadgauge
