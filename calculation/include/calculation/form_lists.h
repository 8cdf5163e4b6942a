#pragma once

#include <array>

namespace threadgauge {

// The lists the form fills at start-up, in the order they are added; the gauge names are
// those of the gauge kinds (GaugeKinds()). The pitches and the thread-length ranges are
// also the keys a complete tolerance database must hold.
inline constexpr std::array kGrades = {"4", "5", "6", "7", "8", "9", "", "", "", ""};
inline constexpr std::array kPositions = {"G", "H", "e", "f", "g", "h", "", "", "", ""};
inline constexpr std::array kPitches = {"0.45", "0.5", "0.6",  "0.7", "0.75", "0.8", "1",
                                        "1.25", "1.5", "1.75", "2",   "2.5",  "3",   "3.5",
                                        "4",    "4.5", "5",    "5.5", "6"};
inline constexpr std::array kLengthRanges = {"小于或等于14", "大于14至32", "大于32至50",
                                             "大于50至80"};

}  // namespace threadgauge
