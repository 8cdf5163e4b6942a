#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

using PastedRow = std::vector<std::optional<std::string>>;

// A block of cells taken from the clipboard, as a rectangle: every row as wide as the
// block. Lines of a PDF table with different numbers of cells give no block, because which
// cell a short line lacks cannot be told; `left_out` says why.
struct PastedBlock {
  std::vector<PastedRow> rows;
  size_t width = 0;
  std::string left_out;  // empty when every row was taken
};

// Reads text copied from a spreadsheet (Excel, WPS, LibreOffice: cells separated by tabs,
// rows by CRLF or LF, an empty line a row of empty cells, cells with tabs or line breaks in
// double quotes), a column of cells (text without tabs, one cell a line, an empty line an
// empty cell), or a table of a PDF (cells separated by blanks, a dash alone meaning an
// empty cell, blank lines skipped). A final line break adds no row. Full-width digits and
// signs, the ideographic space and the minus sign are read in their plain forms; an empty
// cell is nothing (NULL).
PastedBlock ParsePastedText(std::string_view text);

// The cells as a spreadsheet takes them: tab-separated, one line per row, a cell with a
// tab, a line break or a double quote in double quotes.
std::string ToTabSeparated(const std::vector<PastedRow>& rows);

}  // namespace threadgauge
