#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

// One field of a CSV line, written so that spreadsheets and our own reader give back the
// same text: quoted when it holds a comma, a quote or a line end, or when it begins or ends
// with a blank that a reader might trim; quotes inside are doubled.
std::string CsvField(std::string_view text);

// One line of such fields, ended by CRLF as Excel writes it.
std::string CsvLine(const std::vector<std::string>& fields);

// A CSV file for Excel and WPS: UTF-8 with a byte-order mark (without it both read the
// Chinese as the local code page), one CsvLine a row.
std::string SpreadsheetCsv(const std::vector<std::vector<std::string>>& rows);

}  // namespace threadgauge
