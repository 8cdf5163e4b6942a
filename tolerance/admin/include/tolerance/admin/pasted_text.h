#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace threadgauge {

using PastedRow = std::vector<std::optional<std::string>>;

// A block of cells taken from the clipboard, as a rectangle: every row as wide as the
// first. A row of another width stops the block there, because its cells cannot be placed
// without shifting some into the wrong column; `left_out` says which rows were not taken.
struct PastedBlock {
  std::vector<PastedRow> rows;
  size_t width = 0;
  std::string left_out;  // empty when every row was taken
};

// Reads text copied from a spreadsheet (Excel, WPS, LibreOffice: cells separated by tabs,
// rows by CRLF or LF, cells with tabs or line breaks in double quotes) or from a table of a
// PDF (cells separated by blanks, a dash alone meaning an empty cell; blank lines skipped).
// An empty cell is nothing (NULL).
PastedBlock ParsePastedText(std::string_view text);

// The cells as a spreadsheet takes them: tab-separated, one line per row, a cell with a
// tab, a line break or a double quote in double quotes.
std::string ToTabSeparated(const std::vector<PastedRow>& rows);

}  // namespace threadgauge
