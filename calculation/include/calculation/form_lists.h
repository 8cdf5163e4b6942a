#pragma once

#include <array>
#include <cstddef>

#include "tolerance/thread_class.h"

namespace threadgauge {

// A list of the form: the entries given, then empty entries up to N.
template <size_t N, size_t M>
constexpr std::array<const char*, N> WithEmptyEntries(const std::array<const char*, M>& entries,
                                                      size_t first) {
  std::array<const char*, N> list{};
  size_t i = 0;
  for (size_t e = first; e < M; ++e) list[i++] = entries[e];
  while (i < N) list[i++] = "";
  return list;
}

// The lists the form fills at start-up, in the order they are added; the gauge names are
// those of the gauge kinds (GaugeKinds()). The grades and positions are the window's part
// of the class alphabet: grades 4 … 9 (grade 3, of external threads only, is typed), the six
// positions, and four empty entries each. The pitches and the thread-length ranges are
// also keys a complete tolerance database must hold.
inline constexpr std::array kGrades = WithEmptyEntries<10>(kAllGrades, 1);
inline constexpr std::array kPositions = WithEmptyEntries<10>(kPositionLetters, 0);
// These lists of texts are each file's own (internal linkage): MinGW-w64's g++ 12 puts an
// inline array of string literals in a writable section in some files and a read-only
// one in others, and the linker then refuses the two copies.
[[maybe_unused]] constexpr std::array kPitches = {
    "0.45", "0.5", "0.6", "0.7", "0.75", "0.8", "1", "1.25", "1.5", "1.75",
    "2",    "2.5", "3",   "3.5", "4",    "4.5", "5", "5.5",  "6"};
[[maybe_unused]] constexpr std::array kLengthRanges = {"小于或等于14", "大于14至32", "大于32至50",
                                                       "大于50至80"};

}  // namespace threadgauge
