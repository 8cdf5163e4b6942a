// The inverse measuring formulas, the limits of an inspection and its verdicts, against
// hand arithmetic.
#include "calculation/inspection.h"

#include <gtest/gtest.h>

#include "calculation/gauge_kind.h"
#include "support/gauge_fixture.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {
namespace {

// (P/2)/tan 30° for P = 1.5: 0.75 × √3 = 1.2990381057; 1/sin 30° + 1 = 3.
TEST(InverseFormulas, PlugWithTwoMReadings) {
  // Wires of actual diameter 0.8662: d2 = M − 2.5986 + 1.2990381.
  EXPECT_NEAR(PitchDiameterFromM(10.3402, 1.5, 0.8662), 9.0406381, 1e-7);
  EXPECT_NEAR(PitchDiameterFromM(10.3340, 1.5, 0.8662), 9.0344381, 1e-7);
  // P = 1: (0.5)/tan 30° = 0.8660254; wires 0.577: d2 = 9.8 − 1.731 + 0.8660254.
  EXPECT_NEAR(PitchDiameterFromM(9.8, 1, 0.577), 8.9350254, 1e-7);
}

TEST(InverseFormulas, RingWithE) {
  // Balls of 0.9002: d2 = E − 1.2990381 + 2.7006.
  EXPECT_NEAR(PitchDiameterFromE(7.585, 1.5, 0.9002), 8.9865619, 1e-7);
  EXPECT_NEAR(PitchDiameterFromE(7.589, 1.5, 0.9002), 8.9905619, 1e-7);
}

TEST(InverseFormulas, UndoTheWindowsMeasuringFormulas) {
  // The window's GO plug example shows M = 10.345 for d2 = 9.046 over the best wire 0.866
  // (10.345 = 9.046 + 2.598 − 1.299 to its shown digits).
  EXPECT_NEAR(PitchDiameterFromM(10.345, 1.5, 0.866), 9.046, 0.0005);
}

GaugeRequest Request(double d, const char* position, const char* gauge) {
  GaugeRequest request;
  request.d = d;
  request.P = 1.5;
  request.thread_class = RequestedClass::Typed("6", position);
  request.kind = FindGaugeKind(gauge);
  request.gauge_name = gauge;
  request.length_range = "大于14至32";
  return request;
}

struct LimitsCase {
  const char* gauge;
  const char* position;
  double low, high;
  std::optional<double> wear;
  bool has_wear_limit;
  WearDirection direction;
};

// With FillComplete: d2 = 10 − 0.97425 = 9.02575, EI(H) 0, es(g) −32, T 180, TPL 12,
// ZPL 20, ZR 8, m 11, TCP 9, TR 6, WGO 24, WNG 21.
const LimitsCase kLimits[] = {
    // 9.02575 + 0.020 shows 9.046 ± 0.006; worn down to 9.046 − 0.024.
    {"通端螺纹塞规", "H", 9.040, 9.052, 9.022, true, WearDirection::Down},
    // 9.02575 + 0.180 + 0.006 shows 9.212 ± 0.006; worn down to 9.212 − 0.021.
    {"止端螺纹塞规", "H", 9.206, 9.218, 9.191, true, WearDirection::Down},
    // 9.02575 − 0.032 − 0.008 shows 8.986 ± 0.003; grows up to 8.98575 + 0.024 = 9.010.
    {"通端螺纹环规", "g", 8.983, 8.989, 9.010, true, WearDirection::Up},
    // 8.98575 − 0.011 shows 8.975 ± 0.0045; a check plug has no wear limit.
    {"校通-通螺纹塞规", "g", 8.9705, 8.9795, std::nullopt, false, WearDirection::Down},
};

TEST(InspectionLimits, AreTheWindowsZoneAndTheWearAllowanceFromItsMiddle) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  const ToleranceDatabase db = ToleranceDatabase::Open(fixture.path());
  for (const LimitsCase& c : kLimits) {
    SCOPED_TRACE(c.gauge);
    const GaugeLimits limits = LimitsFor(Request(10, c.position, c.gauge), db);
    ASSERT_TRUE(limits.decidable());
    EXPECT_NEAR(*limits.low, c.low, 1e-9);
    EXPECT_NEAR(*limits.high, c.high, 1e-9);
    EXPECT_EQ(limits.has_wear_limit, c.has_wear_limit);
    ASSERT_EQ(limits.wear.has_value(), c.wear.has_value());
    if (c.wear) {
      EXPECT_NEAR(*limits.wear, *c.wear, 1e-9);
    }
    EXPECT_EQ(limits.direction, c.direction);
    EXPECT_TRUE(limits.missing.empty());
  }
}

TEST(InspectionLimits, WithoutWearAllowanceTheWearLimitIsUnknownNotGuessed) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  fixture.Exec("UPDATE 位置要素 SET \"WGO环规\" = NULL");
  const ToleranceDatabase db = ToleranceDatabase::Open(fixture.path());
  for (const auto& [gauge, position] : {std::pair{"通端螺纹塞规", "H"}, {"通端螺纹环规", "g"}}) {
    SCOPED_TRACE(gauge);
    const GaugeLimits limits = LimitsFor(Request(10, position, gauge), db);
    EXPECT_TRUE(limits.decidable());
    EXPECT_TRUE(limits.wear_unknown());
    EXPECT_FALSE(limits.missing.empty());
  }
}

TEST(InspectionLimits, WithoutTheGaugeRowNothingCanBeDecided) {
  testing::FixtureDatabase fixture;
  testing::FillComplete(fixture);
  fixture.Exec("DELETE FROM 位置要素");
  const ToleranceDatabase db = ToleranceDatabase::Open(fixture.path());
  const GaugeLimits limits = LimitsFor(Request(10, "g", "通端螺纹环规"), db);
  EXPECT_FALSE(limits.decidable());
  EXPECT_FALSE(limits.missing.empty());
  const double readings[] = {8.985};
  EXPECT_EQ(JudgeReadings(limits, readings, std::nullopt).code, VerdictCode::Undecided);
}

GaugeLimits Plug() {  // the GO plug above: new 9.040 … 9.052, worn down to 9.022
  GaugeLimits limits;
  limits.low = 9.040, limits.high = 9.052, limits.wear = 9.022, limits.has_wear_limit = true;
  limits.direction = WearDirection::Down;
  return limits;
}
GaugeLimits Ring() {  // the GO ring above: new 8.983 … 8.989, grows up to 9.010
  GaugeLimits limits;
  limits.low = 8.983, limits.high = 8.989, limits.wear = 9.010, limits.has_wear_limit = true;
  limits.direction = WearDirection::Up;
  return limits;
}
GaugeLimits WearUnknown(GaugeLimits limits) {
  limits.wear.reset();
  return limits;
}
GaugeLimits CheckPlug() {  // no wear limit at all
  GaugeLimits limits;
  limits.low = 8.9705, limits.high = 8.9795;
  return limits;
}

GaugeLimits Accepted(GaugeLimits limits) {
  limits.acceptance = true;
  return limits;
}

struct VerdictCase {
  const char* name;
  GaugeLimits limits;
  double d2;
  std::optional<double> U;
  VerdictCode code;
  double margin_um;
  MarginLimit limit;
  bool boundary = false;  // the margin only parts new from worn
};

using VC = VerdictCode;
// Each limit approached from both sides by 0.5 µm, without U and with U = 1 µm.
using ML = MarginLimit;
const VerdictCase kVerdicts[] = {
    {"PlugAboveNew", Plug(), 9.0525, {}, VC::OutOfTolerance, -0.5, ML::NewHigh},
    {"PlugInsideTop", Plug(), 9.0515, {}, VC::New, 0.5, ML::NewHigh},
    {"PlugInsideBottom", Plug(), 9.0405, {}, VC::New, 0.5, ML::NewLow, true},
    {"PlugOnTheLimit", Plug(), 9.040, {}, VC::New, 0, ML::NewLow, true},
    {"PlugJustWorn", Plug(), 9.0395, {}, VC::Worn, 17.5, ML::Wear},
    {"PlugWornNearLimit", Plug(), 9.0225, {}, VC::Worn, 0.5, ML::Wear},
    {"PlugWornOut", Plug(), 9.0215, {}, VC::WornOut, -0.5, ML::Wear},
    {"PlugTopWithinU", Plug(), 9.0515, 1.0, VC::Undecided, 0.5, ML::NewHigh},
    {"PlugTopOutsideU", Plug(), 9.0505, 1.0, VC::New, 1.5, ML::NewHigh},
    {"PlugTopOnTheNarrowedLimit", Plug(), 9.051, 1.0, VC::New, 1.0, ML::NewHigh},
    {"PlugAboveWithinU", Plug(), 9.0525, 1.0, VC::Undecided, -0.5, ML::NewHigh},
    {"PlugAboveBeyondU", Plug(), 9.0535, 1.0, VC::OutOfTolerance, -1.5, ML::NewHigh},
    {"PlugWornWithinU", Plug(), 9.0225, 1.0, VC::Undecided, 0.5, ML::Wear},
    {"PlugWornOutsideU", Plug(), 9.0235, 1.0, VC::Worn, 1.5, ML::Wear},
    {"PlugWornOutWithinU", Plug(), 9.0215, 1.0, VC::Undecided, -0.5, ML::Wear},
    {"PlugWornOutBeyondU", Plug(), 9.0205, 1.0, VC::WornOut, -1.5, ML::Wear},
    // Inside the new zone, the margin is to its nearer limit even with the wear limit far.
    {"PlugNewZoneWithU", Plug(), 9.0405, 1.0, VC::New, 0.5, ML::NewLow, true},
    {"RingBelowNew", Ring(), 8.9825, {}, VC::OutOfTolerance, -0.5, ML::NewLow},
    {"RingInsideBottom", Ring(), 8.9835, {}, VC::New, 0.5, ML::NewLow},
    {"RingInsideTop", Ring(), 8.9885, {}, VC::New, 0.5, ML::NewHigh, true},
    {"RingJustWorn", Ring(), 8.9895, {}, VC::Worn, 20.5, ML::Wear},
    {"RingWornNearLimit", Ring(), 9.0095, {}, VC::Worn, 0.5, ML::Wear},
    {"RingWornOut", Ring(), 9.0105, {}, VC::WornOut, -0.5, ML::Wear},
    {"RingBelowWithinU", Ring(), 8.9825, 1.0, VC::Undecided, -0.5, ML::NewLow},
    {"RingBelowBeyondU", Ring(), 8.9815, 1.0, VC::OutOfTolerance, -1.5, ML::NewLow},
    {"RingWornOutBeyondU", Ring(), 9.0115, 1.0, VC::WornOut, -1.5, ML::Wear},
    {"RingWornWithinU", Ring(), 9.0095, 1.0, VC::Undecided, 0.5, ML::Wear},
    // Without a wear limit, beyond the new zone on the wearing side is out of tolerance.
    {"PlugWearUnknownBelow", WearUnknown(Plug()), 9.0395, {}, VC::OutOfTolerance, -0.5, ML::NewLow},
    {"RingWearUnknownAbove",
     WearUnknown(Ring()),
     8.9895,
     {},
     VC::OutOfTolerance,
     -0.5,
     ML::NewHigh},
    {"CheckPlugAbove", CheckPlug(), 8.9800, {}, VC::OutOfTolerance, -0.5, ML::NewHigh},
    {"CheckPlugBelow", CheckPlug(), 8.9700, {}, VC::OutOfTolerance, -0.5, ML::NewLow},
    {"CheckPlugInside", CheckPlug(), 8.9710, {}, VC::New, 0.5, ML::NewLow},
    // A new gauge accepted from its maker: beyond its zone is out of tolerance, never worn,
    // and the zone's lower limit is where conformity ends.
    {"AcceptedPlugBelowZone", Accepted(Plug()), 9.0395, {}, VC::OutOfTolerance, -0.5, ML::NewLow},
    {"AcceptedPlugFarBelow", Accepted(Plug()), 9.0300, {}, VC::OutOfTolerance, -10, ML::NewLow},
    {"AcceptedPlugInside", Accepted(Plug()), 9.0405, {}, VC::New, 0.5, ML::NewLow},
    {"AcceptedRingAboveZone", Accepted(Ring()), 8.9895, {}, VC::OutOfTolerance, -0.5, ML::NewHigh},
};

TEST(Verdicts, BothSidesOfEveryLimitWithAndWithoutUncertainty) {
  for (const VerdictCase& c : kVerdicts) {
    SCOPED_TRACE(c.name);
    const Verdict verdict = Judge(c.limits, c.d2, c.U);
    EXPECT_EQ(VerdictKey(verdict.code), std::string(VerdictKey(c.code)));
    ASSERT_TRUE(verdict.margin_um.has_value());
    EXPECT_NEAR(*verdict.margin_um, c.margin_um, 1e-9);
    EXPECT_EQ(verdict.limit, c.limit);
    EXPECT_EQ(verdict.boundary, c.boundary);
    EXPECT_EQ(verdict.conforms(), c.code == VC::New || c.code == VC::Worn);
  }
}

TEST(Verdicts, TheReadingsExtremesDecideAndTheWorseCounts) {
  // The plug worked example: 9.0406381 is new (0.6381 µm above 9.040), 9.0344381 worn
  // (12.4381 µm above its wear limit 9.022): the gauge is worn.
  const double plug[] = {9.0406381, 9.0344381};
  const Verdict worn = JudgeReadings(Plug(), plug, std::nullopt);
  EXPECT_EQ(worn.code, VC::Worn);
  EXPECT_NEAR(*worn.margin_um, 12.438, 1e-9);
  // Both new: the smaller margin of the two extremes (9.0515 is 0.5 µm below 9.052).
  const double fresh[] = {9.046, 9.0515, 9.045};
  EXPECT_NEAR(*JudgeReadings(Plug(), fresh, std::nullopt).margin_um, 0.5, 1e-9);
  // One reading beyond either side: out of tolerance whichever order.
  const double beyond[] = {9.0530, 9.046};
  EXPECT_EQ(JudgeReadings(Plug(), beyond, std::nullopt).code, VC::OutOfTolerance);
  EXPECT_EQ(JudgeReadings(Plug(), {}, std::nullopt).code, VC::Undecided);
}

TEST(Verdicts, TheCheckPlugsOfARing) {
  struct Case {
    std::optional<bool> go, not_go, wear;
    VerdictCode code;
  };
  const Case cases[] = {
      {true, false, false, VC::New},     {true, false, {}, VC::New},
      {true, true, false, VC::Worn},     {true, true, {}, VC::Undecided},
      {true, true, true, VC::WornOut},   {false, false, false, VC::OutOfTolerance},
      {{}, false, false, VC::Undecided}, {{}, {}, true, VC::WornOut},
  };
  for (const Case& c : cases) {
    const Verdict verdict = JudgeCheckPlugs({c.go, c.not_go, c.wear});
    EXPECT_EQ(VerdictKey(verdict.code), std::string(VerdictKey(c.code)));
    EXPECT_FALSE(verdict.margin_um.has_value());
  }
  // A new ring whose NOT-GO check plug screws in is out of tolerance, not worn.
  EXPECT_EQ(JudgeCheckPlugs({true, true, false}, true).code, VC::OutOfTolerance);
  EXPECT_EQ(JudgeCheckPlugs({true, false, false}, true).code, VC::New);
}

TEST(Verdicts, CheckPlugResultsThatContradictEachOther) {
  // GO, NOT-GO and wear check plugs grow in that order: a larger one screwing in where a
  // smaller one does not cannot be.
  struct Case {
    std::optional<bool> go, not_go, wear;
    std::optional<std::pair<int, int>> contradiction;  // larger passed, smaller refused
  };
  const Case cases[] = {
      {true, false, true, std::pair{2, 1}},  {false, true, {}, std::pair{1, 0}},
      {false, {}, true, std::pair{2, 0}},    {{}, false, true, std::pair{2, 1}},
      {false, false, true, std::pair{2, 0}}, {true, true, false, std::nullopt},
      {true, {}, true, std::nullopt},        {false, false, false, std::nullopt},
      {true, true, true, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto found = ContradictionIn({c.go, c.not_go, c.wear});
    ASSERT_EQ(found.has_value(), c.contradiction.has_value());
    if (found) {
      EXPECT_EQ(found->passed, c.contradiction->first);
      EXPECT_EQ(found->refused, c.contradiction->second);
    }
  }
}

TEST(WearTrendFit, LeastSquaresOnAHandComputedSeries) {
  // Means 6 and 9.0389; Σ(t − 6)(y − 9.0389) = −6 × 0.0011 + 6 × −0.0013 = −0.0144;
  // Σ(t − 6)² = 72: −0.0002 mm a month. 9.0389 − 0.0002 (t − 6) = 9.022 at t = 90.5.
  const TrendPoint points[] = {{0, 9.0400}, {6, 9.0391}, {12, 9.0376}};
  const auto trend = FitWearTrend(points, 9.022, WearDirection::Down);
  ASSERT_TRUE(trend.has_value());
  EXPECT_NEAR(trend->um_per_month, -0.2, 1e-9);
  ASSERT_TRUE(trend->month_at_limit.has_value());
  EXPECT_NEAR(*trend->month_at_limit, 90.5, 1e-6);
  // A ring growing 0.5 µm a month from 8.985 reaches 9.010 after 50 months.
  const TrendPoint ring[] = {{100, 8.985}, {112, 8.991}};
  EXPECT_NEAR(*FitWearTrend(ring, 9.010, WearDirection::Up)->month_at_limit, 150, 1e-6);
  // Moving away from the wear limit never reaches it; one day or one point is no trend.
  EXPECT_FALSE(FitWearTrend(ring, 8.9, WearDirection::Down)->month_at_limit.has_value());
  // Not wearing at all: it never gets there (no division by a zero slope).
  const TrendPoint flat[] = {{0, 8.985}, {12, 8.985}};
  EXPECT_FALSE(FitWearTrend(flat, 9.010, WearDirection::Up)->month_at_limit.has_value());
  EXPECT_FALSE(FitWearTrend(flat, 8.9, WearDirection::Down)->month_at_limit.has_value());
  const TrendPoint one_day[] = {{5, 9.04}, {5, 9.03}};
  EXPECT_FALSE(FitWearTrend(one_day, 9.022, WearDirection::Down).has_value());
  EXPECT_FALSE(FitWearTrend(std::span(points, 1), 9.022, WearDirection::Down).has_value());
}

}  // namespace
}  // namespace threadgauge
