#include "calculation/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace threadgauge {

std::optional<FormattedNumber> FormatNumber(double value, NumberFormat format) {
  if (!std::isfinite(value)) return std::nullopt;
  const int decimals = format == NumberFormat::Deviation ? 4 : 3;
  const bool grouped = format != NumberFormat::PitchTolerance;

  // 15 significant digits: "d.dddddddddddddde±X".
  char scientific[40];
  const auto written = std::to_chars(scientific, scientific + sizeof scientific - 1,
                                     std::fabs(value), std::chars_format::scientific, 14);
  *written.ptr = '\0';
  std::string digits;
  const char* p = scientific;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  const int exponent = std::atoi(p + 1);

  // Place the digits on a fixed grid: `integer_digits` before the point.
  int integer_digits = exponent + 1;
  if (integer_digits <= 0) {
    digits.insert(0, static_cast<size_t>(1 - integer_digits), '0');
    integer_digits = 1;
  }
  const size_t kept = static_cast<size_t>(integer_digits + decimals);
  if (digits.size() < kept + 1) digits.append(kept + 1 - digits.size(), '0');

  // Half away from zero: the magnitude rounds up when the first dropped digit is 5 or more.
  const bool round_up = digits[kept] >= '5';
  digits.resize(kept);
  if (round_up) {
    int i = static_cast<int>(kept) - 1;
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(0, 1, '1');
      ++integer_digits;
    } else {
      ++digits[static_cast<size_t>(i)];
    }
  }

  std::string integer = digits.substr(0, static_cast<size_t>(integer_digits));
  const std::string fraction = digits.substr(static_cast<size_t>(integer_digits));
  const size_t first = integer.find_first_not_of('0');
  integer = first == std::string::npos ? "0" : integer.substr(first);
  if (grouped) {
    for (int at = static_cast<int>(integer.size()) - 3; at > 0; at -= 3) {
      integer.insert(static_cast<size_t>(at), 1, ',');
    }
  }
  // A value that rounds to nothing shows no sign: "-0.000" would read as a real deviation.
  const bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
  const std::string sign = value < 0 && !zero ? "-" : "";
  // The shown decimal as a number, from the digits kept (no group separators).
  const std::string plain =
      sign + digits.substr(0, static_cast<size_t>(integer_digits)) + "." + fraction;
  double number = 0;
  std::from_chars(plain.data(), plain.data() + plain.size(), number);
  return FormattedNumber{sign + integer + "." + fraction, number};
}

}  // namespace threadgauge
