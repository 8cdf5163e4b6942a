#pragma once

#include <QDialog>

#include "register/register_entries.h"
#include "register_place.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace threadgauge {

class WearTrendPlot;

// A gauge's page: who and what it is, its limits (the window's own numbers, from the
// tolerance database in use), when it is due, its records and its wear trend.
class GaugePageDialog : public QDialog {
  Q_OBJECT

 public:
  GaugePageDialog(RegisterPlace place, std::string number, QWidget* parent = nullptr);
  void Reload();
  // "新建检定记录…" for this gauge; the page shows the new record when it was saved.
  void NewRecord();

 private:
  std::optional<long long> SelectedRecord() const;
  void SaveRecordPdf();
  // "停用" or "报废", after asking: a gauge that failed is taken out of use here.
  void SetState(const QString& state);
  // "变更记录": every change of the gauge, who made it and when (a server register's).
  void ShowHistory();

  RegisterPlace place_;
  std::string number_;
  GaugeEntry gauge_;
  QLabel *warning_, *identity_, *limits_, *trend_text_;
  QPushButton *suspend_, *retire_;
  QTableWidget* records_;
  WearTrendPlot* plot_;
};

}  // namespace threadgauge
