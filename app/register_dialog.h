#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "register/ledger.h"
#include "register_place.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace threadgauge {

// "量规台账…": the gauges of the register, filtered by state, by due date and by a search
// in 编号 and designation; gauges added, changed and retired; a gauge's page and a new
// inspection record opened from here. "到期量规…" is the same list showing only the gauges
// in use whose next inspection is past or within 30 days.
class RegisterDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { All, Due };
  RegisterDialog(RegisterPlace place, Mode mode, QWidget* parent = nullptr);

  void Reload();
  std::optional<std::string> SelectedNumber() const;
  void AddGauge();
  void EditGauge();
  void RetireGauge();
  void OpenGauge();
  void NewRecord();
  // "导入检定记录…": a keeper's history from a spreadsheet, all rows or none (or the good).
  void ImportRecords();
  // "从备份恢复…": a daily backup put in the register's place, the current file kept.
  void RestoreBackup();
  // "单位名称…": the organisation printed on every record.
  void SetOrganisation();

 private:
  void Filter();

  RegisterPlace place_;
  std::vector<LedgerRow> rows_;
  QComboBox* state_;
  QCheckBox* due_only_;
  QLineEdit* search_;
  QTableWidget* table_;
  QLabel* status_;
};

// What the window says of the register when it starts: a damaged file, how many gauges in
// use are past their day or were never inspected, and each that failed and waits to be
// taken out of use.
std::vector<QString> RegisterNotices(const RegisterPlace& place);

}  // namespace threadgauge
