#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tolerance/lookup_result.h"

namespace threadgauge {

// Why a result field stays empty. Shown in the window's status line and by the CLI.
enum class NoticeKind {
  DatabaseUnavailable,  // the database file could not be used; `key` its path, `detail` why
  TableMissing,         // `table` is not in the database
  ColumnMissing,        // `table` has no `column`
  NoRow,                // `table` has no row for `key`
  NoRangeHolds,         // no row of `table` has a range that holds `key`
  RangesOutOfOrder,     // the rows of `table` for `key` are not stored in ascending order
  EmptyCell,            // the row of `key` in `table` holds nothing in `column`
  NotANumber,           // ... holds the text `detail`, which is not a number
  EngineError,          // the database engine failed reading `table`: `detail`
  WrongThreadKind,      // position `detail` belongs to the other kind of thread than gauge
                        // `key` checks; `column` is the deviation column asked for
  NotFinite,            // the result for field `column` is too large to show
  UnknownGauge,         // the gauge name `key` is none of the ten kinds: nothing computed
};

struct Notice {
  NoticeKind kind;
  std::string table;
  std::string column;
  std::string key;
  std::string detail;
  friend bool operator==(const Notice&, const Notice&) = default;
};

Notice ToNotice(const LookupFailure& failure, const std::filesystem::path& database);

// The notice in the words of a gauge designer, in Chinese.
std::string DescribeNotice(const Notice& notice);

// Adds each notice that is not there yet, keeping the order of first appearance.
void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from);

}  // namespace threadgauge
