// A thread's whole gauge set is one calculation per gauge, shown as the window shows it.
#include "calculation/gauge_set.h"

#include <gtest/gtest.h>

#include "calculation/batch.h"
#include "support/gauge_fixture.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/gauge_set_table.h"

namespace threadgauge {
namespace {

// Every table filled for M10 × 1.5 (values for the test only, not from a real table).
class GaugeSetTest : public ::testing::Test {
 protected:
  GaugeSetTest() { testing::FillComplete(fixture_); }
  GaugeSet Set(const char* position) {
    const auto set = CalculateGaugeSet(testing::Inputs(10, position, ""),
                                       ToleranceDatabase::Open(fixture_.path()));
    EXPECT_TRUE(std::holds_alternative<GaugeSet>(set));
    EXPECT_EQ(std::get<GaugeSet>(set).designation, "M10×1.5-6" + std::string(position));
    return std::get<GaugeSet>(set);
  }
  testing::FixtureDatabase fixture_;
};

TEST_F(GaugeSetTest, EachRowIsTheCalculationOfThatGauge) {
  for (const char* position : {"H", "g"}) {
    const GaugeSet set = Set(position);
    ASSERT_EQ(set.rows.size(), std::string(position) == "H" ? 2u : 8u);
    for (const GaugeSetRow& row : set.rows) {
      CalculationInputs single = testing::Inputs(10, position, row.gauge.c_str());
      const CalculationResult alone = Calculate(single, fixture_.path());
      FormState shown;
      shown.Apply(alone.update);
      for (OutputField field : kOutputFields) {
        EXPECT_EQ(row.shown.Field(field), shown.Field(field)) << row.gauge << FieldCaption(field);
      }
    }
    EXPECT_TRUE(set.notices.empty());
  }
  const GaugeSet nut = Set("H");
  EXPECT_EQ(nut.rows[0].gauge, "通端螺纹塞规");
  EXPECT_EQ(nut.rows[1].gauge, "止端螺纹塞规");
  // The GO plug's worked example: d = 10, P = 1.5, EI = 0, ZPL = 20, TPL = 12.
  EXPECT_EQ(nut.rows[0].major, "10.020 ± 0.0120");
  EXPECT_EQ(nut.rows[0].pitch, "9.046 ± 0.0060");
  EXPECT_EQ(nut.rows[0].minor, "≤ 8.376");
  EXPECT_EQ(nut.rows[0].measurement, "10.345");
  const GaugeSet bolt = Set("g");
  // In the window's list order, the plugs of the nut left out.
  EXPECT_EQ(bolt.rows[0].gauge, "通端螺纹环规");
  EXPECT_EQ(bolt.rows[4].gauge, "止端螺纹环规");
  // GO ring: (10 − 0.032) + 0.012; (9.02575 − 0.032) − 0.008; 8.37625 − 0.032 ± 0.003.
  EXPECT_EQ(bolt.rows[0].major, "≥ 9.980");
  EXPECT_EQ(bolt.rows[0].pitch, "8.986 ± 0.0030");
  EXPECT_EQ(bolt.rows[0].minor, "8.344 ± 0.0030");
  EXPECT_EQ(bolt.rows[0].element, "0.900");
}

TEST_F(GaugeSetTest, TheZoneDiagramIsToScaleFromTheBasicPitchDiameter) {
  const GaugeSet nut = Set("H");
  EXPECT_DOUBLE_EQ(nut.diagram.d2, 9.02575);
  EXPECT_TRUE(nut.diagram.internal);
  EXPECT_EQ(nut.diagram.thread.lower, 0);  // EI = 0
  EXPECT_EQ(nut.diagram.thread.upper, 180);
  // GO plug as shown: 9.046 ± 0.0060, i.e. 20.25 ± 6 µm above d2.
  EXPECT_NEAR(*nut.diagram.gauges[0].zone.lower, 14.25, 1e-9);
  EXPECT_NEAR(*nut.diagram.gauges[0].zone.upper, 26.25, 1e-9);
  EXPECT_FALSE(nut.diagram.gauges[0].wear_known);

  const GaugeSet bolt = Set("g");
  EXPECT_EQ(bolt.diagram.thread.lower, -32 - 180);  // es − Td2
  EXPECT_EQ(bolt.diagram.thread.upper, -32);
  // The GO ring's wear limit is its wear check plug: d2 + es − ZR + WGO = 9.00975 → 9.010.
  const auto& go_ring = bolt.diagram.gauges[0];
  ASSERT_TRUE(go_ring.wear_known);
  EXPECT_NEAR(*go_ring.wear, -15.75, 1e-9);
}

TEST_F(GaugeSetTest, MissingValuesAreNamedOnceAndTheTableGoesOut) {
  fixture_.Exec("DELETE FROM 位置要素");
  const GaugeSet bolt = Set("g");
  size_t gauge_table_notices = 0;
  for (const Notice& n : bolt.notices) gauge_table_notices += GaugeTableToFill(n) == "位置要素";
  EXPECT_EQ(gauge_table_notices, 1u);
  EXPECT_EQ(bolt.rows[0].pitch, "");           // both values need the gauge table
  EXPECT_EQ(bolt.rows[0].minor, "8.344 ± —");  // the size does not, its deviation does
  EXPECT_FALSE(bolt.diagram.gauges[0].zone.lower.has_value());
  // Without the fundamental deviation there is no thread zone to draw.
  fixture_.Exec(R"sql(UPDATE 基本偏差 SET "es(g)" = NULL)sql");
  EXPECT_FALSE(Set("g").diagram.thread.lower.has_value());
  EXPECT_FALSE(Set("g").diagram.thread.upper.has_value());
  // A pitch diameter without its deviation is no zone either.
  fixture_.Exec("INSERT INTO 位置要素 VALUES (0, 1000, NULL, 20, 8, 11, 9, 6, 24, 21)");
  const GaugeSet nut = Set("H");
  EXPECT_EQ(nut.rows[0].pitch, "9.046 ± —");
  EXPECT_FALSE(nut.diagram.gauges[0].zone.lower.has_value());
  EXPECT_FALSE(nut.diagram.gauges[0].zone.upper.has_value());

  const std::string csv = GaugeSetCsv(Set("H"));
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(csv.find("量规名称,大径,中径,小径"), std::string::npos);
  EXPECT_NE(csv.find("通端螺纹塞规,"), std::string::npos);
  EXPECT_NE(GaugeSetTabSeparated(Set("H")).find("\r\n止端螺纹塞规\t\t\t≤ 8.376\t15\t"),
            std::string::npos);

  const auto rejected =
      CalculateGaugeSet(testing::Inputs(10, "X", ""), ToleranceDatabase::Open(fixture_.path()));
  ASSERT_TRUE(std::holds_alternative<Rejection>(rejected));

  // The heading shows the numbers the gauges were computed from, never a text as typed.
  CalculationInputs comma = testing::Inputs(10, "H", "");
  comma.nominal_diameter = "10,5";
  comma.pitch = "1,5";
  const auto read = CalculateGaugeSet(comma, ToleranceDatabase::Open(fixture_.path()));
  ASSERT_TRUE(std::holds_alternative<GaugeSet>(read));
  EXPECT_EQ(std::get<GaugeSet>(read).designation, "M10×1-6H");
  EXPECT_EQ(DescribeNotice(std::get<GaugeSet>(read).notices.at(0)),
            "公称直径“10,5”按 10 计算（小数点请用“.”）");
}

// A series row the gauge set refuses is said, never left out in silence.
TEST_F(GaugeSetTest, ASeriesThreadTheGaugeSetRefusesIsToldNotDropped) {
  const auto db = ToleranceDatabase::Open(fixture_.path());
  Designation thread;
  thread.d = 10;
  thread.P = 1.5;
  const auto nut = BatchRows(WithClass(thread, *ParseThreadClass("6H")), "", db);
  ASSERT_TRUE(std::holds_alternative<std::vector<BatchRow>>(nut));
  EXPECT_EQ(std::get<std::vector<BatchRow>>(nut).size(), 2u);
  const auto refused = BatchRows(thread, "", db);  // no class: no gauge to check it
  ASSERT_TRUE(std::holds_alternative<Rejection>(refused));
  EXPECT_EQ(std::get<Rejection>(refused), Rejection::PositionUnknown);
}

}  // namespace
}  // namespace threadgauge
