#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

using CsvRow = std::vector<std::string>;

// Reads text whose fields are separated by `separator` as spreadsheets write it: a field
// that starts with a double quote may hold separators, line breaks and doubled quotes;
// lines end in LF or CRLF; a UTF-8 byte-order mark is dropped; blank lines give no row,
// or, with `blank_lines_are_rows`, a row of one empty field (a final line break gives none).
std::vector<CsvRow> ParseDelimited(std::string_view text, char separator,
                                   bool blank_lines_are_rows = false);

// The same, each row with the number of the line it starts on (1 for the first): a quoted
// field with line breaks makes one row of several lines.
struct NumberedCsvRow {
  size_t line = 0;
  CsvRow fields;
};
std::vector<NumberedCsvRow> ParseDelimitedLines(std::string_view text, char separator,
                                                bool blank_lines_are_rows = false);

// Comma-separated text.
std::vector<CsvRow> ParseCsv(std::string_view text);

}  // namespace threadgauge
