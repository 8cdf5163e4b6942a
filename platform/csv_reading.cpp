#include "platform/csv_reading.h"

namespace threadgauge {

std::vector<NumberedCsvRow> ParseDelimitedLines(std::string_view text, char separator,
                                                bool blank_lines_are_rows) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<NumberedCsvRow> rows;
  CsvRow row;
  size_t line = 1, row_line = 1;
  std::string field;
  bool quoted = false;
  bool at_field_start = true;
  bool row_has_content = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        // A line break inside a quoted field is a line of the file all the same.
        if (c == '\n' || (c == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))) ++line;
        field += c;
      }
      continue;
    }
    if (c == '"' && at_field_start) {
      // A quote opens a quoted field only at its start: 12" stays 12".
      quoted = true;
      at_field_start = false;
      row_has_content = true;
    } else if (c == separator) {
      row.push_back(std::move(field));
      field.clear();
      at_field_start = true;
      row_has_content = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (row_has_content || !field.empty() || blank_lines_are_rows) {
        row.push_back(std::move(field));
        rows.push_back({row_line, std::move(row)});
      }
      row_line = ++line;
      row.clear();
      field.clear();
      at_field_start = true;
      row_has_content = false;
    } else {
      field += c;
      at_field_start = false;
      row_has_content = true;
    }
  }
  if (row_has_content || !field.empty()) {
    row.push_back(std::move(field));
    rows.push_back({row_line, std::move(row)});
  }
  return rows;
}

std::vector<CsvRow> ParseDelimited(std::string_view text, char separator,
                                   bool blank_lines_are_rows) {
  std::vector<CsvRow> rows;
  for (NumberedCsvRow& row : ParseDelimitedLines(text, separator, blank_lines_are_rows)) {
    rows.push_back(std::move(row.fields));
  }
  return rows;
}

std::vector<CsvRow> ParseCsv(std::string_view text) { return ParseDelimited(text, ','); }

}  // namespace threadgauge
