#include "table_model.h"

#include <QColor>

#include "table_editor.h"

namespace threadgauge {
namespace {

const QColor kMarkedCell(255, 190, 190);  // a cell that must hold a number and does not
const QColor kMarkedRow(255, 235, 160);   // a row out of order, after a gap, or overlapping

}  // namespace

ToleranceTableModel::ToleranceTableModel(TableEditor& editor, size_t table, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor), table_(table) {}

const TableData& ToleranceTableModel::Table() const { return editor_.Tables()[table_]; }

int ToleranceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Table().rows.size());
}

int ToleranceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Table().columns.size());
}

QVariant ToleranceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const size_t row = static_cast<size_t>(index.row());
  const auto& cells = Table().rows[row];
  const size_t column = static_cast<size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (column < cells.size() && cells[column]) return QString::fromStdString(*cells[column]);
      return QString();
    case Qt::BackgroundRole:
      if (cell_marks_.count({row, index.column()})) return kMarkedCell;
      if (row_marks_.count(row)) return kMarkedRow;
      return {};
    case Qt::ToolTipRole:
      if (const auto at = cell_marks_.find({row, index.column()}); at != cell_marks_.end()) {
        return at->second;
      }
      if (const auto at = row_marks_.find(row); at != row_marks_.end()) return at->second;
      return {};
    default:
      return {};
  }
}

QVariant ToleranceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return QString::fromStdString(Table().columns[static_cast<size_t>(section)]);
}

bool ToleranceTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  editor_.EditCell(table_, static_cast<size_t>(index.row()), static_cast<size_t>(index.column()),
                   value.toString());
  return true;
}

Qt::ItemFlags ToleranceTableModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void ToleranceTableModel::Reload(std::map<std::pair<size_t, int>, QString> cell_marks,
                                 std::map<size_t, QString> row_marks) {
  beginResetModel();
  cell_marks_ = std::move(cell_marks);
  row_marks_ = std::move(row_marks);
  endResetModel();
}

}  // namespace threadgauge
