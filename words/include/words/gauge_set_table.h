#pragma once

#include <string>
#include <vector>

#include "calculation/gauge_set.h"

namespace threadgauge {

// The table's column headings and rows as text.
std::vector<std::string> GaugeSetColumns();
std::vector<std::vector<std::string>> GaugeSetCells(const GaugeSet& set);

// The table as CSV (UTF-8 with a byte-order mark, so Excel and WPS open it in Chinese), its
// notices below it, and as tab-separated text for a spreadsheet's clipboard.
std::string GaugeSetCsv(const GaugeSet& set);
std::string GaugeSetTabSeparated(const GaugeSet& set);

}  // namespace threadgauge
