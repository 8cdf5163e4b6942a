#pragma once

#include <QDialog>
#include <optional>

#include "register/calendar.h"
#include "register/register_entries.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace threadgauge {

// Registers a gauge, or changes a registered one (its 编号 then stays as it is). OK takes
// the entry only when it is fit to store; otherwise the dialog says why and stays open.
class GaugeEntryDialog : public QDialog {
  Q_OBJECT

 public:
  GaugeEntryDialog(std::optional<GaugeEntry> editing, Day today, QWidget* parent = nullptr);
  const GaugeEntry& Entry() const { return entry_; }

 private:
  void Accept();

  GaugeEntry entry_;
  Day today_;
  QLineEdit *number_, *thread_, *maker_, *serial_, *since_, *department_, *keeper_, *notes_;
  QComboBox *kind_, *length_, *state_;
  QSpinBox* interval_;
  QLabel* problem_;
};

}  // namespace threadgauge
