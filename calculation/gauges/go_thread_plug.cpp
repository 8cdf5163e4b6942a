// GO thread plug gauge for an internal thread: its major and pitch diameters lie above the
// basic ones by the fundamental deviation EI and the position ZPL of the plug's tolerance
// zone, with the plug tolerance TPL; the minor diameter is a maximum.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, EI, TD2, g] = t;
  return {
      .major_diameter = d + EI / 1000 + g.ZPL / 1000,
      .major_deviation = g.TPL / 1000,
      .pitch_diameter = d2 + EI / 1000 + g.ZPL / 1000,
      .pitch_deviation = g.TPL / 2000,
      .minor_diameter = d1 + EI / 1000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kGoThreadPlug{"通端螺纹塞规",
                                     Layout::Plug,
                                     Deviation::EI,
                                     PitchDiameterTable::Internal,
                                     HalfAngleProfile::Complete,
                                     Diameters,
                                     {},
                                     WearAllowance::WGO};

}  // namespace threadgauge
