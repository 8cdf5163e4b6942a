// Wear check plug of the NOT-GO ring gauge: the major and pitch diameters lie at the
// NOT-GO ring's wear limit (es − Td2 − TR/2 + WNG); the minor diameter is that of the
// NOT-GO check plug.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, T, g] = t;
  return {
      .major_diameter = d + es / 1000 - T / 1000 - g.TR / 2000 + g.WNG / 1000,
      .major_deviation = g.TPL / 1000,
      .pitch_diameter = d2 + es / 1000 - T / 1000 - g.TR / 2000 + g.WNG / 1000,
      .pitch_deviation = g.TCP / 2000,
      .minor_diameter = d1 + es / 1000 - T / 1000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kNotGoRingWearCheckPlug{
    "校止-损螺纹塞规",          Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Complete, Diameters};

}  // namespace threadgauge
