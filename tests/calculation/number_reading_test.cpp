#include <gtest/gtest.h>

#include <cmath>

#include "platform/number_text.h"

namespace threadgauge {
namespace {

struct ReadingCase {
  const char* text;
  double expected;
};

class LeadingNumber : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(LeadingNumber, ReadsAsTypedInputIsRead) {
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    ::testing::Values(ReadingCase{"10", 10}, ReadingCase{"1.5", 1.5}, ReadingCase{"12abc", 12},
                      ReadingCase{"abc", 0}, ReadingCase{"", 0}, ReadingCase{" ", 0},
                      ReadingCase{" 1 2 ", 12},       // blanks are ignored wherever they stand
                      ReadingCase{"1\t0\n.5", 10.5},  // so are tabs and line feeds
                      ReadingCase{"1,5", 1},          // a comma ends the number
                      ReadingCase{".5", 0.5}, ReadingCase{"5.", 5}, ReadingCase{"-3", -3},
                      ReadingCase{"+3", 3}, ReadingCase{"1.5.6", 1.5}, ReadingCase{"1e3", 1000},
                      ReadingCase{"2E-1x", 0.2}, ReadingCase{"1e", 1}, ReadingCase{"1e+", 1},
                      ReadingCase{"M10", 0}, ReadingCase{"-", 0}, ReadingCase{".", 0},
                      ReadingCase{"1e-999", 0}, ReadingCase{"0.45mm", 0.45},
                      // Typed in full-width mode by a Chinese input method.
                      ReadingCase{"１０", 10}, ReadingCase{"１．５", 1.5}, ReadingCase{"－２", -2},
                      ReadingCase{"\u3000１\u3000２", 12}, ReadingCase{"１２ｍｍ", 12},
                      ReadingCase{"１，５", 1}, ReadingCase{"1耀5", 1},  // U+8000 is no blank
                      ReadingCase{"nan", 0}, ReadingCase{"inf", 0}, ReadingCase{"-0", 0},
                      ReadingCase{"\x01\x7f"
                                  "5",
                                  0},
                      ReadingCase{"\xff\xfe"
                                  "1",
                                  0},
                      ReadingCase{"\xef\xbc", 0}));  // a full-width form cut short

// The rule stays; where it may have read otherwise than meant, the reading says so.
TEST(TypedNumberTest, SaysWhereTheRuleMayNotBeWhatWasMeant) {
  struct Case {
    const char* text;
    double read;
    NumberDoubt doubt;
    const char* dropped;
  };
  const Case cases[] = {
      {"1,25", 1, NumberDoubt::DecimalComma, ",25"},
      {"1，25", 1, NumberDoubt::DecimalComma, ",25"},  // a full-width comma
      {"10 12", 1012, NumberDoubt::BlankInside, ""},
      {"1.5/2", 1.5, NumberDoubt::DigitsDropped, "/2"},
      {"10x1.5", 10, NumberDoubt::DigitsDropped, "x1.5"},
      {"1,", 1, NumberDoubt::None, ""},  // a comma with no digit after it drops nothing
      {"1,x", 1, NumberDoubt::None, ""},
      {"12abc", 12, NumberDoubt::None, ""},
      {"10mm", 10, NumberDoubt::None, ""},
      {" 1.5 ", 1.5, NumberDoubt::None, ""},
      {"１．５", 1.5, NumberDoubt::None, ""},
      {"abc", 0, NumberDoubt::None, ""},
      {"\u22121.5", -1.5, NumberDoubt::None, ""},  // the minus sign reads as "-"
      {"\u20111.5", -1.5, NumberDoubt::None, ""},
  };
  for (const Case& c : cases) {
    const TypedNumber number = ReadTypedNumber(c.text);
    EXPECT_DOUBLE_EQ(number.value, c.read) << c.text;
    EXPECT_DOUBLE_EQ(number.value, ReadLeadingNumber(c.text)) << c.text;
    EXPECT_EQ(number.doubt, c.doubt) << c.text;
    EXPECT_EQ(number.dropped, c.dropped) << c.text;
  }
}

TEST(LeadingNumberTest, ExponentTooLargeReadsAsInfinity) {
  EXPECT_TRUE(std::isinf(ReadLeadingNumber("1e999")));
  EXPECT_LT(ReadLeadingNumber("-1e999"), 0);
}

// A number stored as text in a table: blanks around it only; a sign is kept.
TEST(StoredNumberTest, OnlyANumberWithBlanksAroundIt) {
  EXPECT_EQ(ParseStoredNumber(" \t-32\r\n"), -32);
  EXPECT_EQ(ParseStoredNumber("+0.005"), 0.005);
  EXPECT_EQ(ParseStoredNumber(".5"), 0.5);
  for (const char* text : {"", " ", "12µm", "1 2", "nan", "inf", "-", "0x10", "1,5"}) {
    EXPECT_FALSE(ParseStoredNumber(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace threadgauge
