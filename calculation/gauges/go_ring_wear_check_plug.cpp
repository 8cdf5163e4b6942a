// Wear check plug of the GO ring gauge: the pitch diameter lies at the ring's wear limit
// (ZR less, the whole WGO more); the truncated major diameter is 2 × P/10 above it; the
// minor diameter is that of the NOT-GO check plug.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  return {
      .major_diameter = d2 + es / 1000 - g.ZR / 1000 + g.WGO / 1000 + (P / 10) * 2,
      .major_deviation = g.TPL / 2000,
      .pitch_diameter = d2 + es / 1000 - g.ZR / 1000 + g.WGO / 1000,
      .pitch_deviation = g.TCP / 2000,
      .minor_diameter = d1 + es / 1000 - g.TR / 2000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kGoRingWearCheckPlug{
    "校通-损螺纹塞规",           Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Truncated, Diameters};

}  // namespace threadgauge
