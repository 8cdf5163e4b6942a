#include "calculation/gauge_set.h"

#include "calculation/gauge_kind.h"
#include "calculation/thread_basics.h"
#include "platform/number_text.h"

namespace threadgauge {
namespace {

std::string OrDash(const std::string& text) { return text.empty() ? "—" : text; }

std::string WithDeviation(const std::string& size, const std::string& deviation) {
  if (size.empty() && deviation.empty()) return "";
  return OrDash(size) + " ± " + OrDash(deviation);
}

// The three diameters as the window's layout shows them after this gauge.
void DescribeRow(GaugeSetRow& row) {
  const FormState& s = row.shown;
  const auto field = [&](OutputField f) { return s.Field(f); };
  const std::string major = field(OutputField::MajorDiameter);
  if (s.Visible(Switchable::MajorPlusMinus) && s.Visible(Switchable::MajorDeviation)) {
    row.major = WithDeviation(major, field(OutputField::MajorDeviation));
  } else {
    row.major = major.empty() ? "" : (s.Visible(Switchable::MajorAtLeast) ? "≥ " : "") + major;
  }
  row.pitch = WithDeviation(field(OutputField::PitchDiameter), field(OutputField::PitchDeviation));
  const std::string minor = field(OutputField::MinorDiameter);
  if (s.Visible(Switchable::MinorPlusMinus) && s.Visible(Switchable::MinorDeviation)) {
    row.minor = WithDeviation(minor, field(OutputField::MinorDeviation));
  } else {
    row.minor = minor.empty() ? "" : (s.Visible(Switchable::MinorAtMost) ? "≤ " : "") + minor;
  }
  row.half_angle = field(OutputField::HalfAngleTolerance);
  row.pitch_tolerance = field(OutputField::PitchTolerance);
  row.element = field(OutputField::WireOrBall);
  row.measurement = field(OutputField::Measurement);
}

const GaugeSetRow* RowOf(const GaugeSet& set, const GaugeKind* kind) {
  for (const GaugeSetRow& row : set.rows) {
    if (row.kind == kind) return &row;
  }
  return nullptr;
}

void DrawZones(GaugeSet& set, double d, double P) {
  ZoneDiagram& z = set.diagram;
  z.d2 = BasicPitchDiameter(d, P);
  const auto from_d2 = [&](std::optional<double> mm) -> std::optional<double> {
    if (!mm) return std::nullopt;
    return (*mm - z.d2) * 1000;
  };
  for (const GaugeSetRow& row : set.rows) {
    const auto& r = row.result;
    if (!z.thread.lower && r.fundamental_deviation && r.pitch_diameter_tolerance) {
      const double deviation = *r.fundamental_deviation, T = *r.pitch_diameter_tolerance;
      z.thread = z.internal ? Zone{deviation, deviation + T} : Zone{deviation - T, deviation};
    }
    ZoneDiagram::GaugeZone gauge{row.gauge, {}, std::nullopt, false};
    const auto center = row.shown.Number(OutputField::PitchDiameter);
    const auto half = row.shown.Number(OutputField::PitchDeviation);
    if (center && half) gauge.zone = {from_d2(*center - *half), from_d2(*center + *half)};
    // A ring's wear limit is the pitch diameter of its wear check plug; the tables give no
    // wear limit for the thread plugs, and the check plugs have none.
    if (const GaugeKind* wear_plug = row.kind->check_plugs.wear) {
      gauge.wear_known = true;
      if (const GaugeSetRow* plug = RowOf(set, wear_plug)) {
        gauge.wear = from_d2(plug->shown.Number(OutputField::PitchDiameter));
      }
    }
    z.gauges.push_back(std::move(gauge));
  }
}

}  // namespace

std::variant<GaugeSet, Rejection> CalculateGaugeSet(const GaugeRequest& thread,
                                                    const std::string& designation,
                                                    const ToleranceDatabase& db) {
  const std::optional<Position> position = thread.thread_class.position;
  if (!position) {
    return Rejection::PositionUnknown;
  }
  const bool internal = IsInternal(*position);
  GaugeSet set;
  set.designation = designation;
  set.length_range = thread.length_range;
  set.diagram.internal = internal;
  set.notices = thread.reading_notes;
  for (const GaugeKind* kind : GaugeKinds()) {
    if (kind->internal() != internal) continue;
    GaugeRequest one = thread;
    one.kind = kind;
    one.gauge_name = std::string(kind->name);
    one.reading_notes.clear();
    GaugeSetRow row;
    row.kind = kind;
    row.gauge = one.gauge_name;
    row.result = Calculate(one, db);
    row.shown.Apply(row.result.update);
    DescribeRow(row);
    AddNotices(set.notices, row.result.notices);
    set.database = row.result.database;
    set.database_code_page = row.result.database_code_page;
    set.rows.push_back(std::move(row));
  }
  DrawZones(set, thread.d, thread.P);
  return set;
}

std::variant<GaugeSet, Rejection> CalculateGaugeSet(const CalculationInputs& inputs,
                                                    const ToleranceDatabase& db) {
  auto built = BuildThreadRequest(inputs);
  if (const auto* rejection = std::get_if<Rejection>(&built)) return *rejection;
  const GaugeRequest& thread = std::get<GaugeRequest>(built);
  return CalculateGaugeSet(thread, DesignationOf(thread), db);
}

}  // namespace threadgauge
