#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calculation/calculate.h"
#include "calculation/gauge_request.h"

namespace threadgauge {

class ToleranceDatabase;

// The actual pitch diameter of a plug from M over three wires of actual diameter dD: the
// inverse of the M formula the program computes M with,
// d2 = M − dD × (1/sin 30° + 1) + (P/2)/tan 30°.
double PitchDiameterFromM(double M, double P, double dD);
// The actual pitch diameter of a ring from E over two balls of diameter dB: the inverse of
// the program's E formula, d2 = E − (P/2)/tan 30° + dB × (1/sin 30° + 1).
double PitchDiameterFromE(double E, double P, double dB);

// Which way a gauge's pitch diameter moves as it wears: a plug shrinks, a ring grows.
enum class WearDirection { Down, Up };

// What an inspection of one gauge is judged against, from the same calculation the window
// makes: the new-gauge zone (pitch diameter ± its deviation) as shown, and the wear limit measured
// from the zone's middle with the WGO or WNG of the same "位置要素" row.
struct GaugeLimits {
  std::optional<double> low, high;  // mm; none when the tables lack what they need
  std::optional<double> wear;       // mm
  bool has_wear_limit = false;      // the kind has one (thread plugs and rings)
  WearDirection direction = WearDirection::Down;
  CalculationResult calculation;  // the gauge's own calculation, as the window shows it
  std::vector<Notice> missing;    // why a limit could not be had
  // A new gauge accepted from its maker is judged against its manufacturing zone alone:
  // below or above it is out of tolerance, never worn.
  bool acceptance = false;
  // A verdict needs the new-gauge zone; without the wear limit it decides on the zone alone.
  bool decidable() const { return low.has_value() && high.has_value(); }
  bool wear_unknown() const { return has_wear_limit && !wear && !acceptance; }
  // The wear limit as the verdict applies it: none for a gauge being accepted as new.
  std::optional<double> applied_wear() const { return acceptance ? std::nullopt : wear; }
};

// The limits of the request's gauge kind on the database as it is now.
GaugeLimits LimitsFor(const GaugeRequest& request, const ToleranceDatabase& db);

enum class VerdictCode { New, Worn, WornOut, OutOfTolerance, Undecided };

// The limit a verdict's margin is measured to.
enum class MarginLimit { None, NewLow, NewHigh, Wear };

struct Verdict {
  VerdictCode code = VerdictCode::Undecided;
  // To the nearest limit (for a worn gauge, to its wear limit); negative beyond a limit.
  std::optional<double> margin_um;
  MarginLimit limit = MarginLimit::None;
  // The limit only parts a new gauge from a worn one: conformity does not end there, so
  // the uncertainty does not apply to it.
  bool boundary = false;
  bool conforms() const { return code == VerdictCode::New || code == VerdictCode::Worn; }
};

const char* VerdictKey(VerdictCode code);  // "new", "worn", "worn_out", …
std::optional<VerdictCode> VerdictOfKey(std::string_view key);
const char* MarginLimitKey(MarginLimit limit);  // "", "new_low", "new_high", "wear"
MarginLimit MarginLimitOfKey(std::string_view key);

// One pitch diameter judged against the limits. With an expanded uncertainty U (µm) the
// decision follows ISO 14253-1: conformity only inside the acceptable range narrowed by U,
// non-conformity only outside it widened by U, otherwise 不能判定.
Verdict Judge(const GaugeLimits& limits, double pitch_diameter, std::optional<double> U_um);

// The gauge from all its readings: the extreme values decide, the worse verdict counts.
Verdict JudgeReadings(const GaugeLimits& limits, std::span<const double> pitch_diameters,
                      std::optional<double> U_um);

// A ring checked with its check plugs, as the inspector found them (通过: it screwed in).
struct CheckPlugResults {
  std::optional<bool> go, not_go, wear;  // none: not checked
};
Verdict JudgeCheckPlugs(const CheckPlugResults& checks, bool acceptance = false);

// A larger check plug that screws in where a smaller one does not: the results cannot all
// be as entered. The two plugs by their place (0 GO, 1 NOT-GO, 2 wear), larger first.
struct CheckPlugContradiction {
  int passed = 0, refused = 0;
};
std::optional<CheckPlugContradiction> ContradictionIn(const CheckPlugResults& checks);

// The wear per month of a gauge's pitch diameter, fitted by least squares over its
// inspections, and when the fit reaches the wear limit.
struct WearTrend {
  double um_per_month = 0;               // signed: a plug's is negative as it wears
  std::optional<double> month_at_limit;  // on the points' axis; none when it never gets there
};
struct TrendPoint {
  double month = 0;           // months from any fixed day
  double pitch_diameter = 0;  // mm
};
std::optional<WearTrend> FitWearTrend(std::span<const TrendPoint> points,
                                      std::optional<double> wear_limit, WearDirection direction);

}  // namespace threadgauge
