// Any text typed as a thread designation is understood or refused with a message; what is
// understood is a thread with positive d and P, written again in a form read the same way.
#include <cstdint>
#include <string_view>

#include "calculation/designation.h"
#include "words/designation_words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = threadgauge::ParseDesignation(text);
  if (const auto* error = std::get_if<threadgauge::DesignationError>(&parsed)) {
    if (threadgauge::DescribeDesignationError(*error).empty()) __builtin_trap();
    return 0;
  }
  const auto& thread = std::get<threadgauge::Designation>(parsed);
  if (!(thread.d > 0) || !(thread.P > 0)) __builtin_trap();
  const auto again = threadgauge::ParseDesignation(thread.text);
  const auto* same = std::get_if<threadgauge::Designation>(&again);
  if (same == nullptr || same->text != thread.text || same->P != thread.P) __builtin_trap();
  return 0;
}
