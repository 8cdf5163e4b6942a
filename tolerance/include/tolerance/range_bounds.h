#pragma once

#include <optional>
#include <string>

#include "sqlite/sqlite_database.h"

namespace threadgauge {

// A bound of a range table as the scans read it. Standards print the first row of a range
// table as "above — up to 50", so an empty cell and a dash alone are the bound 0. Other
// text reads as its leading number, as every number of the tables does; the reader is told.
struct Bound {
  double value = 0;
  std::optional<std::string> unreadable;  // the text, when it was read by its leading number
};
Bound ReadBound(const Cell& cell);
Bound ReadBound(const std::optional<std::string>& text);

// Whether a cell's text is a bound left open: nothing but blanks and dashes.
bool IsOpenBound(const std::string& text);

struct Range {
  double lower = 0, upper = 0;
};

// How a range follows the one stored before it. The first-match rule picks the right row
// only when ranges ascend and join; a shared bound is a join (the earlier row takes it).
enum class RangeJoin { Joined, Gap, Overlap, Descending };
RangeJoin JoinOf(const Range& previous, const Range& next);

}  // namespace threadgauge
