// NOT-GO check plug of the NOT-GO ring gauge: all three diameters carry the same offset
// from their basic values, the external thread's lower limit es − Td2.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, T, g] = t;
  return {
      .Text2 = d + es / 1000 - T / 1000,
      .Text3 = g.TPL / 1000,
      .Text4 = d2 + es / 1000 - T / 1000,
      .Text5 = g.TCP / 2000,
      .Text6 = d1 + es / 1000 - T / 1000,
      .Text18 = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kNotGoRingNotGoCheckPlug{
    "校止-止螺纹塞规",          Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Complete, Diameters};

}  // namespace threadgauge
