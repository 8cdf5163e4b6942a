#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tolerance/access_reader.h"
#include "tolerance/lookup_result.h"
#include "tolerance/sqlite_database.h"

namespace threadgauge {

// A value bound to a "?" of a SELECT text: never pasted into the text itself.
using Parameter = std::variant<std::int64_t, double, std::string>;

// One SELECT of a lookup, and what it is about for the failures it may report.
struct Query {
  std::string table;              // the table the SELECT text reads
  std::string sql;                // the SELECT text, sent as it stands
  std::vector<Parameter> params;  // bound to its "?" in order
  std::string key_column;         // the column of the Where condition, if any
  std::string key;                // the key in words for failures, e.g. "P = 1.5"
};

// The named columns of one row; each is a cell or ColumnMissing.
using RowCells = std::vector<Lookup<Cell>>;

// The tolerance database, opened read-only. Each SELECT text is prepared once per opening
// and run again with its parameters bound, so a database kept open between calculations
// does no work twice; the rows are read afresh every time.
class ToleranceDatabase {
 public:
  // An SQLite file is opened read-only; an Access file (.mdb, .accdb) is read whole and
  // its tolerance tables copied into a fresh in-memory database.
  static ToleranceDatabase Open(const std::filesystem::path& path);
  // The named tables of an Access file, copied in stored order into memory.
  static ToleranceDatabase OpenAccess(const std::filesystem::path& path,
                                      const std::vector<std::string>& tables);

  ToleranceDatabase(ToleranceDatabase&&) noexcept = default;
  ToleranceDatabase& operator=(ToleranceDatabase&&) noexcept = default;

  const std::filesystem::path& path() const { return path_; }
  OpenStatus status() const { return status_; }
  bool is_open() const { return connection_.has_value(); }
  const SqliteConnection* connection() const { return connection_ ? &*connection_ : nullptr; }
  // How the file was read, when the user must know: the code page of an Access 97 file
  // when it is not the one the file's header records. Empty otherwise.
  std::string ReadingNote() const;
  // The engine's count of changes committed by other connections to an SQLite file; nothing
  // for a database held in memory.
  std::optional<std::int64_t> DataVersion() const;

  // The named columns of the first row the SELECT returns; further rows are ignored.
  Lookup<RowCells> QueryFirstRow(const Query& query, const std::vector<std::string>& columns) const;

  // Walks the rows in stored order and takes the first whose bounds hold v (both
  // inclusive, compared as doubles; bounds read as `ReadBound` reads them). The walk goes
  // on to the last row to tell whether the ranges ascend in stored order, because the
  // first-match rule picks the right row of two sharing a bound only when they do.
  Scanned<RowCells> ScanRangeFirstMatch(const Query& query, double v, const std::string& lower,
                                        const std::string& upper,
                                        const std::vector<std::string>& columns) const;

 private:
  ToleranceDatabase(std::filesystem::path path, std::optional<SqliteConnection> connection,
                    OpenStatus status)
      : path_(std::move(path)), connection_(std::move(connection)), status_(status) {}

  Lookup<SqliteStatement*> Run(const Query& query) const;
  LookupFailure Failure(LookupFailureKind kind, const Query& query, std::string column = {}) const;

  std::filesystem::path path_;
  std::optional<SqliteConnection> connection_;
  OpenStatus status_;
  std::optional<CodePageChoice> code_page_;
  // Declared after the connection, so the statements are finalized before it closes.
  mutable std::map<std::string, SqliteStatement, std::less<>> statements_;
};

// Readers of one looked-up cell. A number is needed: empty and text cells fail.
Lookup<double> ReadNumber(const Lookup<Cell>& cell, const Query& query, const std::string& column);
// Text is shown as stored; an empty cell gives empty text.
Lookup<std::string> ReadText(const Lookup<Cell>& cell);

}  // namespace threadgauge
