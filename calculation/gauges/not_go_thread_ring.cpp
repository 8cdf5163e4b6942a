// NOT-GO thread ring gauge for an external thread: the pitch diameter sits at the bottom
// of the product's tolerance (es − Td2) less half the ring tolerance TR; the truncated
// minor diameter is built from that pitch diameter, 2 × P/10 below it, with ± TR.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  const double F = P / 10;
  return {
      .major_diameter = (d + es / 1000) + g.TPL / 1000,
      .major_deviation = std::nullopt,
      .pitch_diameter = ((d2 + es / 1000) - Td2 / 1000) - g.TR / 2000,
      .pitch_deviation = g.TR / 2000,
      .minor_diameter = (((d2 + es / 1000) - Td2 / 1000) - g.TR / 2000) - 2 * F,
      .minor_deviation = g.TR / 1000,
  };
}

}  // namespace

extern const GaugeKind kNotGoThreadRing{
    "止端螺纹环规",
    Layout::Ring,
    Deviation::es,
    PitchDiameterTable::External,
    HalfAngleProfile::Truncated,
    Diameters,
    {&kNotGoRingGoCheckPlug, &kNotGoRingNotGoCheckPlug, &kNotGoRingWearCheckPlug}};

}  // namespace threadgauge
