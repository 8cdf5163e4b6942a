#pragma once

#include <string>
#include <utility>
#include <variant>

namespace threadgauge {

// Why a lookup could not give a value. The calculation turns each into a notice.
enum class LookupFailureKind {
  DatabaseUnavailable,  // the database could not be opened; `detail` holds the OpenStatus name
  TableMissing,         // the table is not in the database
  ColumnMissing,        // the table has no column of that name
  NoRow,                // no row for the key
  NoRangeHolds,         // rows exist for the key, but none of their ranges holds the value
  RangesOutOfOrder,     // the rows' ranges are not stored in ascending order
  EmptyCell,            // the row holds nothing in the column
  NotANumber,           // the cell holds text that is not a number; `detail` holds the text
  EngineError,          // the engine failed while reading; `detail` holds its message
};

struct LookupFailure {
  LookupFailureKind kind;
  std::string table;
  std::string column;
  std::string key;     // what was looked for, e.g. "P = 1.5" or "P = 1.5, d = 10"
  std::string detail;  // see the kinds
  friend bool operator==(const LookupFailure&, const LookupFailure&) = default;
};

// A looked-up value, or why there is none. Not finding a row is not an error of the
// program, so nothing throws: the caller decides what a failure means.
template <typename T>
class Lookup {
 public:
  Lookup(T value) : state_(std::move(value)) {}                  // NOLINT: implicit by design
  Lookup(LookupFailure failure) : state_(std::move(failure)) {}  // NOLINT

  bool ok() const { return std::holds_alternative<T>(state_); }
  const T& value() const { return std::get<T>(state_); }
  T& value() { return std::get<T>(state_); }
  const LookupFailure& failure() const { return std::get<LookupFailure>(state_); }

 private:
  std::variant<T, LookupFailure> state_;
};

}  // namespace threadgauge
