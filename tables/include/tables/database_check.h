#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// What a complete tolerance database must hold beyond its tables and columns: a row for
// every pitch of the pitch list, and the four thread-length ranges.
struct CheckKeys {
  std::vector<std::string> pitches;
  std::vector<std::string> length_ranges;
};

// A place in a table the check found fault with: a cell (with a column) or a whole row.
struct CheckMark {
  std::string table;
  size_t row = 0;  // 0-based, in stored order
  std::optional<std::string> column;
  std::string reason;
};

// What a table still lacks for the threads the program offers, in words that say what to
// type next.
struct CheckMissing {
  std::string table;
  std::string text;
};

// A report a gauge designer can act on, in Chinese: one line per finding, and the same
// findings placed on the tables' cells and rows for the table editor.
struct CheckReport {
  std::vector<std::string> lines;
  std::vector<CheckMark> marks;
  std::vector<CheckMissing> missing;
  bool complete = true;  // no finding that leaves a calculation without a value
};

CheckReport CheckDatabase(const std::vector<TableData>& tables, const CheckKeys& keys);

}  // namespace threadgauge
