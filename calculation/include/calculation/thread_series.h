#pragma once

#include <optional>
#include <string>
#include <vector>

namespace threadgauge {

// One nominal diameter of the ISO 261 general plan (data/iso261.csv, 1 … 300 mm): its
// choice, its coarse pitch (none for the sizes that have only fine pitches) and all its fine
// pitches, largest first. (ISO 262's selected sizes are a part of this plan.)
struct SeriesThread {
  double d = 0;
  int choice = 1;  // 1st, 2nd or 3rd choice
  std::optional<double> coarse;
  std::vector<double> fine;
};

const std::vector<SeriesThread>& Iso261Threads();

// The diameter's row of ISO 261; none when d is not one of its diameters.
const SeriesThread* Iso261Thread(double d);

// The coarse pitch of d; none when ISO 261 lists none for it.
std::optional<double> CoarsePitch(double d);

// Every pitch of ISO 261, coarse and fine, ascending.
std::vector<double> Iso261Pitches();

// What a complete tolerance database must hold rows for: every pitch of ISO 261 and every
// pitch of the window's list, as plain decimals; the window's thread-length ranges.
std::vector<std::string> PitchesToCover();
std::vector<std::string> LengthRangesToCover();

// The thread-length range of the window's list that holds a gauge's thread length in mm
// ("小于或等于14" up to 14, "大于14至32" above 14 up to 32, …); none above 80 or at 0 and below.
std::optional<std::string> LengthRangeFor(double length_mm);

}  // namespace threadgauge
