#pragma once

#include <any>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "sqlite/sqlite_database.h"
#include "tolerance/access_child.h"
#include "tolerance/access_reader.h"
#include "tolerance/lookup_result.h"

namespace threadgauge {

// A value bound to a "?" of a SELECT text: never pasted into the text itself.
using Parameter = std::variant<std::int64_t, double, std::string>;

// One SELECT of a lookup, and what it is about for the failures it may report.
struct Query {
  std::string table;              // the table the SELECT text reads
  std::string sql;                // the SELECT text, sent as it stands
  std::vector<Parameter> params;  // bound to its "?" in order
  std::string key_column;         // the column of the Where condition, if any
  std::string key{};              // the key in words for failures, e.g. "P = 1.5, d = 10"
  std::string rows_key{};         // the part of the key that chose the rows: "P = 1.5"
};

// The named columns of one row; each is a cell or ColumnMissing.
using RowCells = std::vector<Lookup<Cell>>;

// The tolerance database, opened read-only. Each SELECT text is prepared once per opening
// and its answers kept, so a database kept open between calculations while its file is
// unchanged does no work twice.
class ToleranceDatabase {
 public:
  // An SQLite file is opened read-only; an Access file (.mdb, .accdb) is read whole and
  // its tolerance tables copied into a fresh in-memory database.
  static ToleranceDatabase Open(const std::filesystem::path& path,
                                const AccessReadLimits& limits = {});
  // The named tables of an Access file, copied in stored order into memory.
  static ToleranceDatabase OpenAccess(const std::filesystem::path& path,
                                      const std::vector<std::string>& tables,
                                      const AccessReadLimits& limits = {});

  ToleranceDatabase(ToleranceDatabase&&) noexcept = default;
  ToleranceDatabase& operator=(ToleranceDatabase&&) noexcept = default;

  const std::filesystem::path& path() const { return path_; }
  OpenStatus status() const { return status_; }
  bool is_open() const { return connection_.has_value(); }
  const SqliteConnection* connection() const { return connection_ ? &*connection_ : nullptr; }
  // How the file was read, when the user must know: the code page of an Access 97 file
  // when it is not the one the file's header records. Empty otherwise.
  const std::optional<CodePageChoice>& code_page() const { return code_page_; }
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

  // The answer of a lookup asked before on this opening, or `compute`'s, kept when it may
  // be kept. The database is only read, and a session keeps it open only while its file is
  // unchanged, so the same question gets the same answer; a question is its lookup, two
  // numbers and a text, so a repeated one costs no string built and no SQL run.
  template <typename T, typename Compute>
  T Memo(int lookup, double a, double b, std::string_view text, Compute compute) const {
    if (const auto known = memo_.find(MemoView{lookup, a, b, text}); known != memo_.end()) {
      return *std::any_cast<T>(&known->second);
    }
    T answer = compute();
    if (MayKeep(answer)) memo_.emplace(MemoKey{lookup, a, b, std::string(text)}, answer);
    return answer;
  }

 private:
  ToleranceDatabase(std::filesystem::path path, std::optional<SqliteConnection> connection,
                    OpenStatus status)
      : path_(std::move(path)), connection_(std::move(connection)), status_(status) {}

  friend class ReadScope;
  Lookup<RowCells> ReadFirstRow(const Query& query, const std::vector<std::string>& columns) const;
  Scanned<RowCells> Scan(const Query& query, double v, const std::string& lower,
                         const std::string& upper, const std::vector<std::string>& columns) const;
  Lookup<SqliteStatement*> Run(const Query& query) const;
  LookupFailure Failure(LookupFailureKind kind, const Query& query, std::string column = {}) const;

  std::filesystem::path path_;
  std::optional<SqliteConnection> connection_;
  OpenStatus status_;
  std::optional<CodePageChoice> code_page_;
  // Declared after the connection, so the statements are finalized before it closes. A
  // text that does not prepare (a missing table) is kept as its failure: the file is
  // unchanged while the database is open.
  mutable std::map<std::string, std::variant<SqliteStatement, LookupFailure>, std::less<>>
      statements_;
  struct MemoKey {
    int lookup;
    double a, b;
    std::string text;
  };
  struct MemoView {
    int lookup;
    double a, b;
    std::string_view text;
  };
  struct MemoLess {
    using is_transparent = void;
    template <typename X, typename Y>
    bool operator()(const X& x, const Y& y) const {
      return std::tuple(x.lookup, x.a, x.b, std::string_view(x.text)) <
             std::tuple(y.lookup, y.a, y.b, std::string_view(y.text));
    }
  };
  mutable std::map<MemoKey, std::any, MemoLess> memo_;
  mutable bool scoped_ = false;          // a calculation's ReadScope is open
  mutable bool in_transaction_ = false;  // and its transaction has begun
};

// The lookups of one calculation in one read transaction: the file's read lock is taken
// once instead of at every SELECT, and every lookup sees the same state of the file.
class ReadScope {
 public:
  explicit ReadScope(const ToleranceDatabase& db);
  ~ReadScope();
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

 private:
  const ToleranceDatabase& db_;
};

// An engine error (a lock held by another program, a read that failed) may not happen at
// the next asking: such an answer is not kept.
template <typename T>
bool MayKeep(const Lookup<T>& answer) {
  return answer.ok() || answer.failure().kind != LookupFailureKind::EngineError;
}
template <typename T>
bool MayKeep(const Scanned<T>& answer) {
  return MayKeep(answer.value);
}

// Readers of one looked-up cell. A number is needed: empty and text cells fail.
Lookup<double> ReadNumber(const Lookup<Cell>& cell, const Query& query, const std::string& column);
// Text is shown as stored; an empty cell gives empty text.
Lookup<std::string> ReadText(const Lookup<Cell>& cell);

}  // namespace threadgauge
