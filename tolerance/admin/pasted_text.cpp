#include "tolerance/admin/pasted_text.h"

#include "tolerance/admin/csv.h"
#include "tolerance/range_bounds.h"

namespace threadgauge {
namespace {

std::optional<std::string> CellOf(std::string text) {
  if (text.empty()) return std::nullopt;
  return text;
}

// Tab-separated text as spreadsheets put it on the clipboard; an empty cell holds nothing.
std::vector<PastedRow> SpreadsheetRows(std::string_view text) {
  std::vector<PastedRow> rows;
  for (CsvRow& cells : ParseDelimited(text, '\t')) {
    PastedRow row;
    for (std::string& cell : cells) row.push_back(CellOf(std::move(cell)));
    rows.push_back(std::move(row));
  }
  return rows;
}

// Blanks that separate the cells of a table copied from a PDF: spaces, tabs, the
// ideographic space and the no-break space.
size_t BlankAt(std::string_view text, size_t i) {
  if (text[i] == ' ' || text[i] == '\t') return 1;
  if (text.substr(i, 3) == "\u3000") return 3;
  if (text.substr(i, 2) == "\u00A0") return 2;
  return 0;
}

std::vector<PastedRow> PdfRows(std::string_view text) {
  std::vector<PastedRow> rows;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    PastedRow row;
    std::string token;
    const auto finish = [&] {
      if (token.empty()) return;
      row.push_back(IsOpenBound(token) ? std::nullopt : std::optional<std::string>(token));
      token.clear();
    };
    for (size_t i = 0; i < line.size();) {
      if (const size_t blank = BlankAt(line, i)) {
        finish();
        i += blank;
      } else {
        token += line[i++];
      }
    }
    finish();
    if (!row.empty()) rows.push_back(std::move(row));
    if (end == text.size()) break;
    start = end + 1;
  }
  return rows;
}

}  // namespace

PastedBlock ParsePastedText(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<PastedRow> rows =
      text.find('\t') != std::string_view::npos ? SpreadsheetRows(text) : PdfRows(text);
  PastedBlock block;
  if (rows.empty()) return block;
  block.width = rows.front().size();
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].size() != block.width) {
      block.left_out = "第 " + std::to_string(r + 1) + " 行有 " + std::to_string(rows[r].size()) +
                       " 个单元格，第 1 行有 " + std::to_string(block.width) + " 个：第 " +
                       std::to_string(r + 1) + " 行起的 " + std::to_string(rows.size() - r) +
                       " 行未粘贴";
      break;
    }
    block.rows.push_back(std::move(rows[r]));
  }
  return block;
}

std::string ToTabSeparated(const std::vector<PastedRow>& rows) {
  std::string out;
  for (const PastedRow& row : rows) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) out += '\t';
      if (!row[c]) continue;
      const std::string& text = *row[c];
      if (text.find_first_of("\t\r\n\"") == std::string::npos) {
        out += text;
        continue;
      }
      out += '"';
      for (char ch : text) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace threadgauge
