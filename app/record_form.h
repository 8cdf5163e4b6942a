#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "register/inspection.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace threadgauge {

// The inputs of one inspection besides its readings: when, who, how, with what instrument
// and what uncertainty, whether it replaces an earlier record, whether the gauge is being
// accepted new. Says `changed` at every keystroke.
class RecordForm : public QWidget {
  Q_OBJECT

 public:
  RecordForm(const GaugeEntry& gauge, bool ring, const QString& element_shown,
             const std::vector<InspectionRecord>& earlier, const Day& today, QWidget* parent);

  // Reads the fields into `in`; a field that is no number is named in `problem`.
  void ReadInto(InspectionInputs& in, QString& problem) const;
  bool by_check_plugs() const;
  // The wires' or balls' diameter and U as typed, for each row's live verdict.
  double element() const;
  std::optional<double> uncertainty() const;
  void Lock();

 signals:
  void changed();

 private:
  QLineEdit* Field(const char* name, const QString& text, const char* placeholder = nullptr);

  bool ring_;
  QLineEdit *date_, *inspector_, *temperature_, *element_, *certificate_, *instrument_,
      *instrument_number_, *instrument_certificate_, *instrument_valid_, *uncertainty_, *k_,
      *major_, *notes_;
  QComboBox *method_, *replaces_;
  QCheckBox* acceptance_;
};

// A number typed in a field: nothing for an empty field; "不是数" said in `problem`.
std::optional<double> TypedNumber(const QLineEdit* field, const QString& name, QString& problem);

}  // namespace threadgauge
