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
};

// The seven lookups. Each sends its SELECT text to a database opened for this calculation.
// `pitch_condition` is "[P] = " followed by P as plain decimal text.
Lookup<double> LookupPitchTolerance(const ToleranceDatabase& db, const std::string& length_range);
Lookup<std::string> LookupHalfAngleTolerance(const ToleranceDatabase& db,
                                             const std::string& pitch_condition,
                                             HalfAngleProfile profile);
Lookup<double> LookupFundamentalDeviation(const ToleranceDatabase& db,
                                          const std::string& pitch_condition,
                                          const std::string& column);
Lookup<double> LookupPitchDiameterTolerance(const ToleranceDatabase& db, PitchDiameterTable table,
                                            const std::string& pitch_condition, double d,
                                            const std::string& grade);
GaugeToleranceRow LookupGaugeTolerances(const ToleranceDatabase& db, double T);

// Whether the range tables the two scans walk are stored in ascending order.
std::optional<LookupFailure> CheckPitchDiameterRowOrder(const ToleranceDatabase& db,
                                                        PitchDiameterTable table,
                                                        const std::string& pitch_condition);
std::optional<LookupFailure> CheckGaugeToleranceRowOrder(const ToleranceDatabase& db);
// The stored wire or ball diameter (mm); no number when the table stores none for P (no
// row, or an empty cell), which is the normal path: the best-size wire is used then.
Lookup<std::optional<double>> LookupWireDiameter(const ToleranceDatabase& db,
                                                 const std::string& pitch_condition);
Lookup<std::optional<double>> LookupBallDiameter(const ToleranceDatabase& db,
                                                 const std::string& pitch_condition);

// Column and table names, as the database holds them.
inline constexpr const char* kCompleteProfileColumn = "完整螺纹牙形的半角公差          Tα1/2(′)";
inline constexpr const char* kTruncatedProfileColumn = "截短螺纹牙形的半角公差         Tα2/2(′)";
inline constexpr const char* kPitchToleranceLengthColumn = "螺纹量规螺纹部分长度(mm)";

}  // namespace threadgauge
