// GO check plug of the NOT-GO ring gauge: the pitch and minor diameters lie below the
// external thread's lower limit (es − Td2) by TR/2 and the check plug's position m; the
// complete-profile major diameter is d + es.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, T, g] = t;
  return {
      .major_diameter = d + es / 1000,
      .major_deviation = g.TPL / 1000,
      .pitch_diameter = d2 + es / 1000 - T / 1000 - g.TR / 2000 - g.m / 1000,
      .pitch_deviation = g.TCP / 2000,
      .minor_diameter = d1 + es / 1000 - T / 1000 - g.TR / 2000 - g.m / 1000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kNotGoRingGoCheckPlug{
    "校止-通螺纹塞规",          Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Complete, Diameters};

}  // namespace threadgauge
