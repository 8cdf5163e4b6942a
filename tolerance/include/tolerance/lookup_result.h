#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/problems.h"

namespace threadgauge {

// Why a lookup could not give a value, or what the reader of a value must know. The
// calculation shows each as a notice.
enum class LookupFailureKind {
  DatabaseUnavailable,  // the database could not be used; `key` is its path, `open_status` why
  TableMissing,         // the table is not in the database
  ColumnMissing,        // the table has no column of that name
  NoRow,                // no row for the key
  NoRangeHolds,         // rows exist for the key, but none of their ranges holds the value
  RangesOutOfOrder,     // the rows' ranges are not stored in ascending order
  EmptyCell,            // the row holds nothing in the column
  NotANumber,           // the cell holds `cell_text`, which is not a number
  BoundReadAsNumber,    // the bound in `row` holds `cell_text`, read as the number `read_as`
  EngineError,          // the engine failed while reading; `engine_code` is its result code
};

struct LookupFailure {
  LookupFailureKind kind = LookupFailureKind::NoRow;
  std::string table{};
  std::string column{};
  std::string key{};        // what was looked for, e.g. "P = 1.5" or "P = 1.5, d = 10"
  std::string cell_text{};  // NotANumber, BoundReadAsNumber
  double read_as = 0;       // BoundReadAsNumber
  size_t row = 0;           // BoundReadAsNumber: 1-based, among the rows the SELECT returned
  OpenStatus open_status = OpenStatus::Opened;   // DatabaseUnavailable
  EngineFault engine_fault = EngineFault::None;  // EngineError
  int engine_code = 0;                           // EngineError: the engine's result code
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

// A value found by a range scan, with what the scan met on its way: bounds that had to be
// read by their leading number, and rows stored out of order.
template <typename T>
struct Scanned {
  Lookup<T> value;
  std::vector<LookupFailure> warnings;
};

}  // namespace threadgauge
