// GO thread ring gauge for an external thread: the major diameter is a minimum, the pitch
// diameter lies below the basic one by es and the position ZR, and the pitch and minor
// diameters both carry ± TR/2.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  return {
      .major_diameter = (d + es / 1000) + g.TPL / 1000,
      .major_deviation = std::nullopt,
      .pitch_diameter = (d2 + es / 1000) - g.ZR / 1000,
      .pitch_deviation = g.TR / 2000,
      .minor_diameter = d1 + es / 1000,
      .minor_deviation = g.TR / 2000,
  };
}

}  // namespace

extern const GaugeKind kGoThreadRing{
    "通端螺纹环规",
    Layout::Ring,
    Deviation::es,
    PitchDiameterTable::External,
    HalfAngleProfile::Complete,
    Diameters,
    {&kGoRingGoCheckPlug, &kGoRingNotGoCheckPlug, &kGoRingWearCheckPlug}};

}  // namespace threadgauge
