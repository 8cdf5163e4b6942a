// Every double formats without a crash; a finite one always gets text, and the number
// handed on with it lies within half a unit of the last shown digit.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "calculation/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double)) return 0;
  double value = 0;
  std::memcpy(&value, data, sizeof value);
  using threadgauge::NumberFormat;
  for (NumberFormat format :
       {NumberFormat::Size, NumberFormat::Deviation, NumberFormat::PitchTolerance}) {
    const auto text = threadgauge::FormatNumber(value, format);
    if (text.has_value() != std::isfinite(value)) __builtin_trap();
    if (!text || std::fabs(value) >= 1e12) continue;  // 15 digits leave no decimals to check
    const double unit = format == NumberFormat::Deviation ? 1e-4 : 1e-3;
    const double back = text->number;
    if (std::fabs(back - value) > unit / 2 + std::fabs(value) * 1e-14 + 1e-15) __builtin_trap();
  }
  return 0;
}
