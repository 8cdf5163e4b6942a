#pragma once

#include <string>

#include "calculation/result_writer.h"
#include "calculation/value.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {

// Plug kinds: Text8 the wire diameter (the stored "do", or the best-size wire
// P / (2 cos 30°) when none is stored for P) and Text9 the measurement over three wires,
// M = d2s + dws × (1/sin 30° + 1) − (P/2)/tan 30°, from the pitch diameter and wire as
// shown. `shown_pitch_diameter` is the number Text4 shows.
void ComputeThreeWireData(const ToleranceDatabase& db, double P, const std::string& pitch_condition,
                          const Value& shown_pitch_diameter, ResultWriter& out);

// Ring kinds: Text8 the ball diameter (the stored "d", or P / (2 cos 30°)) and Text9
// E = (D + (P/2)/tan 30°) − 6.1506 from the pitch diameter D as shown.
void ComputeBallData(const ToleranceDatabase& db, double P, const std::string& pitch_condition,
                     const Value& shown_pitch_diameter, ResultWriter& out);

}  // namespace threadgauge
