// Real threads on the shipped database. Its ISO 965-1 tables give EI, es, TD2 and Td2;
// its gauge tables are empty until the user imports them, so exactly the fields that need
// no gauge tolerance are shown. Expected texts are worked out by hand from the ISO tables
// (the arithmetic stands beside each case).
#include <gtest/gtest.h>

#include "calculation/calculate.h"
#include "support/fixture_database.h"

namespace threadgauge {
namespace {

struct RealThread {
  const char* name;
  CalculationInputs inputs;
  // Text2, Text4, Text6, Text8, Text9; every other field stays empty.
  std::array<const char*, 5> shown;
};

const RealThread kThreads[] = {
    // M10×1.5-6H: EI(H) = 0. d1 = 10 − 1.0825 × 1.5 = 8.37625 → 8.376.
    // Wire 1.5 / (2 cos 30°) = 0.8660254 → 0.866. Text2, Text4 and M need ZPL/TPL.
    {"M10x1_5_6H_GoPlug",
     {"10", "1.5", "6", "H", "通端螺纹塞规", "小于或等于14"},
     {"", "", "8.376", "0.866", ""}},
    // M8×1.25-6G: EI(G) = +28. d1 = 8 − 1.0825 × 1.25 + 0.028 = 6.674875 → 6.675.
    // Wire 1.25 / 1.7320508 = 0.7216878 → 0.722.
    {"M8x1_25_6G_GoPlug",
     {"8", "1.25", "6", "G", "通端螺纹塞规", "小于或等于14"},
     {"", "", "6.675", "0.722", ""}},
    // M10×1.5-6g: es(g) = −32. GO ring: d1 + es = 8.37625 − 0.032 = 8.34425 → 8.344;
    // ball 0.866; Text2 needs TPL, Text4 and E need ZR.
    {"M10x1_5_6g_GoRing",
     {"10", "1.5", "6", "g", "通端螺纹环规", "小于或等于14"},
     {"", "", "8.344", "0.866", ""}},
    // GO check plug of the GO ring: Text2 = d + es = 9.968; Text4 and Text6 need ZR and m.
    {"M10x1_5_6g_GoRingGoCheck",
     {"10", "1.5", "6", "g", "校通-通螺纹塞规", "小于或等于14"},
     {"9.968", "", "", "0.866", ""}},
    // NOT-GO check plug of the NOT-GO ring: Td2(6g, 5.6…11.2, P 1.5) = 132.
    // Text2 = 10 − 0.032 − 0.132 = 9.836; Text4 = 9.02575 − 0.164 = 8.86175 → 8.862;
    // Text6 = 8.37625 − 0.164 = 8.21225 → 8.212; M = 8.862 + 3 × 0.866 − 1.2990381
    // = 10.1609619 → 10.161.
    {"M10x1_5_6g_NotGoRingNotGoCheck",
     {"10", "1.5", "6", "g", "校止-止螺纹塞规", "小于或等于14"},
     {"9.836", "8.862", "8.212", "0.866", "10.161"}},
    // Wear check plug of the NOT-GO ring: only Text6 = d1 + es − Td2 = 8.212 needs no TR/WNG.
    {"M10x1_5_6g_NotGoRingWearCheck",
     {"10", "1.5", "6", "g", "校止-损螺纹塞规", "小于或等于14"},
     {"", "", "8.212", "0.866", ""}},
    // M36×4-6g: es(g) = −60, Td2(6g, 22.4…45, P 4) = 224. Text2 = 36 − 0.284 = 35.716;
    // d2 = 36 − 2.598 = 33.402 → 33.118; d1 = 36 − 4.33 = 31.67 → 31.386;
    // wire 4 / 1.7320508 = 2.3094011 → 2.309; M = 33.118 + 6.927 − 3.4641016 = 36.5808984.
    {"M36x4_6g_NotGoRingNotGoCheck",
     {"36", "4", "6", "g", "校止-止螺纹塞规", "大于32至50"},
     {"35.716", "33.118", "31.386", "2.309", "36.581"}},
};

class RealThreadOnShippedDatabase : public ::testing::TestWithParam<RealThread> {};

TEST_P(RealThreadOnShippedDatabase, ShowsWhatTheIsoTablesAllow) {
  const RealThread& t = GetParam();
  const CalculationResult result = Calculate(t.inputs, testing::ShippedDatabase());
  ASSERT_FALSE(result.rejection);
  FormState shown;
  shown.Apply(result.update);
  EXPECT_EQ(shown.Field(OutputField::MajorDiameter), t.shown[0]);
  EXPECT_EQ(shown.Field(OutputField::PitchDiameter), t.shown[1]);
  EXPECT_EQ(shown.Field(OutputField::MinorDiameter), t.shown[2]);
  EXPECT_EQ(shown.Field(OutputField::WireOrBall), t.shown[3]);
  EXPECT_EQ(shown.Field(OutputField::Measurement), t.shown[4]);
  for (OutputField f :
       {OutputField::MajorDeviation, OutputField::PitchDeviation, OutputField::MinorDeviation,
        OutputField::HalfAngleTolerance, OutputField::PitchTolerance}) {
    EXPECT_EQ(shown.Field(f), "") << FieldCaption(f);
  }
  // The gauge tables are the user's: the notices say which rows are missing.
  bool names_gauge_table = false;
  for (const Notice& n : result.notices) names_gauge_table |= GaugeTableToFill(n) == "位置要素";
  EXPECT_TRUE(names_gauge_table);
}

INSTANTIATE_TEST_SUITE_P(Iso965, RealThreadOnShippedDatabase, ::testing::ValuesIn(kThreads),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace threadgauge
