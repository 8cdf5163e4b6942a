#pragma once

#include <optional>
#include <string>

#include "tolerance/lookup_result.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {

enum class HalfAngleProfile { Complete, Truncated };
enum class PitchDiameterTable { Internal, External };  // TD2 of nuts, Td2 of bolts

// The eight gauge tolerances and positions of one "位置要素" row (µm). Each may be
// missing on its own, when the table lacks the column or the cell holds no number.
struct GaugeToleranceRow {
  Lookup<double> TPL, ZPL, ZR, m, TCP, TR, WGO, WNG;
  std::vector<LookupFailure> warnings;  // what the range scan met on its way
};

// Whether the row's answer may be kept for the next asking (no engine error in it).
bool MayKeep(const GaugeToleranceRow& row);

// The seven lookups. Each runs its SELECT on the database of this calculation; the pitch P
// and the length range are bound to the statement, never written into its text.
Lookup<double> LookupPitchTolerance(const ToleranceDatabase& db, const std::string& length_range);
Lookup<std::string> LookupHalfAngleTolerance(const ToleranceDatabase& db, double P,
                                             HalfAngleProfile profile);
Lookup<double> LookupFundamentalDeviation(const ToleranceDatabase& db, double P,
                                          const std::string& column);
Scanned<double> LookupPitchDiameterTolerance(const ToleranceDatabase& db, PitchDiameterTable table,
                                             double P, double d, const std::string& grade);
GaugeToleranceRow LookupGaugeTolerances(const ToleranceDatabase& db, double T);
// The stored wire or ball diameter (mm); no number when the table stores none for P (no
// row, or an empty cell), which is the normal path: the best-size wire is used then.
Lookup<std::optional<double>> LookupWireDiameter(const ToleranceDatabase& db, double P);
Lookup<std::optional<double>> LookupBallDiameter(const ToleranceDatabase& db, double P);

}  // namespace threadgauge
