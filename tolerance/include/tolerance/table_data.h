#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/problems.h"

namespace threadgauge {

// One table read whole from some store, in stored order. A cell is its text, or nothing
// (NULL). Numbers are kept as the text the store gives for them.
struct TableData {
  std::string name;
  std::vector<std::string> columns;
  std::vector<bool> numeric;  // per column: the store keeps numbers there
  std::vector<std::vector<std::optional<std::string>>> rows;
  friend bool operator==(const TableData&, const TableData&) = default;
};

}  // namespace threadgauge
