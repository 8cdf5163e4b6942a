// When a value a formula needs cannot be had, exactly the fields computed from it stay
// empty and a notice says what is missing; nothing stale or zero stands in for it.
#include <gtest/gtest.h>

#include "support/gauge_fixture.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

using testing::FixtureDatabase;
using testing::Inputs;
using testing::LookedUpValues;

struct Shown {
  FormState state;
  std::vector<std::string> notices;
  bool Empty(OutputField f) const { return state.Field(f).empty(); }
  const std::string& operator[](OutputField f) const { return state.Field(f); }
  bool Mentions(const std::string& words) const {
    for (const auto& n : notices) {
      if (n.find(words) != std::string::npos) return true;
    }
    return false;
  }
};

Shown Calculated(const CalculationInputs& inputs, const std::filesystem::path& database) {
  const CalculationResult result = Calculate(inputs, database);
  EXPECT_FALSE(result.rejection);
  Shown shown;
  shown.state.Apply(result.update);
  for (const Notice& n : result.notices) shown.notices.push_back(DescribeNotice(n));
  return shown;
}

LookedUpValues Complete() {
  LookedUpValues v;
  v.TPL = 12, v.ZPL = 20, v.ZR = 8, v.m = 11, v.TCP = 9, v.TR = 14, v.WGO = 24, v.WNG = 21;
  return v;
}

TEST(MissingValues, PitchDiameterToleranceNotTabulated) {
  FixtureDatabase fixture;
  testing::Fill(fixture, Complete());
  // d = 30 lies in no row (the fixture's ranges end at 25).
  const Shown s = Calculated(Inputs(30, "H", "通端螺纹塞规"), fixture.path());
  for (OutputField f :
       {OutputField::MajorDiameter, OutputField::MajorDeviation, OutputField::PitchDiameter,
        OutputField::PitchDeviation, OutputField::Measurement}) {
    EXPECT_TRUE(s.Empty(f)) << FieldCaption(f) << " shows " << s[f];
  }
  EXPECT_EQ(s[OutputField::MinorDiameter], "28.376");  // d1 + EI/1000 = 30 − 1.62375
  EXPECT_EQ(s[OutputField::WireOrBall], "0.866");
  EXPECT_EQ(s[OutputField::HalfAngleTolerance], "10");
  EXPECT_EQ(s[OutputField::PitchTolerance], "0.005");
  ASSERT_EQ(s.notices.size(), 1u);
  EXPECT_EQ(s.notices[0], "表“内螺纹中径公差”中没有范围包含 P = 1.5, d = 30 的行");
}

TEST(MissingValues, NoGaugeToleranceRowHoldsT) {
  LookedUpValues v = Complete();
  v.T = 2000;  // above the fixture's one "位置要素" row (0 … 1000)
  FixtureDatabase fixture;
  testing::Fill(fixture, v);
  const Shown ring = Calculated(Inputs(20, "g", "通端螺纹环规"), fixture.path());
  for (OutputField f :
       {OutputField::MajorDiameter, OutputField::PitchDiameter, OutputField::PitchDeviation,
        OutputField::MinorDeviation, OutputField::Measurement}) {
    EXPECT_TRUE(ring.Empty(f)) << FieldCaption(f);
  }
  EXPECT_EQ(ring[OutputField::MinorDiameter], "18.344");  // d1 + es/1000 needs no gauge tolerance
  EXPECT_EQ(ring[OutputField::WireOrBall], "0.866");
  ASSERT_EQ(ring.notices.size(), 1u);
  EXPECT_TRUE(ring.Mentions("表“位置要素”中没有范围包含 TD2/Td2 = 2000 的行"));
  EXPECT_TRUE(ring.Mentions("编辑公差表"));

  // The NOT-GO check plug of the NOT-GO ring needs only TPL and TCP from that row.
  const Shown check = Calculated(Inputs(10, "g", "校止-止螺纹塞规"), fixture.path());
  EXPECT_TRUE(check.Empty(OutputField::MajorDeviation));
  EXPECT_TRUE(check.Empty(OutputField::PitchDeviation));
  EXPECT_EQ(check[OutputField::MajorDiameter], "7.968");  // 10 − 0.032 − 2.000
  EXPECT_EQ(check[OutputField::PitchDiameter], "6.994");  // 9.02575 − 0.032 − 2.000
  EXPECT_EQ(check[OutputField::Measurement], "8.293");    // 6.994 + 2.598 − 1.2990381
}

TEST(MissingValues, DeviationOfTheOtherKindOfThread) {
  FixtureDatabase fixture;
  testing::Fill(fixture, Complete());
  const Shown plug = Calculated(Inputs(10, "g", "通端螺纹塞规"), fixture.path());
  for (OutputField f : {OutputField::MajorDiameter, OutputField::PitchDiameter,
                        OutputField::MinorDiameter, OutputField::Measurement}) {
    EXPECT_TRUE(plug.Empty(f)) << FieldCaption(f);
  }
  EXPECT_EQ(plug[OutputField::MajorDeviation], "0.0120");  // TPL does not depend on EI
  EXPECT_EQ(plug[OutputField::PitchDeviation], "0.0060");
  EXPECT_EQ(plug[OutputField::WireOrBall], "0.866");
  ASSERT_EQ(plug.notices.size(), 1u);
  EXPECT_EQ(plug.notices[0],
            "通端螺纹塞规检验内螺纹，公差带“g”是外螺纹的公差带，查不到基本偏差 EI(g)；"
            "内螺纹的公差带为 G 或 H");

  const Shown ring = Calculated(Inputs(20, "H", "止端螺纹环规"), fixture.path());
  EXPECT_TRUE(ring.Empty(OutputField::MajorDiameter));
  EXPECT_EQ(ring[OutputField::PitchDeviation], "0.0070");
  EXPECT_TRUE(ring.Mentions("止端螺纹环规用于外螺纹，公差带“H”是内螺纹的公差带"));

  // A position of neither kind is only a column the table lacks.
  const Shown unknown = Calculated(Inputs(10, "X", "通端螺纹塞规"), fixture.path());
  EXPECT_TRUE(unknown.Mentions("表“基本偏差”中没有列“EI(X)”"));
}

TEST(MissingValues, LengthRangeWithoutRowStillRunsTheGauge) {
  FixtureDatabase fixture;
  testing::Fill(fixture, Complete());
  CalculationInputs inputs = Inputs(10, "H", "通端螺纹塞规");
  inputs.length_range = "";
  const Shown s = Calculated(inputs, fixture.path());
  EXPECT_TRUE(s.Empty(OutputField::PitchTolerance));
  EXPECT_EQ(s[OutputField::MajorDiameter], "10.020");
  EXPECT_EQ(s.notices, std::vector<std::string>{"未选择螺纹部分长度，查不到螺距公差"});
  inputs.length_range = "大于80";  // a range the table lacks is still the table's
  EXPECT_EQ(Calculated(inputs, fixture.path()).notices,
            std::vector<std::string>{"表“螺距公差”中没有 “大于80” 的行"});
}

TEST(MissingValues, UnknownGaugeNameChangesOnlyThePitchTolerance) {
  FixtureDatabase fixture;
  testing::Fill(fixture, Complete());
  const CalculationResult result = Calculate(Inputs(10, "H", "通端螺纹塞规 "), fixture.path());
  for (OutputField f : kOutputFields) {
    EXPECT_EQ(result.update.fields[static_cast<size_t>(f)].has_value(),
              f == OutputField::PitchTolerance)
        << FieldCaption(f);
  }
  for (const auto& visible : result.update.visible) EXPECT_FALSE(visible.has_value());
  for (const auto& caption : result.update.captions) EXPECT_FALSE(caption.has_value());
  ASSERT_EQ(result.notices.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<UnknownGauge>(result.notices[0]));
}

}  // namespace
}  // namespace threadgauge
