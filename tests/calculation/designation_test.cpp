// Thread designations as users write them, good and bad.
#include "calculation/designation.h"

#include <gtest/gtest.h>

#include "words/designation_words.h"

namespace threadgauge {
namespace {

struct Good {
  const char* typed;
  double d, P;
  const char* grade;
  const char* position;
  const char* understood;  // the designation written the standard way
};

class GoodDesignation : public ::testing::TestWithParam<Good> {};

TEST_P(GoodDesignation, GivesTheFourInputs) {
  const Good& g = GetParam();
  const auto parsed = ParseDesignation(g.typed);
  ASSERT_TRUE(std::holds_alternative<Designation>(parsed))
      << g.typed << ": " << DescribeDesignationError(std::get<DesignationError>(parsed));
  const Designation& t = std::get<Designation>(parsed);
  EXPECT_EQ(t.d, g.d);
  EXPECT_EQ(t.P, g.P);
  EXPECT_EQ(t.thread_class ? t.thread_class->grade : "", g.grade);
  EXPECT_EQ(t.thread_class ? Letter(t.thread_class->position) : "", std::string(g.position));
  EXPECT_EQ(t.text, g.understood);
  // A comma read as the decimal point is said; a point is not.
  EXPECT_EQ(t.decimal_comma, std::string(g.typed).find(',') != std::string::npos) << g.typed;
}

// Coarse pitches from the ISO 261 table we ship: M10 1.5, M12 1.75, M1.6 0.35, M64 6.
INSTANTIATE_TEST_SUITE_P(
    AsWritten, GoodDesignation,
    ::testing::Values(Good{"M10", 10, 1.5, "", "", "M10"},
                      Good{"M10×1.5", 10, 1.5, "", "", "M10×1.5"},
                      Good{"M10x1.5-6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10X1.25-6g", 10, 1.25, "6", "g", "M10×1.25-6g"},
                      Good{"m10×1.5-6h", 10, 1.5, "6", "h", "M10×1.5-6h"},  // h is not H
                      Good{"M12-6g", 12, 1.75, "6", "g", "M12-6g"},
                      Good{"M 10 × 1.5 - 6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10*1.5-6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10ｘ1.5－6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1.5–6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1.5—6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"Ｍ１０×１．５－６Ｈ", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1,5-6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10\u3000×\u30001.5-6H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1.5-5H6H", 10, 1.5, "5", "H", "M10×1.5-5H6H"},
                      Good{"M10×1.5-5g6g", 10, 1.5, "5", "g", "M10×1.5-5g6g"},
                      Good{"M16×1.5LH-6g", 16, 1.5, "6", "g", "M16×1.5-6g-LH"},
                      Good{"M16×1.5-6g-LH", 16, 1.5, "6", "g", "M16×1.5-6g-LH"},
                      Good{"M10×1.5-6H-S", 10, 1.5, "6", "H", "M10×1.5-6H-S"},
                      Good{"M6×0.75-5h6h-L-LH", 6, 0.75, "5", "h", "M6×0.75-5h6h-L-LH"},
                      Good{"M10-6H-N", 10, 1.5, "6", "H", "M10-6H-N"},
                      Good{"M1.6-6H", 1.6, 0.35, "6", "H", "M1.6-6H"},
                      Good{"M64-4e", 64, 6, "4", "e", "M64-4e"},
                      Good{"M11-6H", 11, 1.5, "6", "H", "M11-6H"},  // ISO 261's third choice
                      Good{"M68-6g", 68, 6, "6", "g", "M68-6g"},
                      Good{"M2.5×0.45-7G", 2.5, 0.45, "7", "G", "M2.5×0.45-7G"},
                      Good{"M6-3h4h", 6, 1, "3", "h", "M6-3h4h"},
                      // Hyphens and minus signs that look like the dash.
                      Good{"M10×1.5\u20116H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1.5\u20126H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1.5\u22126H", 10, 1.5, "6", "H", "M10×1.5-6H"},
                      Good{"M10×1,25-6H", 10, 1.25, "6", "H", "M10×1.25-6H"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

struct Bad {
  const char* typed;
  const char* says;  // a piece of the message
};

class BadDesignation : public ::testing::TestWithParam<Bad> {};

TEST_P(BadDesignation, IsRefusedWithAMessageAndAnExample) {
  const auto parsed = ParseDesignation(GetParam().typed);
  ASSERT_TRUE(std::holds_alternative<DesignationError>(parsed)) << GetParam().typed;
  const std::string& message = DescribeDesignationError(std::get<DesignationError>(parsed));
  EXPECT_NE(message.find(GetParam().says), std::string::npos) << message;
  // A diameter without a coarse pitch gets an example of its own size.
  if (message.find("请写出螺距") == std::string::npos) {
    EXPECT_NE(message.find("例如 M10×1.5-6H"), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AsWritten, BadDesignation,
    ::testing::Values(Bad{"M10×", "“×”后面应是螺距，但没有写"},
                      Bad{"10×1.5-6H", "以 M 开头，无法识别“10x1.5-6H”"},
                      Bad{"M10×1.5-6", "公差带“6”不完整"},
                      Bad{"M10×1.5-6X", "公差带位置“X”不可识别"}, Bad{"M16×Ph3P1.5-6H", "多线螺纹"},
                      Bad{"Ph3P1.5", "以 M 开头"},
                      Bad{"M15-6H",
                          "公称直径 15 在 ISO 261 中没有粗牙螺距，只有细牙螺距 "
                          "1.5、1；请写出螺距，例如 M15×1.5-6H"},
                      Bad{"M13-6H", "公称直径 13 不在 ISO 261 中"}, Bad{"", "没有输入螺纹标记"},
                      Bad{"M", "后面应是公称直径"}, Bad{"M10×1.5-H", "“-”后面应是公差带"},
                      Bad{"M10×1.5-6H-Q", "无法识别“-Q”"},
                      // Blanks between two numbers are never joined into one (1.5 6 is not 1.56).
                      Bad{"M10×1.5 6H", "数字中间不能有空格，无法识别“M10×1.5 6H”"},
                      Bad{"M10 6g", "数字中间不能有空格，无法识别“M10 6g”"},
                      Bad{"M1 0×1.5-6H", "数字中间不能有空格"},
                      Bad{"M10×abc", "“×”后面应是螺距，无法识别“abc”"},
                      // A crest class with another position letter is a typing error.
                      Bad{"M10-6g6H", "顶径公差带“6H”的位置字母与中径公差带“6g”不同"},
                      Bad{"M10-5H6G", "顶径公差带“6G”的位置字母与中径公差带“5H”不同"},
                      Bad{"M10-5g6h", "顶径公差带“6h”的位置字母"},
                      // Classes ISO 965-1 does not have.
                      Bad{"M10-9H", "ISO 965-1 没有公差带“9H”"}, Bad{"M10-3G", "没有公差带“3G”"},
                      Bad{"M10-2g", "没有公差带“2g”"}, Bad{"M10×0-6H", "“×”后面应是螺距"},
                      Bad{"M0-6H", "“M”后面应是公称直径"}, Bad{"m5-LH-S-L", "“LH”应写在最后"},
                      Bad{"M5-6g-S-L", "旋合长度写了两次"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace threadgauge
