#include "calculation/inspection.h"

#include <algorithm>
#include <cmath>

#include "calculation/gauge_kind.h"
#include "calculation/thread_basics.h"

namespace threadgauge {
namespace {

// The three-wire and ball formulas' constant parts for the 60° thread.
double WireFactor() { return 1 / std::sin(kFlankHalfAngle) + 1; }
double FlankTerm(double P) { return (P / 2) / std::tan(kFlankHalfAngle); }

// Limits and readings are compared to a thousandth of a µm, so that a reading on a limit
// is on it, whatever the last bit of its arithmetic.
double MarginUm(double mm) { return std::round(mm * 1e6) / 1e3; }
double RoundedMm(double mm) { return std::round(mm * 1e4) / 1e4; }

std::optional<double> ShownNumber(const CalculationResult& result, OutputField field) {
  return result.update.numbers[static_cast<size_t>(field)];
}

std::vector<Notice> Problems(const std::vector<Notice>& notices) {
  std::vector<Notice> problems;
  for (const Notice& notice : notices) {
    if (!IsInformational(notice)) problems.push_back(notice);
  }
  return problems;
}

// A plug shrinks by the wear allowance below its pitch diameter (the zone's middle).
void PlugWearLimit(GaugeLimits& limits, const std::optional<Value>& allowance, double middle) {
  if (!allowance) return;
  if (allowance->known()) {
    limits.wear = RoundedMm(middle - allowance->number() / 1000);
  } else {
    AddNotices(limits.missing, allowance->why());
  }
}

Verdict Make(VerdictCode code, std::optional<double> margin_um,
             MarginLimit limit = MarginLimit::None, bool boundary = false) {
  return {code, margin_um, limit, boundary};
}

int Severity(VerdictCode code) {
  switch (code) {
    case VerdictCode::New:
      return 0;
    case VerdictCode::Worn:
      return 1;
    case VerdictCode::Undecided:
      return 2;
    case VerdictCode::WornOut:
    case VerdictCode::OutOfTolerance:
      return 3;
  }
  return 3;
}

}  // namespace

double PitchDiameterFromM(double M, double P, double dD) {
  return M - dD * WireFactor() + FlankTerm(P);
}

double PitchDiameterFromE(double E, double P, double dB) {
  return E - FlankTerm(P) + dB * WireFactor();
}

GaugeLimits LimitsFor(const GaugeRequest& request, const ToleranceDatabase& db) {
  GaugeLimits limits;
  limits.calculation = Calculate(request, db);
  const GaugeKind* kind = request.kind;
  const auto middle = ShownNumber(limits.calculation, OutputField::PitchDiameter);
  const auto half = ShownNumber(limits.calculation, OutputField::PitchDeviation);
  if (middle && half) {
    limits.low = RoundedMm(*middle - *half);
    limits.high = RoundedMm(*middle + *half);
  } else {
    limits.missing = Problems(limits.calculation.notices);
  }
  if (kind == nullptr) return limits;
  limits.direction = kind->layout == Layout::Ring ? WearDirection::Up : WearDirection::Down;
  if (kind->wear_allowance != WearAllowance::None) {
    const auto& allowance = kind->wear_allowance == WearAllowance::WGO ? limits.calculation.WGO
                                                                       : limits.calculation.WNG;
    if (middle) PlugWearLimit(limits, allowance, *middle);
    limits.has_wear_limit = true;
  } else if (kind->check_plugs.wear != nullptr) {
    // A ring grows up to the pitch diameter of its wear check plug.
    limits.has_wear_limit = true;
    GaugeRequest plug = request;
    plug.kind = kind->check_plugs.wear;
    plug.gauge_name = std::string(plug.kind->name);
    const CalculationResult wear_plug = Calculate(plug, db);
    if (const auto wear = ShownNumber(wear_plug, OutputField::PitchDiameter)) {
      limits.wear = *wear;
    } else {
      AddNotices(limits.missing, Problems(wear_plug.notices));
    }
  }
  return limits;
}

const char* VerdictKey(VerdictCode code) {
  switch (code) {
    case VerdictCode::New:
      return "new";
    case VerdictCode::Worn:
      return "worn";
    case VerdictCode::WornOut:
      return "worn_out";
    case VerdictCode::OutOfTolerance:
      return "out_of_tolerance";
    case VerdictCode::Undecided:
      return "undecided";
  }
  return "undecided";
}

std::optional<VerdictCode> VerdictOfKey(std::string_view key) {
  for (VerdictCode code : {VerdictCode::New, VerdictCode::Worn, VerdictCode::WornOut,
                           VerdictCode::OutOfTolerance, VerdictCode::Undecided}) {
    if (key == VerdictKey(code)) return code;
  }
  return std::nullopt;
}

const char* MarginLimitKey(MarginLimit limit) {
  switch (limit) {
    case MarginLimit::None:
      return "";
    case MarginLimit::NewLow:
      return "new_low";
    case MarginLimit::NewHigh:
      return "new_high";
    case MarginLimit::Wear:
      return "wear";
  }
  return "";
}

MarginLimit MarginLimitOfKey(std::string_view key) {
  for (MarginLimit limit : {MarginLimit::NewLow, MarginLimit::NewHigh, MarginLimit::Wear}) {
    if (key == MarginLimitKey(limit)) return limit;
  }
  return MarginLimit::None;
}

Verdict Judge(const GaugeLimits& limits, double x, std::optional<double> U_um) {
  if (!limits.decidable()) return Make(VerdictCode::Undecided, std::nullopt);
  const double low = *limits.low, high = *limits.high;
  const bool down = limits.direction == WearDirection::Down;
  const std::optional<double> wear = limits.applied_wear();
  // The acceptable range: the new-gauge zone, widened on the wearing side to the wear limit.
  const bool widened_low = down && wear && *wear < low;
  const bool widened_high = !down && wear && *wear > high;
  const double lower = widened_low ? *wear : low;
  const double upper = widened_high ? *wear : high;
  const MarginLimit lower_limit = widened_low ? MarginLimit::Wear : MarginLimit::NewLow;
  const MarginLimit upper_limit = widened_high ? MarginLimit::Wear : MarginLimit::NewHigh;
  const double below = MarginUm(x - lower);  // ≥ 0 inside
  const double above = MarginUm(upper - x);
  const double margin = std::min(below, above);
  const MarginLimit nearest = below <= above ? lower_limit : upper_limit;
  const double U = U_um.value_or(0);
  if (margin < -U) {
    // Beyond the acceptable range: worn out past the wear limit, else out of tolerance.
    return Make(nearest == MarginLimit::Wear ? VerdictCode::WornOut : VerdictCode::OutOfTolerance,
                margin, nearest);
  }
  if (margin < U) return Make(VerdictCode::Undecided, margin, nearest);
  const double in_low = MarginUm(x - low), in_high = MarginUm(high - x);
  if (in_low >= 0 && in_high >= 0) {
    // The zone's limit on the wearing side only parts new from worn when a wear limit lies
    // beyond it.
    const bool to_low = in_low <= in_high;
    const bool boundary = to_low ? widened_low : widened_high;
    return Make(VerdictCode::New, std::min(in_low, in_high),
                to_low ? MarginLimit::NewLow : MarginLimit::NewHigh, boundary);
  }
  // A worn gauge only wears further: what counts is how far it is from its wear limit.
  return Make(VerdictCode::Worn, down ? below : above, MarginLimit::Wear);
}

Verdict JudgeReadings(const GaugeLimits& limits, std::span<const double> pitch_diameters,
                      std::optional<double> U_um) {
  if (pitch_diameters.empty()) return Make(VerdictCode::Undecided, std::nullopt);
  const auto [smallest, largest] =
      std::minmax_element(pitch_diameters.begin(), pitch_diameters.end());
  const Verdict a = Judge(limits, *smallest, U_um);
  const Verdict b = Judge(limits, *largest, U_um);
  if (Severity(a.code) != Severity(b.code)) return Severity(a.code) > Severity(b.code) ? a : b;
  if (!a.margin_um || !b.margin_um) return a;
  return *a.margin_um <= *b.margin_um ? a : b;
}

Verdict JudgeCheckPlugs(const CheckPlugResults& checks, bool acceptance) {
  // The GO check plug must screw in; the wear check plug must not; the NOT-GO check plug
  // screwing in tells a ring grown beyond its new zone, which the wear check plug decides,
  // unless the ring is being accepted as new.
  if (checks.go == false) return Make(VerdictCode::OutOfTolerance, std::nullopt);
  if (acceptance && checks.not_go == true) return Make(VerdictCode::OutOfTolerance, std::nullopt);
  if (checks.wear == true) return Make(VerdictCode::WornOut, std::nullopt);
  if (checks.go != true) return Make(VerdictCode::Undecided, std::nullopt);
  if (checks.not_go == false) return Make(VerdictCode::New, std::nullopt);
  if (checks.not_go == true && checks.wear == false) return Make(VerdictCode::Worn, std::nullopt);
  return Make(VerdictCode::Undecided, std::nullopt);
}

std::optional<CheckPlugContradiction> ContradictionIn(const CheckPlugResults& checks) {
  // A ring's check plugs grow from GO through NOT-GO to wear: where a larger one screws in,
  // every smaller one does.
  const std::optional<bool> results[3] = {checks.go, checks.not_go, checks.wear};
  for (int larger = 2; larger > 0; --larger) {
    if (results[larger] != true) continue;
    for (int smaller = 0; smaller < larger; ++smaller) {
      if (results[smaller] == false) return CheckPlugContradiction{larger, smaller};
    }
  }
  return std::nullopt;
}

std::optional<WearTrend> FitWearTrend(std::span<const TrendPoint> points,
                                      std::optional<double> wear_limit, WearDirection direction) {
  if (points.size() < 2) return std::nullopt;
  double mean_t = 0, mean_y = 0;
  for (const TrendPoint& p : points) {
    mean_t += p.month;
    mean_y += p.pitch_diameter;
  }
  mean_t /= static_cast<double>(points.size());
  mean_y /= static_cast<double>(points.size());
  double stt = 0, sty = 0;
  for (const TrendPoint& p : points) {
    stt += (p.month - mean_t) * (p.month - mean_t);
    sty += (p.month - mean_t) * (p.pitch_diameter - mean_y);
  }
  if (stt == 0) return std::nullopt;  // all on one day: no time has passed to wear in
  const double slope = sty / stt;     // mm per month
  WearTrend trend{slope * 1000, std::nullopt};
  const bool towards = direction == WearDirection::Down ? slope < 0 : slope > 0;
  if (wear_limit && towards) trend.month_at_limit = mean_t + (*wear_limit - mean_y) / slope;
  return trend;
}

}  // namespace threadgauge
