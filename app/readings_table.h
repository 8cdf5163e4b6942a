#pragma once

#include <QTableWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace threadgauge {

// The readings of an inspection as a keeper types them: one M or E value a row, Tab on to
// the next row (a new one opens below the last), a spreadsheet column pasted with Ctrl+V.
// Beside each value the program shows its pitch diameter and verdict; where along the thread
// it was taken (起始, 中间, 末端) may be chosen in the last column.
class ReadingsTable : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kValue = 0, kPitchDiameter = 1, kVerdict = 2, kPosition = 3;

  ReadingsTable(const QString& value_heading, QWidget* parent);

  // Pastes text as a spreadsheet copies a column (or two: values and places), from the
  // current row down.
  void Paste(const QString& text);
  // The values and places typed; a value that is no number is named in `problem`.
  void ReadInto(std::vector<double>& values, std::vector<std::string>& positions,
                QString& problem) const;
  // Fills the computed cells of every row from its value: `shown` gives pitch diameter and
  // verdict for a number, nothing when there is none to show.
  void ShowComputed(const std::function<std::optional<std::pair<QString, QString>>(double)>& shown);

 signals:
  void readingsChanged();

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void AddRow();
};

}  // namespace threadgauge
