// Whatever is typed or pasted into the six inputs gets an answer, and the database is
// only ever read.
#include <gtest/gtest.h>

#include <random>

#include "calculation/calculate.h"
#include "calculation/form_lists.h"
#include "support/fixture_database.h"

namespace threadgauge {
namespace {

const std::vector<std::string>& NastyTexts() {
  static const std::vector<std::string> texts = {std::string(10000, 'x'),
                                                 std::string(10000, '9'),
                                                 std::string(3333, '\xef') + "\xbc\x99",
                                                 "\x01\x02\x03\x7f",
                                                 "\xff\xfe\xfd",
                                                 "\xe5\x85",
                                                 "]",
                                                 "'",
                                                 "\"",
                                                 "[P] = 1.5",
                                                 "es(g)]; DROP TABLE 基本偏差; --",
                                                 "' OR '1'='1",
                                                 "nan",
                                                 "-0",
                                                 "1e999",
                                                 "-1e999",
                                                 "１０",
                                                 "\u3000",
                                                 "\t\n",
                                                 "0x10",
                                                 "1,5",
                                                 "６",
                                                 "ｇ"};
  return texts;
}

FormInputs Valid() { return {"10", "1.5", "6", "g", "校止-止螺纹塞规", "小于或等于14"}; }

TEST(HostileInput, EveryInputTakesAnyText) {
  const std::string before = testing::ReadBytes(testing::ShippedDatabase());
  std::string FormInputs::*const inputs[] = {&FormInputs::Text1,  &FormInputs::Combo1,
                                             &FormInputs::Combo2, &FormInputs::Combo3,
                                             &FormInputs::Combo4, &FormInputs::Combo5};
  for (auto input : inputs) {
    for (const std::string& text : NastyTexts()) {
      FormInputs in = Valid();
      in.*input = text;
      const CalculationResult result = Calculate(in, testing::ShippedDatabase());
      if (result.rejection) {
        // Only the two numbers can be rejected, and only with the two messages.
        EXPECT_TRUE(input == &FormInputs::Text1 || input == &FormInputs::Combo1);
        EXPECT_TRUE(*result.rejection == " 对不起,公称直径必须是正数！" ||
                    *result.rejection == " 对不起,螺距必须是正数！")
            << *result.rejection;
        continue;
      }
      for (const Notice& notice : result.notices) {
        EXPECT_LT(DescribeNotice(notice).size(), 1000u);  // pasted pages are shortened
      }
    }
  }
  EXPECT_EQ(testing::ReadBytes(testing::ShippedDatabase()), before);
}

}  // namespace
}  // namespace threadgauge
