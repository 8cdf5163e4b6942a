#include "tolerance/tolerance_database.h"

#include <algorithm>
#include <cmath>

#include "tolerance/access_reader.h"
#include "tolerance/cell_number.h"
#include "tolerance/table_store.h"

namespace threadgauge {

ToleranceDatabase ToleranceDatabase::Open(const std::filesystem::path& path) {
  if (IsAccessFile(path)) {
    std::vector<std::string> tables;
    for (const SchemaTable& table : ProductSchema()) tables.push_back(table.name);
    return OpenAccess(path, tables);
  }
  auto [connection, status] = SqliteConnection::OpenReadOnly(path);
  return ToleranceDatabase(path, std::move(connection), status);
}

// An Access file is read whole and its tolerance tables copied, in stored order, into a
// fresh in-memory database, where the same SELECT texts and scans run. The file itself is
// only read.
ToleranceDatabase ToleranceDatabase::OpenAccess(const std::filesystem::path& path,
                                                const std::vector<std::string>& names) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    return ToleranceDatabase(path, std::nullopt, OpenStatus::FileMissing);
  auto read = ReadAccessTables(path);
  auto* tables = std::get_if<std::vector<TableData>>(&read);
  if (tables == nullptr) return ToleranceDatabase(path, std::nullopt, OpenStatus::NotADatabase);
  std::vector<TableData> wanted;
  for (TableData& table : *tables) {
    if (std::find(names.begin(), names.end(), table.name) != names.end()) {
      wanted.push_back(std::move(table));
    }
  }
  auto memory = SqliteConnection::OpenInMemory();
  if (!memory || CopyTables(*memory, wanted)) {
    return ToleranceDatabase(path, std::nullopt, OpenStatus::NotReadable);
  }
  return ToleranceDatabase(path, std::move(memory), OpenStatus::Opened);
}

std::string_view OpenStatusName(OpenStatus status) {
  switch (status) {
    case OpenStatus::Opened:
      return "opened";
    case OpenStatus::FileMissing:
      return "missing";
    case OpenStatus::NotReadable:
      return "unreadable";
    case OpenStatus::NotADatabase:
      return "not-a-database";
    case OpenStatus::Locked:
      return "locked";
  }
  return "unreadable";
}

LookupFailure ToleranceDatabase::Failure(LookupFailureKind kind, const Query& query,
                                         std::string column, std::string detail) const {
  return LookupFailure{kind, query.table, std::move(column), query.key, std::move(detail)};
}

Lookup<SqliteStatement> ToleranceDatabase::Run(const Query& query) const {
  if (!connection_) {
    return Failure(LookupFailureKind::DatabaseUnavailable, query, {},
                   std::string(OpenStatusName(status_)));
  }
  auto [statement, error] = connection_->Prepare(query.sql);
  if (!statement) {
    if (!connection_->HasTable(query.table)) {
      return Failure(LookupFailureKind::TableMissing, query);
    }
    if (!query.key_column.empty() && error.find("no such column") != std::string::npos) {
      return Failure(LookupFailureKind::ColumnMissing, query, query.key_column);
    }
    return Failure(LookupFailureKind::EngineError, query, {}, error);
  }
  if (query.has_parameter) statement->BindText(1, query.bound_text);
  return std::move(*statement);
}

namespace {

RowCells ReadColumns(const SqliteStatement& row, const std::vector<std::string>& columns,
                     const Query& query) {
  RowCells cells;
  cells.reserve(columns.size());
  for (const std::string& column : columns) {
    if (const auto index = row.ColumnIndex(column)) {
      cells.emplace_back(row.Read(*index));
    } else {
      cells.emplace_back(
          LookupFailure{LookupFailureKind::ColumnMissing, query.table, column, query.key, {}});
    }
  }
  return cells;
}

std::optional<double> BoundOf(const SqliteStatement& row, int index) {
  const Cell cell = row.Read(index);
  if (cell.kind == Cell::Kind::Integer || cell.kind == Cell::Kind::Real) return cell.number;
  if (cell.kind == Cell::Kind::Text) return ParseStoredNumber(cell.text);
  return std::nullopt;
}

}  // namespace

Lookup<RowCells> ToleranceDatabase::QueryFirstRow(const Query& query,
                                                  const std::vector<std::string>& columns) const {
  Lookup<SqliteStatement> run = Run(query);
  if (!run.ok()) return run.failure();
  SqliteStatement& statement = run.value();
  switch (statement.Next()) {
    case SqliteStatement::Step::Row:
      return ReadColumns(statement, columns, query);
    case SqliteStatement::Step::Done:
      return Failure(LookupFailureKind::NoRow, query);
    case SqliteStatement::Step::Error:
      break;
  }
  return Failure(LookupFailureKind::EngineError, query, {}, statement.ErrorMessage());
}

Lookup<RowCells> ToleranceDatabase::ScanRangeFirstMatch(
    const Query& query, double v, std::string_view lower, std::string_view upper,
    const std::vector<std::string>& columns) const {
  Lookup<SqliteStatement> run = Run(query);
  if (!run.ok()) return run.failure();
  SqliteStatement& statement = run.value();
  bool any_row = false;
  for (;;) {
    const SqliteStatement::Step step = statement.Next();
    if (step == SqliteStatement::Step::Done) break;
    if (step == SqliteStatement::Step::Error) {
      return Failure(LookupFailureKind::EngineError, query, {}, statement.ErrorMessage());
    }
    const auto upper_index = statement.ColumnIndex(upper);
    if (!upper_index) return Failure(LookupFailureKind::ColumnMissing, query, std::string(upper));
    const auto lower_index = statement.ColumnIndex(lower);
    if (!lower_index) return Failure(LookupFailureKind::ColumnMissing, query, std::string(lower));
    any_row = true;
    const std::optional<double> U = BoundOf(statement, *upper_index);
    const std::optional<double> L = BoundOf(statement, *lower_index);
    if (U && L && v >= *L && v <= *U) return ReadColumns(statement, columns, query);
  }
  return Failure(any_row ? LookupFailureKind::NoRangeHolds : LookupFailureKind::NoRow, query);
}

std::optional<LookupFailure> ToleranceDatabase::CheckRangeOrder(const Query& query,
                                                                std::string_view lower) const {
  Lookup<SqliteStatement> run = Run(query);
  if (!run.ok()) return std::nullopt;  // the lookup itself reports why it fails
  SqliteStatement& statement = run.value();
  std::optional<double> previous;
  while (statement.Next() == SqliteStatement::Step::Row) {
    const auto index = statement.ColumnIndex(lower);
    if (!index) return std::nullopt;
    const std::optional<double> L = BoundOf(statement, *index);
    if (!L) continue;
    if (previous && *L < *previous) {
      return Failure(LookupFailureKind::RangesOutOfOrder, query, std::string(lower));
    }
    previous = L;
  }
  return std::nullopt;
}

Lookup<double> ReadNumber(const Lookup<Cell>& cell, const Query& query, const std::string& column) {
  if (!cell.ok()) return cell.failure();
  const Cell& c = cell.value();
  const auto failure = [&](LookupFailureKind kind, std::string detail = {}) {
    return LookupFailure{kind, query.table, column, query.key, std::move(detail)};
  };
  switch (c.kind) {
    case Cell::Kind::Null:
      return failure(LookupFailureKind::EmptyCell);
    case Cell::Kind::Integer:
    case Cell::Kind::Real:
      if (std::isfinite(c.number)) return c.number;
      return failure(LookupFailureKind::NotANumber, c.text);
    case Cell::Kind::Text:
      if (c.text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return failure(LookupFailureKind::EmptyCell);
      }
      if (const auto number = ParseStoredNumber(c.text)) return *number;
      return failure(LookupFailureKind::NotANumber, c.text);
    case Cell::Kind::Blob:
      break;
  }
  return failure(LookupFailureKind::NotANumber, "(binary)");
}

Lookup<std::string> ReadText(const Lookup<Cell>& cell) {
  if (!cell.ok()) return cell.failure();
  return cell.value().text;
}

}  // namespace threadgauge
