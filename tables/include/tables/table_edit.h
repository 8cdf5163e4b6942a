#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tables/pasted_text.h"
#include "tolerance/table_data.h"

namespace threadgauge {

// What the table editor does to one table. Every row stays exactly as wide as the table's
// columns, and rows keep their stored order unless they are moved: the first row whose
// range holds a value wins.

void SetCell(TableData& table, size_t row, size_t column, std::optional<std::string> text);

// Inserts `count` empty rows before row `at` (at the end when `at` is the row count).
void InsertRows(TableData& table, size_t at, size_t count);

// Removes the listed rows; the order of the list and repeats do not matter.
void RemoveRows(TableData& table, std::vector<size_t> rows);

// Moves the rows first … first + count − 1 one place up (by = −1) or down (by = +1). False,
// and nothing moved, when they are at the top or bottom already.
bool MoveRows(TableData& table, size_t first, size_t count, int by);

struct PasteOutcome {
  size_t first_row = 0;  // where the block went (0-based)
  size_t rows_written = 0;
  size_t columns_written = 0;
  size_t rows_added = 0;  // rows the table grew by
  std::string left_out;   // what was not pasted, in words; empty when all was
};

// Pastes the block with its first cell at (row, column), overwriting what is there and
// adding rows at the end as needed (a row past the last appends). A block as wide as the
// table holds whole rows and goes into the first column, wherever the current cell is.
// Cells that would fall right of the last column are left out and said.
PasteOutcome PasteBlock(TableData& table, size_t row, size_t column, const PastedBlock& block);

// The cells of rows first_row … last_row and columns first_column … last_column.
std::vector<PastedRow> CopyBlock(const TableData& table, size_t first_row, size_t last_row,
                                 size_t first_column, size_t last_column);

}  // namespace threadgauge
