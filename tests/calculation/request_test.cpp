#include <gtest/gtest.h>

#include "calculation/gauge_request.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

CalculationInputs Complete() { return {"10", "1.5", "6", "H", "通端螺纹塞规", "小于或等于14"}; }

std::string RejectionOf(const CalculationInputs& inputs) {
  const auto built = BuildRequest(inputs);
  const auto* rejection = std::get_if<Rejection>(&built);
  return rejection ? DescribeRejection(*rejection) : std::string("(accepted)");
}

TEST(PresenceChecks, FirstEmptyInputIsReportedInFixedOrder) {
  struct Case {
    std::string CalculationInputs::*cleared;
    const char* message;
  };
  const Case cases[] = {{&CalculationInputs::nominal_diameter, " 对不起,公称直径不能为空！"},
                        {&CalculationInputs::pitch, " 对不起,螺距不能为空！"},
                        {&CalculationInputs::grade, " 对不起,公差等级不能为空！"},
                        {&CalculationInputs::position, " 对不起,公差带不能为空！"},
                        {&CalculationInputs::gauge_name, " 对不起,量规名称不能为空！"}};
  for (const Case& c : cases) {
    CalculationInputs inputs = Complete();
    inputs.*c.cleared = "";
    EXPECT_EQ(RejectionOf(inputs), c.message);
  }
  // With every input empty, only the first is reported.
  EXPECT_EQ(RejectionOf(CalculationInputs{}), " 对不起,公称直径不能为空！");
  CalculationInputs both = Complete();
  both.nominal_diameter = both.pitch = "";
  EXPECT_EQ(RejectionOf(both), " 对不起,公称直径不能为空！");
}

TEST(PositiveNumbers, DiameterAndPitchMustReadAsPositive) {
  const std::pair<const char*, const char*> diameters[] = {
      {" ", " 对不起,公称直径必须是正数！"},
      {"abc", " 对不起,公称直径必须是正数！"},
      {"0", " 对不起,公称直径必须是正数！"},
      {"-10", " 对不起,公称直径必须是正数！"},
      {"-0", " 对不起,公称直径必须是正数！"},
      {"1e999", " 对不起,公称直径必须是正数！"},
      {"12abc", "(accepted)"},
      {"0.9", "(accepted)"}};
  for (const auto& [text, expected] : diameters) {
    CalculationInputs inputs = Complete();
    inputs.nominal_diameter = text;
    EXPECT_EQ(RejectionOf(inputs), expected) << text;
  }
  const std::pair<const char*, const char*> pitches[] = {{"x", " 对不起,螺距必须是正数！"},
                                                         {"0", " 对不起,螺距必须是正数！"},
                                                         {"-1.5", " 对不起,螺距必须是正数！"},
                                                         {"1.5mm", "(accepted)"}};
  for (const auto& [text, expected] : pitches) {
    CalculationInputs inputs = Complete();
    inputs.pitch = text;
    EXPECT_EQ(RejectionOf(inputs), expected) << text;
  }
}

}  // namespace
}  // namespace threadgauge
