#pragma once

#include <optional>
#include <string>
#include <vector>

namespace threadgauge {

// One nominal diameter of the ISO 261 table we ship (data/coarse_pitch.csv): its coarse
// pitch and its selected fine pitches.
struct SeriesThread {
  double d = 0;
  std::string choice;  // "第1系列", "第2系列", …
  double coarse = 0;
  std::vector<double> fine;
};

const std::vector<SeriesThread>& Iso261Threads();

// The coarse pitch of d; nothing when d is not a diameter of the table.
std::optional<double> CoarsePitch(double d);

}  // namespace threadgauge
