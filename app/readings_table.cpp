#include "readings_table.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "platform/number_text.h"
#include "register/register_entries.h"
#include "tables/pasted_text.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A cell the program fills: Tab passes over it, its text stays black.
QTableWidgetItem* Shown() {
  auto* item = new QTableWidgetItem();
  item->setFlags(Qt::NoItemFlags);
  item->setForeground(Qt::black);
  return item;
}

// Hands each keystroke of a reading to the table at once, so that its pitch diameter and
// the verdict follow the typing rather than the end of the edit.
class LiveDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      connect(line, &QLineEdit::textEdited, this,
              [this, line] { emit const_cast<LiveDelegate*>(this)->commitData(line); });
    }
    return editor;
  }
};

// The place of a reading, chosen from the three or left empty.
class PositionDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* choice = new QComboBox(parent);
    choice->addItem(QString());
    for (const char* place : kReadingPositions) choice->addItem(QString::fromUtf8(place));
    return choice;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QComboBox*>(editor)->setCurrentText(index.data().toString());
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText());
  }
};

}  // namespace

ReadingsTable::ReadingsTable(const QString& value_heading, QWidget* parent)
    : QTableWidget(0, 4, parent) {
  setObjectName("Readings");
  setHorizontalHeaderLabels({value_heading, QStringLiteral("实际中径 (mm)"), QStringLiteral("判定"),
                             QStringLiteral("位置")});
  horizontalHeader()->setSectionResizeMode(kVerdict, QHeaderView::Stretch);
  setColumnWidth(kValue, 120);
  setColumnWidth(kPitchDiameter, 110);
  setColumnWidth(kPosition, 70);
  setItemDelegateForColumn(kValue, new LiveDelegate(this));
  setItemDelegateForColumn(kPosition, new PositionDelegate(this));
  setMinimumHeight(170);
  AddRow();
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() != kValue && item->column() != kPosition) return;
    // A reading typed in the last row opens the next one.
    if (item->column() == kValue && item->row() == rowCount() - 1 &&
        !item->text().trimmed().isEmpty()) {
      AddRow();
    }
    emit readingsChanged();
  });
  setCurrentCell(0, kValue);
}

void ReadingsTable::AddRow() {
  const QSignalBlocker quiet(this);
  const int row = rowCount();
  insertRow(row);
  setItem(row, kPitchDiameter, Shown());
  setItem(row, kVerdict, Shown());
  setItem(row, kPosition, new QTableWidgetItem());
}

QModelIndex ReadingsTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // Tab goes from reading to reading; the place is chosen with the mouse, or F2, when wanted.
  const QModelIndex at = currentIndex();
  if (at.isValid() && (action == MoveNext || action == MovePrevious)) {
    const int row = at.row() + (action == MoveNext ? 1 : -1);
    if (row >= 0 && row < rowCount()) return model()->index(row, kValue);
    return at;
  }
  return QTableWidget::moveCursor(action, modifiers);
}

void ReadingsTable::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    Paste(QApplication::clipboard()->text());
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void ReadingsTable::Paste(const QString& text) {
  const PastedBlock block = ParsePastedText(text.toStdString());
  int row = std::max(currentRow(), 0);
  {
    const QSignalBlocker quiet(this);
    for (const PastedRow& line : block.rows) {
      const std::string value = line.empty() ? "" : line.front().value_or("");
      if (value.empty()) continue;
      while (row >= rowCount() - 1) AddRow();
      item(row, kValue) ? item(row, kValue)->setText(Q(value))
                        : setItem(row, kValue, new QTableWidgetItem(Q(value)));
      if (line.size() > 1 && line[1]) item(row, kPosition)->setText(Q(*line[1]));
      ++row;
    }
  }
  emit readingsChanged();
}

void ReadingsTable::ReadInto(std::vector<double>& values, std::vector<std::string>& positions,
                             QString& problem) const {
  for (int row = 0; row < rowCount(); ++row) {
    const QTableWidgetItem* cell = item(row, kValue);
    const QString text = cell ? cell->text().trimmed() : QString();
    if (text.isEmpty()) continue;
    const auto value = ParseStoredNumber(text.toStdString());
    if (!value) {
      problem = QStringLiteral("第 %1 行的读数“%2”不是数").arg(row + 1).arg(text);
      continue;
    }
    values.push_back(*value);
    const QTableWidgetItem* place = item(row, kPosition);
    positions.push_back(place ? place->text().trimmed().toStdString() : "");
  }
  // Places are kept only when one is given.
  if (std::all_of(positions.begin(), positions.end(), [](const auto& p) { return p.empty(); })) {
    positions.clear();
  }
}

void ReadingsTable::ShowComputed(
    const std::function<std::optional<std::pair<QString, QString>>(double)>& shown) {
  const QSignalBlocker quiet(this);
  for (int row = 0; row < rowCount(); ++row) {
    const QTableWidgetItem* cell = item(row, kValue);
    const QString text = cell ? cell->text().trimmed() : QString();
    const auto value = ParseStoredNumber(text.toStdString());
    QString d2, verdict;
    if (value) {
      if (auto computed = shown(*value)) std::tie(d2, verdict) = *computed;
    } else if (!text.isEmpty()) {
      verdict = QStringLiteral("不是数");
    }
    item(row, kPitchDiameter)->setText(d2);
    item(row, kVerdict)->setText(verdict);
  }
}

}  // namespace threadgauge
