#include "calculation/number_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace threadgauge {
namespace {

struct FormatCase {
  double value;
  NumberFormat format;
  const char* expected;
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, ShowsAsTheFieldFormats) {
  const auto& [value, format, expected] = GetParam();
  const auto shown = FormatNumber(value, format);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->text, expected) << value;
  // The number handed on is the decimal shown, not the value before rounding.
  std::string plain = expected;
  std::erase(plain, ',');
  EXPECT_EQ(shown->number, std::stod(plain)) << value;
}

constexpr auto kSize = NumberFormat::Size;
constexpr auto kDeviation = NumberFormat::Deviation;
constexpr auto kTp = NumberFormat::PitchTolerance;

INSTANTIATE_TEST_SUITE_P(
    Values, Formats,
    ::testing::Values(
        // Halves round away from zero once the value is taken to 15 digits: the double
        // nearest 8.96775 lies below it, and 2.0005 lies below 2.0005 too.
        FormatCase{8.96775, kSize, "8.968"}, FormatCase{2.0005, kSize, "2.001"},
        FormatCase{-2.0005, kSize, "-2.001"}, FormatCase{8.31825, kSize, "8.318"},
        FormatCase{9.28875, kSize, "9.289"}, FormatCase{18.87875, kSize, "18.879"},
        FormatCase{1002.5, kSize, "1,002.500"}, FormatCase{1234567.8915, kSize, "1,234,567.892"},
        FormatCase{999.9996, kSize, "1,000.000"}, FormatCase{0, kSize, "0.000"},
        FormatCase{1.9996, kSize, "2.000"}, FormatCase{9.9996, kSize, "10.000"},
        // 15 significant digits first: 1234567890123.46, then three decimals.
        FormatCase{1234567890123.4567, kSize, "1,234,567,890,123.460"},
        FormatCase{0.5, kSize, "0.500"}, FormatCase{-0.0001, kSize, "0.000"},
        FormatCase{0.0005, kSize, "0.001"}, FormatCase{-32.5, kSize, "-32.500"},
        FormatCase{-2, kSize, "-2.000"}, FormatCase{-0.5, kSize, "-0.500"},
        FormatCase{0.006, kDeviation, "0.0060"}, FormatCase{0.00045, kDeviation, "0.0005"},
        FormatCase{0.012, kDeviation, "0.0120"}, FormatCase{1000, kDeviation, "1,000.0000"},
        FormatCase{0.008, kTp, "0.008"}, FormatCase{1234.5, kTp, "1234.500"},
        FormatCase{1e20, kSize, "100,000,000,000,000,000,000.000"}));

TEST(FormatNumberTest, NothingToShowForInfinityOrNaN) {
  EXPECT_FALSE(FormatNumber(std::numeric_limits<double>::infinity(), kSize));
  EXPECT_FALSE(FormatNumber(-std::numeric_limits<double>::infinity(), kDeviation));
  EXPECT_FALSE(FormatNumber(std::numeric_limits<double>::quiet_NaN(), kTp));
}

}  // namespace
}  // namespace threadgauge
