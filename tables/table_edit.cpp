#include "tables/table_edit.h"

#include <algorithm>

#include "words/message_words.h"

namespace threadgauge {

void SetCell(TableData& table, size_t row, size_t column, std::optional<std::string> text) {
  if (row >= table.rows.size() || column >= table.columns.size()) return;
  table.rows[row].resize(table.columns.size());
  table.rows[row][column] = text && !text->empty() ? std::move(text) : std::nullopt;
}

void InsertRows(TableData& table, size_t at, size_t count) {
  at = std::min(at, table.rows.size());
  table.rows.insert(table.rows.begin() + static_cast<std::ptrdiff_t>(at), count,
                    std::vector<std::optional<std::string>>(table.columns.size()));
}

void RemoveRows(TableData& table, std::vector<size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it < table.rows.size())
      table.rows.erase(table.rows.begin() + static_cast<std::ptrdiff_t>(*it));
  }
}

bool MoveRows(TableData& table, size_t first, size_t count, int by) {
  if (count == 0 || first + count > table.rows.size() || (by != -1 && by != 1)) return false;
  const auto begin = table.rows.begin() + static_cast<std::ptrdiff_t>(first);
  const auto end = begin + static_cast<std::ptrdiff_t>(count);
  if (by < 0) {
    if (first == 0) return false;
    std::rotate(begin - 1, begin, end);
  } else {
    if (first + count == table.rows.size()) return false;
    std::rotate(begin, end, end + 1);
  }
  return true;
}

PasteOutcome PasteBlock(TableData& table, size_t row, size_t column, const PastedBlock& block) {
  PasteOutcome outcome;
  std::string left_out = block.left_out;
  if (block.width == table.columns.size()) column = 0;  // whole rows
  if (block.rows.empty() || column >= table.columns.size()) {
    outcome.left_out = left_out;
    return outcome;
  }
  const size_t fits = std::min(block.width, table.columns.size() - column);
  if (fits < block.width) {
    const Message right{MessageCode::PasteBeyondLastColumn, {std::to_string(block.width - fits)}};
    left_out = left_out.empty()
                   ? Say(right)
                   : Say({MessageCode::BothSaid, {}, {right, {MessageCode::Told, {left_out}}}});
  }
  row = std::min(row, table.rows.size());
  const size_t needed = row + block.rows.size();
  if (needed > table.rows.size()) {
    outcome.rows_added = needed - table.rows.size();
    InsertRows(table, table.rows.size(), outcome.rows_added);
  }
  for (size_t r = 0; r < block.rows.size(); ++r) {
    for (size_t c = 0; c < fits; ++c) SetCell(table, row + r, column + c, block.rows[r][c]);
  }
  outcome.first_row = row;
  outcome.rows_written = block.rows.size();
  outcome.columns_written = fits;
  outcome.left_out = left_out;
  return outcome;
}

std::vector<PastedRow> CopyBlock(const TableData& table, size_t first_row, size_t last_row,
                                 size_t first_column, size_t last_column) {
  std::vector<PastedRow> rows;
  for (size_t r = first_row; r <= last_row && r < table.rows.size(); ++r) {
    PastedRow row;
    for (size_t c = first_column; c <= last_column && c < table.columns.size(); ++c) {
      row.push_back(c < table.rows[r].size() ? table.rows[r][c] : std::nullopt);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace threadgauge
