// NOT-GO check plug of the GO ring gauge: the pitch diameter lies at the ring's upper
// limit (ZR less, TR/2 more); the truncated major diameter is 2 × P/10 above it; the minor
// diameter holds no ZR.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  return {
      .Text2 = d2 + es / 1000 - g.ZR / 1000 + g.TR / 2000 + (P / 10) * 2,
      .Text3 = g.TPL / 2000,
      .Text4 = d2 + es / 1000 - g.ZR / 1000 + g.TR / 2000,
      .Text5 = g.TCP / 2000,
      .Text6 = d1 + es / 1000 - g.TR / 2000,
      .Text18 = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kGoRingNotGoCheckPlug{
    "校通-止螺纹塞规",           Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Truncated, Diameters};

}  // namespace threadgauge
