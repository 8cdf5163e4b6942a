// Relations between the gauge kinds' formulas, checked over a grid of inputs rather than
// single cases: which values move a field, by how much, and what two kinds share.
#include <gtest/gtest.h>

#include "calculation/gauge_kind.h"
#include "calculation/thread_basics.h"

namespace threadgauge {
namespace {

struct Inputs {
  double d, P, deviation, T;
  double TPL, ZPL, ZR, m, TCP, TR, WGO, WNG;
};

ThreadValues Values(const Inputs& in) {
  return {in.d,
          in.P,
          BasicPitchDiameter(in.d, in.P),
          BasicMinorDiameter(in.d, in.P),
          in.deviation,
          in.T,
          GaugeTolerances{in.TPL, in.ZPL, in.ZR, in.m, in.TCP, in.TR, in.WGO, in.WNG}};
}

// A grid of threads and gauge rows, including odd µm values whose halves do not round.
std::vector<Inputs> Grid() {
  std::vector<Inputs> grid;
  for (double d : {1.6, 10.0, 24.0, 64.0, 300.0}) {
    for (double P : {0.45, 1.5, 3.0, 6.0}) {
      for (double deviation : {0.0, -32.0, 71.0}) {
        for (double T : {85.0, 112.0, 335.0}) {
          grid.push_back({d, P, deviation, T, 9, 21, 13, 7, 5, 11, 17, 19});
        }
      }
    }
  }
  return grid;
}

GaugeDiameters Diameters(const char* gauge, const Inputs& in) {
  const GaugeKind* kind = FindGaugeKind(gauge);
  EXPECT_NE(kind, nullptr) << gauge;
  return kind->diameters(Values(in));
}

double N(const Value& v) { return v.number(); }
double N(const std::optional<Value>& v) { return v->number(); }

TEST(GaugeRelations, GoAndNotGoPlugShareTheMinorDiameter) {
  for (const Inputs& in : Grid()) {
    EXPECT_EQ(N(Diameters("通端螺纹塞规", in).Text6), N(Diameters("止端螺纹塞规", in).Text6));
  }
}

TEST(GaugeRelations, NotGoRingMinorDeviationIsTwiceTheGoRings) {
  for (const Inputs& in : Grid()) {
    EXPECT_EQ(N(Diameters("止端螺纹环规", in).Text18), 2 * N(Diameters("通端螺纹环规", in).Text18));
  }
}

TEST(GaugeRelations, TruncatedMajorDiameterLiesTwoTenthsOfPAboveThePitchDiameter) {
  for (const char* gauge : {"止端螺纹塞规", "校通-止螺纹塞规", "校通-损螺纹塞规"}) {
    for (const Inputs& in : Grid()) {
      const GaugeDiameters g = Diameters(gauge, in);
      EXPECT_NEAR(N(g.Text2) - N(g.Text4), (in.P / 10) * 2, 1e-9) << gauge;
    }
  }
}

TEST(GaugeRelations, WearCheckPlugOfTheGoRingFollowsItsNotGoCheckPlug) {
  for (const Inputs& in : Grid()) {
    const GaugeDiameters wear = Diameters("校通-损螺纹塞规", in);
    const GaugeDiameters not_go = Diameters("校通-止螺纹塞规", in);
    EXPECT_NEAR(N(wear.Text4), N(not_go.Text4) - in.TR / 2000 + in.WGO / 1000, 1e-9);
    EXPECT_EQ(N(wear.Text6), N(not_go.Text6));
  }
}

TEST(GaugeRelations, CheckPlugsOfTheNotGoRingShareTheirMinorDiameter) {
  for (const Inputs& in : Grid()) {
    EXPECT_EQ(N(Diameters("校止-止螺纹塞规", in).Text6), N(Diameters("校止-损螺纹塞规", in).Text6));
  }
}

TEST(GaugeRelations, PlugKindsGiveTheMajorAndRingKindsTheMinorDeviation) {
  const Inputs in = Grid().front();
  for (const GaugeKind* kind : GaugeKinds()) {
    const GaugeDiameters g = kind->diameters(Values(in));
    EXPECT_EQ(g.Text3.has_value(), kind->layout == Layout::Plug) << kind->name;
    EXPECT_EQ(g.Text18.has_value(), kind->layout == Layout::Ring) << kind->name;
  }
}

}  // namespace
}  // namespace threadgauge
