// Wear check plug of the NOT-GO ring gauge: the major and pitch diameters lie at the
// NOT-GO ring's wear limit (es − Td2 − TR/2 + WNG); the minor diameter is that of the
// NOT-GO check plug.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, T, g] = t;
  return {
      .Text2 = d + es / 1000 - T / 1000 - g.TR / 2000 + g.WNG / 1000,
      .Text3 = g.TPL / 1000,
      .Text4 = d2 + es / 1000 - T / 1000 - g.TR / 2000 + g.WNG / 1000,
      .Text5 = g.TCP / 2000,
      .Text6 = d1 + es / 1000 - T / 1000,
      .Text18 = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kNotGoRingWearCheckPlug{
    "校止-损螺纹塞规",          Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Complete, Diameters};

}  // namespace threadgauge
