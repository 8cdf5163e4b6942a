// The worked examples of the ten gauge kinds, to the last shown digit.
#include <gtest/gtest.h>

#include "support/gauge_fixture.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

using testing::LookedUpValues;

struct Example {
  const char* name;
  const char* gauge;
  double d;
  const char* position;
  LookedUpValues values;
  // Text2, Text3, Text4, Text5, Text6, Text18, Text8, Text9, Text27; "" for a field the kind
  // does not write.
  std::array<const char*, 9> shown;
};

LookedUpValues With(std::initializer_list<std::pair<double LookedUpValues::*, double>> set,
                    std::string wire = "") {
  LookedUpValues v;
  for (const auto& [member, value] : set) v.*member = value;
  v.wire = std::move(wire);
  return v;
}

using V = LookedUpValues;

const Example kExamples[] = {
    {"GoThreadPlug",
     "通端螺纹塞规",
     10,
     "H",
     With({{&V::EI_H, 0}, {&V::T, 180}, {&V::ZPL, 20}, {&V::TPL, 12}}),
     {"10.020", "0.0120", "9.046", "0.0060", "8.376", "", "0.866", "10.345", "10"}},
    // The same with EI = +28 (a G position): 10 + 0.028 + 0.020; 9.02575 + 0.048 = 9.07375;
    // 8.37625 + 0.028 = 8.40425; M = 9.074 + 3 × 0.866 − 1.2990381 = 10.3729619.
    {"GoThreadPlugWithEI",
     "通端螺纹塞规",
     10,
     "H",
     With({{&V::EI_H, 28}, {&V::T, 180}, {&V::ZPL, 20}, {&V::TPL, 12}}),
     {"10.048", "0.0120", "9.074", "0.0060", "8.404", "", "0.866", "10.373", "10"}},
    {"NotGoThreadPlug",
     "止端螺纹塞规",
     10,
     "H",
     With({{&V::EI_H, 0}, {&V::T, 180}, {&V::TPL, 12}}),
     {"9.512", "0.0120", "9.212", "0.0060", "8.376", "", "0.866", "10.511", "15"}},
    // With EI = +28: 9.02575 + 0.028 + 0.180 + 0.006 = 9.23975, + 0.3 for Text2;
    // M = 9.240 + 2.598 − 1.2990381 = 10.5389619.
    {"NotGoThreadPlugWithEI",
     "止端螺纹塞规",
     10,
     "H",
     With({{&V::EI_H, 28}, {&V::T, 180}, {&V::TPL, 12}}),
     {"9.540", "0.0120", "9.240", "0.0060", "8.404", "", "0.866", "10.539", "15"}},
    {"GoThreadRing",
     "通端螺纹环规",
     20,
     "g",
     With({{&V::es_g, -32}, {&V::TPL, 6}, {&V::ZR, 8}, {&V::TR, 6}}),
     // E over the ball shown: 18.986 + 0.75 / tan 30° − 0.866 × 3 = 17.6870381. The form's
     // fixed 6.1506 (balls of 2.0502 mm) gave 14.134 here.
     {"19.974", "", "18.986", "0.0030", "18.344", "0.0030", "0.866", "17.687", "10"}},
    {"NotGoThreadRing",
     "止端螺纹环规",
     20,
     "g",
     With({{&V::es_g, -32}, {&V::T, 112}, {&V::TPL, 6}, {&V::TR, 6}}),
     // E = 18.879 + 1.2990381 − 2.598 = 17.5800381 (the fixed 6.1506 gave 14.027).
     {"19.974", "", "18.879", "0.0030", "18.579", "0.0060", "0.866", "17.580", "15"}},
    {"GoRingGoCheckPlug",
     "校通-通螺纹塞规",
     10,
     "g",
     With({{&V::TPL, 10}, {&V::ZR, 12}, {&V::m, 14}, {&V::TCP, 8}}),
     {"9.968", "0.0100", "8.968", "0.0040", "8.318", "", "0.866", "10.267", "10"}},
    {"GoRingNotGoCheckPlug",
     "校通-止螺纹塞规",
     10,
     "g",
     With({{&V::TPL, 10}, {&V::ZR, 12}, {&V::TR, 14}, {&V::TCP, 8}}),
     {"9.289", "0.0050", "8.989", "0.0040", "8.337", "", "0.866", "10.288", "15"}},
    {"GoRingWearCheckPlug",
     "校通-损螺纹塞规",
     10,
     "g",
     With({{&V::TPL, 10}, {&V::ZR, 12}, {&V::WGO, 24}, {&V::TCP, 8}, {&V::TR, 14}}),
     {"9.306", "0.0050", "9.006", "0.0040", "8.337", "", "0.866", "10.305", "15"}},
    {"NotGoRingGoCheckPlug",
     "校止-通螺纹塞规",
     10,
     "g",
     With({{&V::T, 112}, {&V::TPL, 16}, {&V::TR, 14}, {&V::m, 11}, {&V::TCP, 9}}),
     {"9.968", "0.0160", "8.864", "0.0045", "8.214", "", "0.866", "10.163", "10"}},
    {"NotGoRingGoCheckPlugStoredWire",
     "校止-通螺纹塞规",
     10,
     "g",
     With({{&V::T, 112}, {&V::TPL, 16}, {&V::TR, 14}, {&V::m, 11}, {&V::TCP, 9}}, "0.895"),
     {"9.968", "0.0160", "8.864", "0.0045", "8.214", "", "0.895", "10.250", "10"}},
    {"NotGoRingNotGoCheckPlug",
     "校止-止螺纹塞规",
     10,
     "g",
     With({{&V::T, 112}, {&V::TPL, 16}, {&V::TCP, 9}}),
     {"9.856", "0.0160", "8.882", "0.0045", "8.232", "", "0.866", "10.181", "10"}},
    {"NotGoRingWearCheckPlug",
     "校止-损螺纹塞规",
     10,
     "g",
     With({{&V::T, 112}, {&V::TPL, 16}, {&V::TR, 14}, {&V::TCP, 9}, {&V::WNG, 21}}),
     {"9.870", "0.0160", "8.896", "0.0045", "8.232", "", "0.866", "10.195", "10"}},
};

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, ShowsEveryFieldToTheLastDigit) {
  const Example& e = GetParam();
  testing::FixtureDatabase fixture;
  testing::Fill(fixture, e.values);
  const CalculationResult result =
      Calculate(testing::Inputs(e.d, e.position, e.gauge), fixture.path());
  ASSERT_FALSE(result.rejection);
  for (const Notice& notice : result.notices) ADD_FAILURE() << DescribeNotice(notice);

  FormState shown;
  shown.Apply(result.update);
  const OutputField fields[] = {
      OutputField::MajorDiameter,  OutputField::MajorDeviation, OutputField::PitchDiameter,
      OutputField::PitchDeviation, OutputField::MinorDiameter,  OutputField::MinorDeviation,
      OutputField::WireOrBall,     OutputField::Measurement,    OutputField::HalfAngleTolerance};
  for (size_t i = 0; i < std::size(fields); ++i) {
    EXPECT_EQ(shown.Field(fields[i]), e.shown[i]) << FieldCaption(fields[i]);
  }
  EXPECT_EQ(shown.Field(OutputField::PitchTolerance), "0.005");
}

// Standards print the first row of a range table as "above — up to …": an empty or dashed
// lower bound is 0, so a TD2 in that first band finds its gauge tolerances.
TEST(WorkedExampleFirstBand, OpenLowerBoundHoldsTheFirstBand) {
  for (const char* open : {"NULL", "''", "'—'"}) {
    SCOPED_TRACE(open);
    testing::FixtureDatabase fixture;
    testing::Fill(fixture, With({{&V::EI_H, 0}, {&V::T, 180}, {&V::ZPL, 20}, {&V::TPL, 12}}));
    fixture.Exec(std::string(R"sql(UPDATE 位置要素 SET "TD2/Td2下限" = )sql") + open);
    const CalculationResult result =
        Calculate(testing::Inputs(10, "H", "通端螺纹塞规"), fixture.path());
    EXPECT_TRUE(result.notices.empty());
    FormState shown;
    shown.Apply(result.update);
    EXPECT_EQ(shown.Field(OutputField::MajorDiameter), "10.020");
    EXPECT_EQ(shown.Field(OutputField::Measurement), "10.345");
  }
}

INSTANTIATE_TEST_SUITE_P(TenKinds, WorkedExample, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace threadgauge
