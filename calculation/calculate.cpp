#include "calculation/calculate.h"

#include <variant>

#include "calculation/gauge_kind.h"
#include "calculation/gauge_request.h"
#include "calculation/layouts.h"
#include "calculation/measuring.h"
#include "calculation/result_writer.h"
#include "calculation/thread_basics.h"
#include "tolerance/lookups.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {
namespace {

bool IsInternalPosition(const std::string& p) { return p == "G" || p == "H"; }
bool IsExternalPosition(const std::string& p) {
  return p == "e" || p == "f" || p == "g" || p == "h";
}

// The fundamental deviation of the kind's column. A position of the other kind of thread
// has no such column; say so in a designer's words rather than "column missing".
Value FundamentalDeviation(const ToleranceDatabase& db, const GaugeKind& kind,
                           const GaugeRequest& request, const std::string& pitch_condition,
                           ResultWriter& out) {
  const bool internal = kind.deviation == Deviation::EI;
  const std::string column = (internal ? "EI(" : "es(") + request.position + ")";
  const Lookup<double> looked = LookupFundamentalDeviation(db, pitch_condition, column);
  if (!looked.ok() && looked.failure().kind == LookupFailureKind::ColumnMissing &&
      (internal ? IsExternalPosition(request.position) : IsInternalPosition(request.position))) {
    return Value::Missing({Notice{NoticeKind::WrongThreadKind, looked.failure().table, column,
                                  std::string(kind.name), request.position}});
  }
  return out.ToValue(looked);
}

// The "位置要素" row for T. Without T no row can be chosen: every value then carries T's
// reasons, so the notice names the missing pitch-diameter tolerance.
GaugeTolerances GaugeTolerancesFor(const ToleranceDatabase& db, const Value& T,
                                   const ResultWriter& out) {
  if (!T.known()) {
    const Value none = Value::Missing(T.why());
    return {none, none, none, none, none, none, none, none};
  }
  const GaugeToleranceRow row = LookupGaugeTolerances(db, T.number());
  return {out.ToValue(row.TPL), out.ToValue(row.ZPL), out.ToValue(row.ZR),  out.ToValue(row.m),
          out.ToValue(row.TCP), out.ToValue(row.TR),  out.ToValue(row.WGO), out.ToValue(row.WNG)};
}

// The steps every gauge kind takes: layout, half-angle tolerance, the lookups, the five
// values of the kind, and the measuring data.
void RunGaugeKind(const GaugeKind& kind, const GaugeRequest& request,
                  const std::string& pitch_condition, const ToleranceDatabase& db,
                  ResultWriter& out, FormUpdate& update) {
  ApplyLayout(kind.layout, update);
  out.ShowText(OutputField::Text27, LookupHalfAngleTolerance(db, pitch_condition, kind.profile));

  const double d = request.d;
  const double P = request.P;
  const Value deviation = FundamentalDeviation(db, kind, request, pitch_condition, out);
  const Value T = out.ToValue(LookupPitchDiameterTolerance(db, kind.pitch_diameter_table,
                                                           pitch_condition, d, request.grade));
  // Rows stored out of order still give the first match, but the user must know.
  for (const auto& disorder :
       {CheckPitchDiameterRowOrder(db, kind.pitch_diameter_table, pitch_condition),
        CheckGaugeToleranceRowOrder(db)}) {
    if (disorder) out.Add(out.ToNotice(*disorder));
  }
  const ThreadValues values{d,         P, BasicPitchDiameter(d, P),      BasicMinorDiameter(d, P),
                            deviation, T, GaugeTolerancesFor(db, T, out)};

  const GaugeDiameters result = kind.diameters(values);
  out.Show(OutputField::Text2, result.Text2, NumberFormat::Size);
  if (result.Text3) out.Show(OutputField::Text3, *result.Text3, NumberFormat::Deviation);
  const Value shown_pitch_diameter = out.Show(OutputField::Text4, result.Text4, NumberFormat::Size);
  out.Show(OutputField::Text5, result.Text5, NumberFormat::Deviation);
  out.Show(OutputField::Text6, result.Text6, NumberFormat::Size);
  if (result.Text18) out.Show(OutputField::Text18, *result.Text18, NumberFormat::Deviation);

  if (kind.layout == Layout::Plug) {
    ComputeThreeWireData(db, P, pitch_condition, shown_pitch_diameter, out);
  } else {
    ComputeBallData(db, P, pitch_condition, shown_pitch_diameter, out);
  }
}

}  // namespace

CalculationResult Calculate(const FormInputs& inputs, const std::filesystem::path& database) {
  CalculationResult result;
  result.database = database;
  const auto built = BuildRequest(inputs);
  if (const auto* rejection = std::get_if<Rejection>(&built)) {
    result.rejection = rejection->message;
    return result;
  }
  const GaugeRequest& request = std::get<GaugeRequest>(built);
  const std::string pitch_condition = PitchCondition(request.P);

  ResultWriter out(result);
  const ToleranceDatabase db = ToleranceDatabase::Open(database);
  if (!db.is_open()) {
    out.Add(Notice{NoticeKind::DatabaseUnavailable,
                   {},
                   {},
                   reinterpret_cast<const char*>(database.u8string().c_str()),
                   std::string(OpenStatusName(db.status()))});
  }
  out.Show(OutputField::Text28, out.ToValue(LookupPitchTolerance(db, request.lengthRange)),
           NumberFormat::PitchTolerance);

  // A name that is none of the ten runs nothing further: only Text28 changes.
  if (const GaugeKind* kind = FindGaugeKind(request.gaugeName)) {
    RunGaugeKind(*kind, request, pitch_condition, db, out, result.update);
  } else {
    out.Add(Notice{NoticeKind::UnknownGauge, {}, {}, request.gaugeName, {}});
  }
  return result;
}

}  // namespace threadgauge
