// GO check plug of the GO ring gauge: the pitch and minor diameters lie below the external
// thread's by the ring position ZR and the check plug's own position m; the pitch
// diameter carries ± TCP/2, the major diameter ± TPL.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, es, Td2, g] = t;
  return {
      .major_diameter = d + es / 1000,
      .major_deviation = g.TPL / 1000,
      .pitch_diameter = d2 + es / 1000 - g.ZR / 1000 - g.m / 1000,
      .pitch_deviation = g.TCP / 2000,
      .minor_diameter = d1 + es / 1000 - g.ZR / 1000 - g.m / 1000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kGoRingGoCheckPlug{
    "校通-通螺纹塞规",          Layout::Plug, Deviation::es, PitchDiameterTable::External,
    HalfAngleProfile::Complete, Diameters};

}  // namespace threadgauge
