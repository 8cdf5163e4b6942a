// Any text typed or pasted is read as a number without a crash, and never as NaN.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "platform/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double typed = threadgauge::ReadLeadingNumber(text);
  if (std::isnan(typed)) __builtin_trap();
  return 0;
}
