#pragma once

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

// A report a gauge designer can act on, in Chinese: one line per finding.
struct CheckReport {
  std::vector<std::string> lines;
  bool complete = true;  // no finding that leaves a calculation without a value
};

CheckReport CheckDatabase(const std::vector<TableData>& tables, const CheckKeys& keys);

}  // namespace threadgauge
