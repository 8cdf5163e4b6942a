#pragma once

#include "calculation/value.h"
#include "result_writer.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {

// Plug kinds: the wire diameter (the stored "do", or the best-size wire
// P / (2 cos 30°) when none is stored for P) and M, the measurement over three wires,
// M = d2s + dws × (1/sin 30° + 1) − (P/2)/tan 30°, from the pitch diameter and wire as
// shown. `shown_pitch_diameter` is the pitch diameter as shown.
void ComputeThreeWireData(const ToleranceDatabase& db, double P, const Value& shown_pitch_diameter,
                          ResultWriter& out);

// Ring kinds: the ball diameter (the stored "d", or P / (2 cos 30°)) and E, the
// measurement between the two balls, E = D + (P/2)/tan 30° − b × (1/sin 30° + 1), from the
// pitch diameter D and the ball b as shown: the same rule as M, over the balls the window
// shows (a fixed 6.1506 = 3 × 2.0502 would hold for balls of 2.0502 mm only).
void ComputeBallData(const ToleranceDatabase& db, double P, const Value& shown_pitch_diameter,
                     ResultWriter& out);

}  // namespace threadgauge
