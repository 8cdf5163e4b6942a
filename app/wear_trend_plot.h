#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "register/inspection.h"

namespace threadgauge {

// A gauge's pitch diameter over its inspections: each counting record's value on the
// wearing side, the least-squares line through them, the new-gauge zone and the wear limit,
// drawn with QPainter like the zone diagram.
class WearTrendPlot : public QWidget {
 public:
  explicit WearTrendPlot(QWidget* parent);
  void Show(std::vector<InspectionRecord> records, std::optional<GaugeTrend> trend);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<InspectionRecord> records_;  // those that count, with readings
  std::optional<GaugeTrend> trend_;
};

}  // namespace threadgauge
