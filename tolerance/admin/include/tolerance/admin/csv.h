#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

using CsvRow = std::vector<std::string>;

// Reads comma-separated text as spreadsheets write it: fields in double quotes may hold
// commas, line breaks and doubled quotes; lines end in LF or CRLF; a UTF-8 byte-order mark
// is dropped. A blank last line gives no row.
std::vector<CsvRow> ParseCsv(std::string_view text);

}  // namespace threadgauge
