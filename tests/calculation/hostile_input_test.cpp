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

TEST(HostileInput, FullWidthNumbersComputeAsTheirAsciiForms) {
  FormInputs full_width = Valid();
  full_width.Text1 = "１０";
  full_width.Combo1 = "１．５";
  const CalculationResult a = Calculate(full_width, testing::ShippedDatabase());
  const CalculationResult b = Calculate(Valid(), testing::ShippedDatabase());
  ASSERT_FALSE(a.rejection);
  EXPECT_EQ(a.update.fields, b.update.fields);
  EXPECT_EQ(*a.update.fields[static_cast<size_t>(OutputField::Text2)], "9.836");
}

// A checksum of the file's bytes (FNV-1a, 64 bits).
uint64_t Checksum(const std::filesystem::path& file) {
  uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : testing::ReadBytes(file)) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

TEST(HostileInput, TenThousandRandomCalculationsLeaveTheDatabaseAsItWas) {
  const uint64_t before = Checksum(testing::ShippedDatabase());
  std::mt19937 random(20261206);
  const auto pick = [&](const auto& list) { return std::string(list[random() % list.size()]); };
  const auto any_text = [&]() -> std::string {
    switch (random() % 4) {
      case 0:
        return NastyTexts()[random() % NastyTexts().size()];
      case 1:
        return std::to_string(static_cast<int>(random() % 400) - 20);
      case 2:
        return std::to_string((random() % 9000) / 1000.0);
      default: {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
      }
    }
  };
  for (int i = 0; i < 10000; ++i) {
    FormInputs in;
    in.Text1 = random() % 3 ? std::to_string(1 + random() % 300) : any_text();
    in.Combo1 = random() % 3 ? pick(kPitches) : any_text();
    in.Combo2 = random() % 3 ? pick(kGrades) : any_text();
    in.Combo3 = random() % 3 ? pick(kPositions) : any_text();
    in.Combo4 = random() % 3 ? pick(kGaugeNames) : any_text();
    in.Combo5 = random() % 3 ? pick(kLengthRanges) : any_text();
    const CalculationResult result = Calculate(in, testing::ShippedDatabase());
    ASSERT_TRUE(result.rejection || !result.notices.empty() || result.update.fields[0]);
  }
  EXPECT_EQ(Checksum(testing::ShippedDatabase()), before);
}

}  // namespace
}  // namespace threadgauge
