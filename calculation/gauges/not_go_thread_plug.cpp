// NOT-GO thread plug gauge for an internal thread: its pitch diameter sits at the top of
// the product's pitch-diameter tolerance (EI + TD2) plus half the plug tolerance TPL; the
// truncated profile's major diameter lies 2 × P/10 above it.
#include "gauges/gauges.h"

namespace threadgauge {
namespace {

GaugeDiameters Diameters(const ThreadValues& t) {
  const auto& [d, P, d2, d1, EI, TD2, g] = t;
  const double f = P / 10;
  return {
      .major_diameter = d2 + EI / 1000 + TD2 / 1000 + g.TPL / 2000 + f * 2,
      .major_deviation = g.TPL / 1000,
      .pitch_diameter = d2 + EI / 1000 + TD2 / 1000 + g.TPL / 2000,
      .pitch_deviation = g.TPL / 2000,
      .minor_diameter = d1 + EI / 1000,
      .minor_deviation = std::nullopt,
  };
}

}  // namespace

extern const GaugeKind kNotGoThreadPlug{"止端螺纹塞规",
                                        Layout::Plug,
                                        Deviation::EI,
                                        PitchDiameterTable::Internal,
                                        HalfAngleProfile::Truncated,
                                        Diameters,
                                        {},
                                        WearAllowance::WNG};

}  // namespace threadgauge
