#include "wear_trend_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "calculation/gauge_kind.h"

namespace threadgauge {
namespace {

// The value of a record that wears: a plug's smallest pitch diameter, a ring's largest.
std::optional<double> WearingValue(const InspectionRecord& r) {
  if (r.readings.empty()) return std::nullopt;
  const GaugeKind* kind = FindGaugeKind(r.kind);
  const bool ring = kind && kind->layout == Layout::Ring;
  double value = r.readings.front().pitch_diameter;
  for (const MeasuredReading& reading : r.readings) {
    value =
        ring ? std::max(value, reading.pitch_diameter) : std::min(value, reading.pitch_diameter);
  }
  return value;
}

}  // namespace

WearTrendPlot::WearTrendPlot(QWidget* parent) : QWidget(parent) {
  setObjectName("WearTrend");
  setMinimumSize(420, 220);
}

void WearTrendPlot::Show(std::vector<InspectionRecord> records, std::optional<GaugeTrend> trend) {
  records_.clear();
  for (InspectionRecord& r : CountingRecords(records)) {
    if (WearingValue(r) && ParseDay(r.date)) records_.push_back(std::move(r));
  }
  trend_ = trend;
  update();
}

void WearTrendPlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setPen(Qt::black);
  const QRectF plot = QRectF(rect()).adjusted(70, 24, -16, -34);
  if (records_.empty()) {
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("还没有带读数的检定记录"));
    return;
  }
  // Time from the first record to the later of the last record and the predicted day.
  const double t0 = MonthsOf(*ParseDay(records_.front().date));
  double t1 = MonthsOf(*ParseDay(records_.back().date));
  const InspectionRecord& last = records_.back();
  std::vector<double> values;
  for (const InspectionRecord& r : records_) values.push_back(*WearingValue(r));
  for (const auto& limit : {last.limit_low, last.limit_high, last.wear_limit}) {
    if (limit) values.push_back(*limit);
  }
  if (trend_ && trend_->reaches_limit) {
    t1 = std::max(t1, std::min(MonthsOf(*trend_->reaches_limit), t0 + 240));
  }
  if (t1 - t0 < 6) t1 = t0 + 6;
  const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
  const double pad = std::max((*highest - *lowest) * 0.1, 0.001);
  const double bottom = *lowest - pad, top = *highest + pad;
  const auto X = [&](double t) { return plot.left() + (t - t0) / (t1 - t0) * plot.width(); };
  const auto Y = [&](double v) { return plot.top() + (top - v) / (top - bottom) * plot.height(); };

  if (last.limit_low && last.limit_high) {
    const QRectF zone(QPointF(plot.left(), Y(*last.limit_high)),
                      QPointF(plot.right(), Y(*last.limit_low)));
    p.fillRect(zone, QColor(210, 235, 210));
    p.drawText(QPointF(plot.left() + 4, zone.top() - 3), QStringLiteral("新制范围"));
  }
  if (last.wear_limit) {
    p.setPen(QPen(Qt::red, 1.5, Qt::DashLine));
    p.drawLine(QPointF(plot.left(), Y(*last.wear_limit)),
               QPointF(plot.right(), Y(*last.wear_limit)));
    p.drawText(QPointF(plot.right() - 70, Y(*last.wear_limit) - 4), QStringLiteral("磨损极限"));
  }
  p.setPen(Qt::black);
  p.drawRect(plot);
  p.setFont(QFont(font().family(), 8));
  for (double v : {top - pad, bottom + pad}) {
    p.drawText(QRectF(0, Y(v) - 8, plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(v, 'f', 4));
  }
  p.drawText(QRectF(plot.left(), plot.bottom() + 4, 120, 16), Qt::AlignLeft,
             QString::fromStdString(records_.front().date));
  p.drawText(QRectF(plot.right() - 120, plot.bottom() + 4, 120, 16), Qt::AlignRight,
             QString::fromStdString(DayText(DayAtMonths(t1))));
  p.drawText(QRectF(0, 0, width(), 20), Qt::AlignHCenter, QStringLiteral("中径 (mm) 随检定日期"));
  if (trend_) {
    // The fitted line: through the mean point with the fitted slope.
    double mean_t = 0, mean_v = 0;
    for (const InspectionRecord& r : records_) {
      mean_t += MonthsOf(*ParseDay(r.date));
      mean_v += *WearingValue(r);
    }
    mean_t /= static_cast<double>(records_.size());
    mean_v /= static_cast<double>(records_.size());
    const double slope = trend_->fit.um_per_month / 1000;
    p.setPen(QPen(Qt::darkBlue, 1.2));
    p.setClipRect(plot);
    p.drawLine(QPointF(X(t0), Y(mean_v + slope * (t0 - mean_t))),
               QPointF(X(t1), Y(mean_v + slope * (t1 - mean_t))));
    p.setClipping(false);
  }
  p.setPen(Qt::black);
  p.setBrush(Qt::black);
  for (const InspectionRecord& r : records_) {
    p.drawEllipse(QPointF(X(MonthsOf(*ParseDay(r.date))), Y(*WearingValue(r))), 3.5, 3.5);
  }
}

}  // namespace threadgauge
