#include "platform/csv_field.h"

namespace threadgauge {

std::string CsvField(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
  return line + "\r\n";
}

std::string SpreadsheetCsv(const std::vector<std::vector<std::string>>& rows) {
  std::string csv = "\xEF\xBB\xBF";
  for (const auto& row : rows) csv += CsvLine(row);
  return csv;
}

}  // namespace threadgauge
