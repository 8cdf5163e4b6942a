// GO thread ring gauge for an external thread: the major diameter is a minimum, the pitch
// diameter lies below the basic one by es and the position ZR, and the pitch and minor
// diameters both carry ± TR/2.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  return {
      .Text2 = (d + es / 1000) + g.TPL / 1000,
      .Text3 = std::nullopt,
      .Text4 = (d2 + es / 1000) - g.ZR / 1000,
      .Text5 = g.TR / 2000,
      .Text6 = d1 + es / 1000,
      .Text18 = g.TR / 2000,
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
