#include "measuring.h"

#include <cmath>

#include "calculation/thread_basics.h"
#include "tolerance/lookups.h"

namespace threadgauge {
namespace {

// The wire or ball to show: the stored one, or the best size P / (2 cos 30°) when the
// table stores none for P. A stored size that could not be read (no database, no such
// table, text in the cell) leaves it unknown rather than silently replaced.
Value MeasuringElement(const Lookup<std::optional<double>>& stored, double P) {
  if (!stored.ok()) return Value::Missing({stored.failure()});
  if (stored.value()) return *stored.value();
  return P / (2 * std::cos(kFlankHalfAngle));
}

}  // namespace

void ComputeThreeWireData(const ToleranceDatabase& db, double P, const Value& shown_pitch_diameter,
                          ResultWriter& out) {
  const Value wire = MeasuringElement(LookupWireDiameter(db, P), P);
  const Value dws = out.Show(OutputField::WireOrBall, wire, NumberFormat::Size);
  const Value d2s = shown_pitch_diameter;
  const double a = kFlankHalfAngle;
  const Value M = d2s + dws * (1 / std::sin(a) + 1) - (P / 2) / std::tan(a);
  out.Show(OutputField::Measurement, M, NumberFormat::Size);
}

void ComputeBallData(const ToleranceDatabase& db, double P, const Value& shown_pitch_diameter,
                     ResultWriter& out) {
  const Value ball = MeasuringElement(LookupBallDiameter(db, P), P);
  const Value b = out.Show(OutputField::WireOrBall, ball, NumberFormat::Size);
  const Value D = shown_pitch_diameter;
  const double a = kFlankHalfAngle;
  const Value E = D + (P / 2) / std::tan(a) - b * (1 / std::sin(a) + 1);
  out.Show(OutputField::Measurement, E, NumberFormat::Size);
}

}  // namespace threadgauge
