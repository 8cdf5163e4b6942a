#include "tables/pasted_text.h"

#include <algorithm>

#include "platform/csv_reading.h"
#include "tolerance/range_bounds.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

// Digits, signs and blanks as a Chinese input method or a PDF may give them, in their plain
// forms: full-width digits, point, comma and signs, the ideographic space, the minus sign.
std::string Normalised(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const std::string_view rest = text.substr(i);
    if (rest.substr(0, 3) == "\u3000") {
      out += ' ';
      i += 3;
    } else if (rest.substr(0, 3) == "\u2212") {
      out += '-';
      i += 3;
    } else if (rest.size() >= 3 && static_cast<unsigned char>(rest[0]) == 0xEF &&
               static_cast<unsigned char>(rest[1]) == 0xBC &&
               ((static_cast<unsigned char>(rest[2]) >= 0x90 &&
                 static_cast<unsigned char>(rest[2]) <= 0x99) ||
                (static_cast<unsigned char>(rest[2]) >= 0x8B &&
                 static_cast<unsigned char>(rest[2]) <= 0x8E))) {
      // U+FF0B … U+FF0E (＋ ， － ．) and U+FF10 … U+FF19 (０ … ９).
      out += static_cast<char>(static_cast<unsigned char>(rest[2]) - 0x60);
      i += 3;
    } else {
      out += text[i++];
    }
  }
  const size_t first = out.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

std::optional<std::string> CellOf(std::string_view text) {
  std::string cell = Normalised(text);
  if (cell.empty()) return std::nullopt;
  return cell;
}

// A PDF prints an empty cell as a dash; a dash alone is nothing.
std::optional<std::string> PdfCellOf(std::string_view text) {
  auto cell = CellOf(text);
  if (cell && IsOpenBound(*cell)) return std::nullopt;
  return cell;
}

// The lines of the text; a final line break adds no line.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  return lines;
}

// Tab-separated text as spreadsheets put it on the clipboard: every line a row, an empty
// line a row of empty cells, each cell in the column it was copied from.
std::vector<PastedRow> SpreadsheetRows(std::string_view text) {
  std::vector<PastedRow> rows;
  for (CsvRow& cells : ParseDelimited(text, '\t', true)) {
    PastedRow row;
    for (std::string& cell : cells) row.push_back(CellOf(cell));
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

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i < line.size();) {
    if (const size_t blank = BlankAt(line, i)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
      i += blank;
    } else {
      word += line[i++];
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// Each line of a PDF table is a row of words; lines with no word are skipped.
std::vector<PastedRow> PdfRows(const std::vector<std::string_view>& lines) {
  std::vector<PastedRow> rows;
  for (std::string_view line : lines) {
    PastedRow row;
    for (const std::string& word : Words(line)) row.push_back(PdfCellOf(word));
    if (!row.empty()) rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

PastedBlock ParsePastedText(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  PastedBlock block;
  if (text.find('\t') != std::string_view::npos) {
    // A spreadsheet's block is a rectangle; a short line lacks only empty cells at its end.
    block.rows = SpreadsheetRows(text);
    for (const PastedRow& row : block.rows) block.width = std::max(block.width, row.size());
    for (PastedRow& row : block.rows) row.resize(block.width);
    return block;
  }
  const std::vector<std::string_view> lines = Lines(text);
  const bool one_column = std::all_of(
      lines.begin(), lines.end(), [](std::string_view line) { return Words(line).size() <= 1; });
  if (one_column) {
    // A column of cells: an empty line is an empty cell, never a line to drop.
    for (std::string_view line : lines) block.rows.push_back({PdfCellOf(line)});
    block.width = block.rows.empty() ? 0 : 1;
    return block;
  }
  std::vector<PastedRow> rows = PdfRows(lines);
  block.width = rows.front().size();
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].size() == block.width) continue;
    // Which cell of a short line is missing cannot be told: nothing is placed by guess.
    block.left_out =
        Say({MessageCode::PasteRowsUneven,
             {std::to_string(r + 1), std::to_string(rows[r].size()), std::to_string(block.width)}});
    block.width = 0;
    return block;
  }
  block.rows = std::move(rows);
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
