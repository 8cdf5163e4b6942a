#include "calculation/calculate.h"

#include <variant>

#include "calculation/gauge_kind.h"
#include "calculation/gauge_request.h"
#include "calculation/thread_basics.h"
#include "layouts.h"
#include "measuring.h"
#include "result_writer.h"
#include "tolerance/lookups.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {
namespace {

// The fundamental deviation of the kind's column. A position of the other kind of thread
// has no such column; say so in a designer's words rather than "column missing".
Value FundamentalDeviation(const ToleranceDatabase& db, const GaugeKind& kind,
                           const GaugeRequest& request) {
  const bool internal = kind.internal();
  const RequestedClass& thread_class = request.thread_class;
  const std::string column = (internal ? "EI(" : "es(") + thread_class.position_text + ")";
  const Lookup<double> looked = LookupFundamentalDeviation(db, request.P, column);
  if (!looked.ok() && looked.failure().kind == LookupFailureKind::ColumnMissing &&
      thread_class.position && IsInternal(*thread_class.position) != internal) {
    return Value::Missing(
        {WrongThreadKind{std::string(kind.name), thread_class.position_text, column, internal}});
  }
  return ResultWriter::ToValue(looked);
}

// The "位置要素" row for T. Without T no row can be chosen: every value then carries T's
// reasons, so the notice names the missing pitch-diameter tolerance.
GaugeTolerances GaugeTolerancesFor(const ToleranceDatabase& db, const Value& T, ResultWriter& out) {
  if (!T.known()) {
    const Value none = Value::Missing(T.why());
    return {none, none, none, none, none, none, none, none};
  }
  const GaugeToleranceRow row = LookupGaugeTolerances(db, T.number());
  out.AddWarnings(row.warnings);
  const auto value = &ResultWriter::ToValue;
  return {value(row.TPL), value(row.ZPL), value(row.ZR),  value(row.m),
          value(row.TCP), value(row.TR),  value(row.WGO), value(row.WNG)};
}

// The steps every gauge kind takes: layout, half-angle tolerance, the lookups, the five
// values of the kind, and the measuring data.
void RunGaugeKind(const GaugeKind& kind, const GaugeRequest& request, const ToleranceDatabase& db,
                  ResultWriter& out, FormUpdate& update) {
  ApplyLayout(kind.layout, update);
  out.ShowText(OutputField::HalfAngleTolerance,
               LookupHalfAngleTolerance(db, request.P, kind.profile));

  const double d = request.d;
  const double P = request.P;
  const Value deviation = FundamentalDeviation(db, kind, request);
  const Scanned<double> tolerance =
      LookupPitchDiameterTolerance(db, kind.pitch_diameter_table, P, d, request.thread_class.grade);
  // Bounds read by their leading number, and rows stored out of order: the first match is
  // still used, but the user must know.
  out.AddWarnings(tolerance.warnings);
  const Value T = ResultWriter::ToValue(tolerance.value);
  if (deviation.known()) out.result().fundamental_deviation = deviation.number();
  if (T.known()) out.result().pitch_diameter_tolerance = T.number();
  const ThreadValues values{d,         P, BasicPitchDiameter(d, P),      BasicMinorDiameter(d, P),
                            deviation, T, GaugeTolerancesFor(db, T, out)};
  out.result().WGO = values.gauge.WGO;
  out.result().WNG = values.gauge.WNG;

  const GaugeDiameters result = kind.diameters(values);
  out.Show(OutputField::MajorDiameter, result.major_diameter, NumberFormat::Size);
  if (result.major_deviation)
    out.Show(OutputField::MajorDeviation, *result.major_deviation, NumberFormat::Deviation);
  const Value shown_pitch_diameter =
      out.Show(OutputField::PitchDiameter, result.pitch_diameter, NumberFormat::Size);
  out.Show(OutputField::PitchDeviation, result.pitch_deviation, NumberFormat::Deviation);
  out.Show(OutputField::MinorDiameter, result.minor_diameter, NumberFormat::Size);
  if (result.minor_deviation)
    out.Show(OutputField::MinorDeviation, *result.minor_deviation, NumberFormat::Deviation);

  if (kind.layout == Layout::Plug) {
    ComputeThreeWireData(db, P, shown_pitch_diameter, out);
  } else {
    ComputeBallData(db, P, shown_pitch_diameter, out);
  }
}

}  // namespace

CalculationResult Calculate(const GaugeRequest& request, const ToleranceDatabase& db) {
  CalculationResult result;
  result.database = db.path();
  result.database_code_page = db.code_page();
  result.notices = request.reading_notes;

  // An unusable database is told by the first lookup, like any other missing value.
  const ReadScope reading(db);
  ResultWriter out(result);
  // The length list left empty is a choice the user has not made, not a row the table lacks.
  const Value pitch_tolerance =
      request.length_range.empty()
          ? Value::Missing({NoLengthChosen{}})
          : ResultWriter::ToValue(LookupPitchTolerance(db, request.length_range));
  out.Show(OutputField::PitchTolerance, pitch_tolerance, NumberFormat::PitchTolerance);

  // A name that is none of the ten runs nothing further: only the pitch tolerance changes.
  if (request.kind != nullptr) {
    RunGaugeKind(*request.kind, request, db, out, result.update);
  } else {
    out.Add(UnknownGauge{request.gauge_name});
  }
  return result;
}

CalculationResult Calculate(const CalculationInputs& inputs, const ToleranceDatabase& db) {
  auto built = BuildRequest(inputs);
  if (const auto* rejection = std::get_if<Rejection>(&built)) {
    CalculationResult result;
    result.database = db.path();
    result.database_code_page = db.code_page();
    result.rejection = *rejection;
    return result;
  }
  return Calculate(std::get<GaugeRequest>(built), db);
}

CalculationResult Calculate(const CalculationInputs& inputs,
                            const std::filesystem::path& database) {
  return Calculate(inputs, ToleranceDatabase::Open(database));
}

}  // namespace threadgauge
