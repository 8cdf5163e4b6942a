#pragma once

#include <QAbstractTableModel>
#include <map>
#include <utility>

#include "tolerance/table_data.h"

namespace threadgauge {

class TableEditor;

// One tolerance table as the editor's grid shows it: its cells, its column names whole,
// and the check's marks as a coloured background with the reason as a tooltip. Edits go
// to the editor, which makes them undoable.
class ToleranceTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ToleranceTableModel(TableEditor& editor, size_t table, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The table changed as a whole (an edit, undo or redo): show it and its new marks.
  void Reload(std::map<std::pair<size_t, int>, QString> cell_marks,
              std::map<size_t, QString> row_marks);

 private:
  const TableData& Table() const;

  TableEditor& editor_;
  size_t table_;
  std::map<std::pair<size_t, int>, QString> cell_marks_;  // (row, column) → reason
  std::map<size_t, QString> row_marks_;                   // row → reason
};

}  // namespace threadgauge
