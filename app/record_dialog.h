#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "register/inspection.h"
#include "register_place.h"

class QLabel;
class QPushButton;

namespace threadgauge {

class CheckPlugsBox;
class ReadingsTable;
class RecordForm;

// "新建检定记录…": one inspection of one gauge. Readings are typed cell by cell (Tab moves
// on, a new row opens below the last) or pasted as a column from a spreadsheet; each row's
// pitch diameter and the gauge's verdict follow as they are typed, from the same deciding
// code as the command line, on limits computed once when the dialog opens. Saved once; then
// printed or saved as PDF.
class RecordDialog : public QDialog {
  Q_OBJECT

 public:
  RecordDialog(RegisterPlace place, GaugeEntry gauge, QWidget* parent = nullptr);

  // Pastes text as a spreadsheet copies a column: one reading per line, from the current row.
  void PasteReadings(const QString& text);
  // Saves the record; its id, or nothing when it was not saved (the reason is shown).
  std::optional<long long> Save();
  std::optional<std::string> SavePdf(const std::filesystem::path& file) const;
  std::optional<long long> SavedRecord() const { return saved_; }

 private:
  void Update();
  // Decides what is typed and shows the verdict; the limits it was judged on.
  std::optional<GaugeLimits> ShowDecision();
  std::optional<InspectionInputs> ReadInputs(QString& problem) const;
  void AskSavePdf();
  void Print();
  bool ring() const;

  RegisterPlace place_;
  GaugeEntry gauge_;
  std::vector<InspectionRecord> earlier_;
  std::optional<GaugeLimits> limits_;
  std::optional<GaugeLimits> judged_;  // as the last decision applied them
  double P_ = 0;
  std::optional<long long> saved_;

  RecordForm* form_;
  ReadingsTable* readings_;
  CheckPlugsBox* checks_;
  QLabel *limits_text_, *verdict_, *remarks_;
  QPushButton *save_, *print_, *pdf_;
};

// The limits' line of a gauge's dialogs: "新制中径 … mm　　磨损极限 … mm" and the database.
QString LimitsLine(const GaugeLimits& limits);

}  // namespace threadgauge
