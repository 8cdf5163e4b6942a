// The table editor's row commands: insert, remove, move, copy and paste, each one step of undo.
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_button.h"
#include "table_editor.h"
#include "table_model.h"
#include "tables/pasted_text.h"
#include "tables/table_edit.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::vector<size_t> TableEditor::SelectedRows() const {
  std::vector<size_t> rows;
  for (const QModelIndex& index : CurrentView()->selectionModel()->selectedIndexes()) {
    rows.push_back(static_cast<size_t>(index.row()));
  }
  const QModelIndex current = CurrentView()->currentIndex();
  if (rows.empty() && current.isValid()) rows.push_back(static_cast<size_t>(current.row()));
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void TableEditor::SelectRows(size_t first, size_t count) {
  QTableView* view = CurrentView();
  QItemSelection selection;
  const int last_column = view->model()->columnCount() - 1;
  for (size_t r = first; r < first + count; ++r) {
    selection.select(view->model()->index(static_cast<int>(r), 0),
                     view->model()->index(static_cast<int>(r), last_column));
  }
  view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  view->setCurrentIndex(view->model()->index(static_cast<int>(first), 0));
}

void TableEditor::InsertAbove() {
  const std::vector<size_t> rows = SelectedRows();
  const size_t at = rows.empty() ? 0 : rows.front();
  Change(QStringLiteral("插入行"),
         [&](auto& tables) { InsertRows(tables[CurrentTable()], at, 1); });
  SelectRows(at, 1);
}

void TableEditor::InsertBelow() {
  const std::vector<size_t> rows = SelectedRows();
  const size_t at = rows.empty() ? tables_[CurrentTable()].rows.size() : rows.back() + 1;
  Change(QStringLiteral("插入行"),
         [&](auto& tables) { InsertRows(tables[CurrentTable()], at, 1); });
  SelectRows(at, 1);
}

void TableEditor::RemoveSelectedRows() {
  const std::vector<size_t> rows = SelectedRows();
  Change(QStringLiteral("删除行"), [&](auto& tables) { RemoveRows(tables[CurrentTable()], rows); });
}

void TableEditor::MoveUp() {
  const std::vector<size_t> rows = SelectedRows();
  if (rows.empty()) return;
  const size_t count = rows.back() - rows.front() + 1;
  Change(QStringLiteral("上移"),
         [&](auto& tables) { MoveRows(tables[CurrentTable()], rows.front(), count, -1); });
  if (rows.front() > 0) SelectRows(rows.front() - 1, count);
}

void TableEditor::MoveDown() {
  const std::vector<size_t> rows = SelectedRows();
  if (rows.empty()) return;
  const size_t count = rows.back() - rows.front() + 1;
  Change(QStringLiteral("下移"),
         [&](auto& tables) { MoveRows(tables[CurrentTable()], rows.front(), count, +1); });
  if (rows.back() + 1 < tables_[CurrentTable()].rows.size()) SelectRows(rows.front() + 1, count);
}

void TableEditor::CopySelection() {
  const QModelIndexList selected = CurrentView()->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  int top = selected.front().row(), bottom = top, left = selected.front().column(), right = left;
  for (const QModelIndex& index : selected) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
  }
  const auto cells =
      CopyBlock(tables_[CurrentTable()], static_cast<size_t>(top), static_cast<size_t>(bottom),
                static_cast<size_t>(left), static_cast<size_t>(right));
  QApplication::clipboard()->setText(Q(ToTabSeparated(cells)));
  Tell(QStringLiteral("已复制 %1 行 × %2 列").arg(bottom - top + 1).arg(right - left + 1));
}

void TableEditor::Paste() {
  const PastedBlock block = ParsePastedText(QApplication::clipboard()->text().toStdString());
  if (block.rows.empty()) {
    Tell(QStringLiteral("剪贴板中没有可粘贴的表格。") +
         (block.left_out.empty() ? QString() : Q(block.left_out)));
    return;
  }
  const QModelIndex current = CurrentView()->currentIndex();
  // Below the last row (clicked there, or an empty table): the block is appended.
  const size_t end = tables_[CurrentTable()].rows.size();
  const size_t row = append_ || !current.isValid() ? end : static_cast<size_t>(current.row());
  const size_t column = current.isValid() && !append_ ? static_cast<size_t>(current.column()) : 0;
  PasteOutcome outcome;
  Change(QStringLiteral("粘贴"),
         [&](auto& tables) { outcome = PasteBlock(tables[CurrentTable()], row, column, block); });
  if (outcome.rows_written == 0) {
    Tell(QStringLiteral("没有粘贴：") + Q(outcome.left_out));
    return;
  }
  const size_t first = outcome.first_row + 1, last = outcome.first_row + outcome.rows_written;
  QString told = QStringLiteral("已粘贴 %1 行 × %2 列（%3）")
                     .arg(outcome.rows_written)
                     .arg(outcome.columns_written)
                     .arg(first == last ? QStringLiteral("第 %1 行").arg(first)
                                        : QStringLiteral("第 %1–%2 行").arg(first).arg(last));
  if (outcome.rows_added > 0) told += QStringLiteral("，表格增加了 %1 行").arg(outcome.rows_added);
  SelectRows(outcome.first_row, outcome.rows_written);
  if (!outcome.left_out.empty()) told += QStringLiteral("。未粘贴：") + Q(outcome.left_out);
  Tell(told);
}

}  // namespace threadgauge
