#include "tolerance/tolerance_database.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/number_text.h"
#include "platform/utf8.h"
#include "tolerance/access_child.h"
#include "tolerance/access_reader.h"
#include "tolerance/range_bounds.h"
#include "tolerance/schema.h"

namespace threadgauge {

ToleranceDatabase ToleranceDatabase::Open(const std::filesystem::path& path,
                                          const AccessReadLimits& limits) {
  if (IsAccessFile(path)) {
    std::vector<std::string> tables;
    for (const SchemaTable& table : ProductSchema()) tables.push_back(table.name);
    return OpenAccess(path, tables, limits);
  }
  auto [connection, status] = SqliteConnection::OpenReadOnly(path);
  return ToleranceDatabase(path, std::move(connection), status);
}

// An Access file is read whole and its tolerance tables copied, in stored order, into a
// fresh in-memory database, where the same SELECT texts and scans run. The file itself is
// only read.
ToleranceDatabase ToleranceDatabase::OpenAccess(const std::filesystem::path& path,
                                                const std::vector<std::string>& names,
                                                const AccessReadLimits& limits) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    return ToleranceDatabase(path, std::nullopt, OpenStatus::FileMissing);
  }
  auto read = ReadAccessTablesApart(path, AccessReadOptions{std::nullopt, names}, limits);
  auto* access = std::get_if<AccessTables>(&read);
  if (access == nullptr)
    return ToleranceDatabase(path, std::nullopt, std::get<ReadFailure>(read).status);
  std::vector<TableData> wanted;
  for (TableData& table : access->tables) {
    if (std::find(names.begin(), names.end(), table.name) != names.end()) {
      wanted.push_back(std::move(table));
    }
  }
  auto memory = SqliteConnection::OpenInMemory();
  if (!memory || CopyTables(*memory, wanted)) {
    return ToleranceDatabase(path, std::nullopt, OpenStatus::NotReadable);
  }
  ToleranceDatabase db(path, std::move(memory), OpenStatus::Opened);
  db.code_page_ = access->code_page;
  return db;
}

// The transaction begins with the first lookup that reads the file; answers already known
// need none.
ReadScope::ReadScope(const ToleranceDatabase& db) : db_(db) { db_.scoped_ = true; }

ReadScope::~ReadScope() {
  db_.scoped_ = false;
  if (db_.in_transaction_) {
    db_.in_transaction_ = false;
    // Only read in it: a COMMIT that fails loses nothing, but the transaction must not stay
    // open, or the next calculation's BEGIN would fail.
    if (db_.connection_->Exec("COMMIT")) db_.connection_->Exec("ROLLBACK");
  }
}

LookupFailure ToleranceDatabase::Failure(LookupFailureKind kind, const Query& query,
                                         std::string column) const {
  LookupFailure failure{kind, query.table, std::move(column), query.key};
  if (kind == LookupFailureKind::DatabaseUnavailable) {
    // One notice for the file, whichever lookup met it first.
    return LookupFailure{kind, {}, {}, Utf8(path_), {}, 0, 0, status_};
  }
  if (kind == LookupFailureKind::EngineError && connection_) {
    failure.engine_code = connection_->ErrorCode();
    failure.engine_fault = FaultOf(failure.engine_code);
  }
  return failure;
}

Lookup<SqliteStatement*> ToleranceDatabase::Run(const Query& query) const {
  if (!connection_) return Failure(LookupFailureKind::DatabaseUnavailable, query);
  auto cached = statements_.find(query.sql);
  if (cached == statements_.end()) {
    auto statement = connection_->Prepare(query.sql);
    if (statement) {
      cached = statements_.emplace(query.sql, std::move(*statement)).first;
    } else {
      // Told apart by asking the schema, never by the engine's message text.
      LookupFailure failure = Failure(LookupFailureKind::EngineError, query);
      if (!connection_->HasTable(query.table)) {
        failure = Failure(LookupFailureKind::TableMissing, query);
      } else if (!query.key_column.empty() &&
                 !connection_->HasColumn(query.table, query.key_column)) {
        failure = Failure(LookupFailureKind::ColumnMissing, query, query.key_column);
      }
      cached = statements_.emplace(query.sql, std::move(failure)).first;
    }
  }
  if (auto* failure = std::get_if<LookupFailure>(&cached->second)) {
    LookupFailure told = *failure;
    told.key = query.key;  // the same text may be asked for another key
    return told;
  }
  SqliteStatement& statement = std::get<SqliteStatement>(cached->second);
  if (scoped_ && !in_transaction_ && query.table.size() > 0) {
    // Every lookup of one calculation reads the same state of the file; without the
    // transaction that cannot be promised, so the lookup fails rather than read unguarded.
    if (connection_->Exec("BEGIN")) return Failure(LookupFailureKind::EngineError, query);
    in_transaction_ = true;
  }
  statement.Reset();
  for (size_t i = 0; i < query.params.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    std::visit(
        [&](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            statement.BindText(index, value);
          } else if constexpr (std::is_same_v<T, double>) {
            statement.BindReal(index, value);
          } else {
            statement.BindInteger(index, value);
          }
        },
        query.params[i]);
  }
  return &statement;
}

namespace {

// A statement left part-way through its rows would hold the file's read lock until its
// next run, keeping a program that saves the file waiting; every use ends with a reset.
class ResetOnExit {
 public:
  explicit ResetOnExit(SqliteStatement& statement) : statement_(statement) {}
  ~ResetOnExit() { statement_.Reset(); }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  SqliteStatement& statement_;
};

RowCells ReadColumns(const SqliteStatement& row, const std::vector<std::string>& columns,
                     const Query& query) {
  RowCells cells;
  cells.reserve(columns.size());
  for (const std::string& column : columns) {
    if (const auto index = row.ColumnIndex(column)) {
      cells.emplace_back(row.Read(*index));
    } else {
      cells.emplace_back(
          LookupFailure{LookupFailureKind::ColumnMissing, query.table, column, query.key});
    }
  }
  return cells;
}

// "第 2 行", or "P = 1.5 的第 2 行" where the SELECT chose the rows by a key.
std::string RowInWords(const Query& query, size_t row) {
  const std::string number = "第 " + std::to_string(row) + " 行";
  return query.rows_key.empty() ? number : query.rows_key + " 的" + number;
}

}  // namespace

std::optional<std::int64_t> ToleranceDatabase::DataVersion() const {
  if (!connection_ || code_page_ || IsAccessFile(path_)) return std::nullopt;
  const Query query{"", "PRAGMA data_version", {}, {}, {}};
  Lookup<SqliteStatement*> run = Run(query);
  if (!run.ok()) return std::nullopt;
  SqliteStatement& statement = *run.value();
  const ResetOnExit reset(statement);
  if (statement.Next() != SqliteStatement::Step::Row) return std::nullopt;
  return static_cast<std::int64_t>(statement.Read(0).number);
}

Lookup<RowCells> ToleranceDatabase::QueryFirstRow(const Query& query,
                                                  const std::vector<std::string>& columns) const {
  return ReadFirstRow(query, columns);
}

Scanned<RowCells> ToleranceDatabase::ScanRangeFirstMatch(
    const Query& query, double v, const std::string& lower, const std::string& upper,
    const std::vector<std::string>& columns) const {
  return Scan(query, v, lower, upper, columns);
}

Lookup<RowCells> ToleranceDatabase::ReadFirstRow(const Query& query,
                                                 const std::vector<std::string>& columns) const {
  Lookup<SqliteStatement*> run = Run(query);
  if (!run.ok()) return run.failure();
  SqliteStatement& statement = *run.value();
  const ResetOnExit reset(statement);
  const SqliteStatement::Step step = statement.Next();
  if (step == SqliteStatement::Step::Row) return ReadColumns(statement, columns, query);
  if (step == SqliteStatement::Step::Done) return Failure(LookupFailureKind::NoRow, query);
  return Failure(LookupFailureKind::EngineError, query);
}

Scanned<RowCells> ToleranceDatabase::Scan(const Query& query, double v, const std::string& lower,
                                          const std::string& upper,
                                          const std::vector<std::string>& columns) const {
  Lookup<SqliteStatement*> run = Run(query);
  if (!run.ok()) return {run.failure(), {}};
  SqliteStatement& statement = *run.value();
  const ResetOnExit reset(statement);
  std::optional<RowCells> match;
  std::vector<LookupFailure> warnings;
  std::optional<Range> previous;
  bool descending = false;
  size_t row = 0;
  for (;;) {
    const SqliteStatement::Step step = statement.Next();
    if (step == SqliteStatement::Step::Done) break;
    if (step == SqliteStatement::Step::Error) {
      return {Failure(LookupFailureKind::EngineError, query), std::move(warnings)};
    }
    ++row;
    const auto upper_index = statement.ColumnIndex(upper);
    if (!upper_index) return {Failure(LookupFailureKind::ColumnMissing, query, upper), {}};
    const auto lower_index = statement.ColumnIndex(lower);
    if (!lower_index) return {Failure(LookupFailureKind::ColumnMissing, query, lower), {}};
    const Bound U = ReadBound(statement.Read(*upper_index));
    const Bound L = ReadBound(statement.Read(*lower_index));
    if (!match) {
      // The rows up to the match are the ones whose bounds the lookup relied on.
      for (const auto& [bound, column] : {std::pair{&U, &upper}, std::pair{&L, &lower}}) {
        if (!bound->unreadable) continue;
        LookupFailure warning = Failure(LookupFailureKind::BoundReadAsNumber, query, *column);
        warning.key = RowInWords(query, row);
        warning.cell_text = *bound->unreadable;
        warning.read_as = bound->value;
        warnings.push_back(std::move(warning));
      }
      if (v >= L.value && v <= U.value) match = ReadColumns(statement, columns, query);
    }
    const Range range{L.value, U.value};
    if (previous && JoinOf(*previous, range) == RangeJoin::Descending) descending = true;
    previous = range;
  }
  if (descending) warnings.push_back(Failure(LookupFailureKind::RangesOutOfOrder, query, lower));
  if (match) return {std::move(*match), std::move(warnings)};
  return {Failure(row > 0 ? LookupFailureKind::NoRangeHolds : LookupFailureKind::NoRow, query),
          std::move(warnings)};
}

Lookup<double> ReadNumber(const Lookup<Cell>& cell, const Query& query, const std::string& column) {
  if (!cell.ok()) return cell.failure();
  const Cell& c = cell.value();
  const auto failure = [&](LookupFailureKind kind, std::string text = {}) {
    LookupFailure f{kind, query.table, column, query.key};
    f.cell_text = std::move(text);
    return f;
  };
  switch (c.kind) {
    case Cell::Kind::Null:
      return failure(LookupFailureKind::EmptyCell);
    case Cell::Kind::Integer:
    case Cell::Kind::Real:
      if (std::isfinite(c.number)) return c.number;
      return failure(LookupFailureKind::NotANumber, PlainDecimal(c.number));
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
  const Cell& c = cell.value();
  // A number where text is shown reads as the plain decimal it holds: 10, not 10.0.
  if (c.kind == Cell::Kind::Integer || c.kind == Cell::Kind::Real) return PlainDecimal(c.number);
  return c.text;
}

}  // namespace threadgauge
