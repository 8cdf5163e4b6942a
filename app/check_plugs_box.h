#pragma once

#include <QWidget>
#include <vector>

#include "register/inspection.h"

class QComboBox;
class QLineEdit;

namespace threadgauge {

struct GaugeKind;

// A ring checked with its three check plugs: for each, whether it screwed in and the 编号 of
// the plug used.
class CheckPlugsBox : public QWidget {
  Q_OBJECT

 public:
  CheckPlugsBox(const GaugeKind* ring, QWidget* parent);
  void ReadInto(InspectionInputs& in) const;
  void Lock();

 signals:
  void changed();

 private:
  std::vector<QComboBox*> results_;
  std::vector<QLineEdit*> numbers_;
};

}  // namespace threadgauge
