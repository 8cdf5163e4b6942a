#include "calculation/number_reading.h"

#include <charconv>
#include <limits>
#include <string>

namespace threadgauge {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double ReadLeadingNumber(std::string_view text) {
  std::string squeezed;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') squeezed += c;
  }
  size_t i = 0;
  bool negative = false;
  if (i < squeezed.size() && (squeezed[i] == '+' || squeezed[i] == '-')) {
    negative = squeezed[i] == '-';
    ++i;
  }
  const size_t start = i;
  size_t digits = 0;
  while (i < squeezed.size() && IsDigit(squeezed[i])) ++i, ++digits;
  if (i < squeezed.size() && squeezed[i] == '.') {
    ++i;
    while (i < squeezed.size() && IsDigit(squeezed[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  size_t end = i;
  bool negative_exponent = false;
  if (i < squeezed.size() && (squeezed[i] == 'e' || squeezed[i] == 'E')) {
    size_t j = i + 1;
    if (j < squeezed.size() && (squeezed[j] == '+' || squeezed[j] == '-')) {
      negative_exponent = squeezed[j] == '-';
      ++j;
    }
    if (j < squeezed.size() && IsDigit(squeezed[j])) {
      while (j < squeezed.size() && IsDigit(squeezed[j])) ++j;
      end = j;
    }
  }
  double value = 0;
  const auto [ptr, ec] = std::from_chars(squeezed.data() + start, squeezed.data() + end, value);
  if (ec == std::errc::result_out_of_range) {
    value = negative_exponent ? 0.0 : std::numeric_limits<double>::infinity();
  }
  (void)ptr;
  return negative ? -value : value;
}

double ReadShownNumber(std::string_view text) {
  std::string plain;
  for (char c : text) {
    if (c != ',') plain += c;
  }
  return ReadLeadingNumber(plain);
}

}  // namespace threadgauge
