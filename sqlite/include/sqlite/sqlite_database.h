#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/problems.h"

struct sqlite3;
struct sqlite3_stmt;

namespace threadgauge {

// One cell of a result row as the engine stored it.
struct Cell {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  double number = 0;  // Integer and Real
  std::string text;   // Text
};

class SqliteStatement;

// A read-only connection; the file's bytes are never changed through it.
class SqliteConnection {
 public:
  static std::pair<std::optional<SqliteConnection>, OpenStatus> OpenReadOnly(
      const std::filesystem::path& path);

  // A connection that may write: a fresh in-memory database, or a new file being built
  // (never the tolerance database a calculation reads).
  static std::optional<SqliteConnection> OpenInMemory();
  static std::optional<SqliteConnection> CreateFile(const std::filesystem::path& path);
  // A file of the user's own (the gauge register) opened to read and write, never created;
  // other programs' writes are waited for up to `busy_ms`. The engine's code when it fails.
  static std::pair<std::optional<SqliteConnection>, int> OpenReadWrite(
      const std::filesystem::path& path, int busy_ms);
  // The same read-only: a file newer than the program reads, or one in a read-only folder.
  static std::pair<std::optional<SqliteConnection>, int> OpenReadOnlyShared(
      const std::filesystem::path& path, int busy_ms);

  // The same on a medium nobody writes to (a read-only folder, a CD, a write-protected
  // share): the engine then needs no lock or shared-memory file beside it.
  static std::pair<std::optional<SqliteConnection>, int> OpenImmutable(
      const std::filesystem::path& path);

  // The connection cannot write, whatever it was opened for (a write-protected file).
  bool IsReadOnly() const;
  long long LastInsertRowId() const;

  // Runs SQL without results; the engine's result code when it fails.
  std::optional<int> Exec(const std::string& sql) const;

  SqliteConnection(SqliteConnection&& other) noexcept;
  SqliteConnection& operator=(SqliteConnection&& other) noexcept;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;
  ~SqliteConnection();

  // A prepared statement; nothing when the text does not prepare (ErrorCode tells why).
  std::optional<SqliteStatement> Prepare(std::string_view sql) const;
  int ErrorCode() const;  // the engine's extended result code of the last failure
  bool HasTable(std::string_view table) const;
  bool HasColumn(std::string_view table, std::string_view column) const;

 private:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  sqlite3* db_ = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  // Binds user text as a parameter (1-based); it never becomes part of the SQL.
  void BindText(int index, std::string_view text);
  void BindInteger(int index, long long value);
  void BindReal(int index, double value);
  void BindNull(int index);
  void Reset();
  int ColumnCount() const;
  std::string ColumnName(int column) const;

  enum class Step { Row, Done, Error };
  Step Next();
  int ErrorCode() const;  // the engine's extended result code of the last failure

  // Index of the result column with exactly this name (case matters), if any.
  std::optional<int> ColumnIndex(std::string_view name) const;
  Cell Read(int column) const;
  // The same without the cell, for reading many rows fast: a number (0 for none), a number
  // or nothing, the text (empty for none).
  double Number(int column) const;
  std::optional<double> NumberOrNull(int column) const;
  std::string Text(int column) const;

 private:
  friend class SqliteConnection;
  SqliteStatement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

// What an engine result code means for the user.
EngineFault FaultOf(int engine_code);

}  // namespace threadgauge
