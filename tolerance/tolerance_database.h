#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tolerance/lookup_result.h"
#include "tolerance/sqlite_database.h"

namespace threadgauge {

// What a SELECT is about, for the failures it may report.
struct Query {
  std::string table;       // the table the SELECT text reads
  std::string sql;         // the SELECT text, sent as it stands
  std::string bound_text;  // bound to the one "?" of the text, when `has_parameter`
  bool has_parameter = false;
  std::string key_column;  // the column of the Where condition, if any
  std::string key;         // the key in words for failures, e.g. "P = 1.5"
};

// The named columns of one row; each is a cell or ColumnMissing.
using RowCells = std::vector<Lookup<Cell>>;

// The tolerance database, opened read-only once per calculation.
class ToleranceDatabase {
 public:
  // An SQLite file is opened read-only; an Access file (.mdb, .accdb) is read whole and
  // its tolerance tables copied into a fresh in-memory database.
  static ToleranceDatabase Open(const std::filesystem::path& path);
  // The named tables of an Access file, copied in stored order into memory.
  static ToleranceDatabase OpenAccess(const std::filesystem::path& path,
                                      const std::vector<std::string>& tables);

  const std::filesystem::path& path() const { return path_; }
  OpenStatus status() const { return status_; }
  bool is_open() const { return connection_.has_value(); }

  // The named columns of the first row the SELECT returns; further rows are ignored.
  Lookup<RowCells> QueryFirstRow(const Query& query, const std::vector<std::string>& columns) const;

  // Whether the rows' ranges ascend in stored order (by their lower bound); the first-match
  // rule only picks the right row of two that share a bound when they do.
  std::optional<LookupFailure> CheckRangeOrder(const Query& query, std::string_view lower) const;

  // Walks the rows in stored order and takes the first whose bounds hold v (both
  // inclusive, compared as doubles). A row whose bounds are not numbers holds nothing.
  Lookup<RowCells> ScanRangeFirstMatch(const Query& query, double v, std::string_view lower,
                                       std::string_view upper,
                                       const std::vector<std::string>& columns) const;

 private:
  ToleranceDatabase(std::filesystem::path path, std::optional<SqliteConnection> connection,
                    OpenStatus status)
      : path_(std::move(path)), connection_(std::move(connection)), status_(status) {}

  Lookup<SqliteStatement> Run(const Query& query) const;
  LookupFailure Failure(LookupFailureKind kind, const Query& query, std::string column = {},
                        std::string detail = {}) const;

  std::filesystem::path path_;
  std::optional<SqliteConnection> connection_;
  OpenStatus status_;
};

// Readers of one looked-up cell. A number is needed: empty and text cells fail.
Lookup<double> ReadNumber(const Lookup<Cell>& cell, const Query& query, const std::string& column);
// Text is shown as stored; an empty cell gives empty text.
Lookup<std::string> ReadText(const Lookup<Cell>& cell);

std::string_view OpenStatusName(OpenStatus status);

}  // namespace threadgauge
