#include "tolerance/lookups.h"

#include <cmath>

#include "platform/number_text.h"
#include "tolerance/table_names.h"

namespace threadgauge {
namespace {

// P as the SELECT compares it: the decimal text "1.5" or "2" read by the engine, that is an
// integer when P is whole and a real otherwise, so that a pitch stored as text ('2', '1.5')
// matches exactly as the written condition "[P] = 2" would.
Parameter PitchParameter(double P) {
  if (std::isfinite(P) && P == std::trunc(P) && std::fabs(P) < 9e15) {
    return static_cast<std::int64_t>(P);
  }
  return P;
}

Query ByPitch(const std::string& table, double P) {
  Query query;
  query.table = table;
  query.sql = "Select * from " + table + " Where[P] = ?";
  query.params.push_back(PitchParameter(P));
  query.key_column = names::kPitchColumn;
  query.key = "P = " + PlainDecimal(P);
  query.rows_key = query.key;
  return query;
}

const char* PitchDiameterTableName(PitchDiameterTable table) {
  return table == PitchDiameterTable::Internal ? names::kInternalPitchDiameterTable
                                               : names::kExternalPitchDiameterTable;
}

Lookup<double> FirstRowNumber(const ToleranceDatabase& db, const Query& query,
                              const std::string& column) {
  const Lookup<RowCells> row = db.QueryFirstRow(query, {column});
  if (!row.ok()) return row.failure();
  return ReadNumber(row.value().front(), query, column);
}

// A diameter stored as text that may be empty. Text that is not a number fails: it is a
// stored size that could not be read, not a missing one.
Lookup<std::optional<double>> StoredDiameter(const ToleranceDatabase& db, const Query& query,
                                             const std::string& column) {
  const Lookup<RowCells> row = db.QueryFirstRow(query, {column});
  if (!row.ok()) {
    if (row.failure().kind == LookupFailureKind::NoRow) return std::optional<double>();
    return row.failure();
  }
  const Lookup<double> number = ReadNumber(row.value().front(), query, column);
  if (number.ok()) return std::optional<double>(number.value());
  if (number.failure().kind == LookupFailureKind::EmptyCell) return std::optional<double>();
  return number.failure();
}

// Each lookup's own number in the answers a database keeps.
enum MemoLookup : int {
  kPitchTolerance,
  kHalfAngle,
  kFundamentalDeviation,
  kInternalPitchDiameter,
  kExternalPitchDiameter,
  kGaugeTolerances,
  kWire,
  kBall,
};

}  // namespace

bool MayKeep(const GaugeToleranceRow& row) {
  return MayKeep(row.TPL) && MayKeep(row.ZPL) && MayKeep(row.ZR) && MayKeep(row.m) &&
         MayKeep(row.TCP) && MayKeep(row.TR) && MayKeep(row.WGO) && MayKeep(row.WNG);
}

Lookup<double> LookupPitchTolerance(const ToleranceDatabase& db, const std::string& length_range) {
  return db.Memo<Lookup<double>>(kPitchTolerance, 0, 0, length_range, [&]() -> Lookup<double> {
    // The range text is bound, never pasted into the SQL: a quote typed into the list is
    // only a range that matches no row.
    const Query query{names::kPitchToleranceTable,
                      std::string("Select * from ") + names::kPitchToleranceTable + " Where [" +
                          names::kLengthColumn + "] = ?",
                      {length_range},
                      names::kLengthColumn,
                      "“" + length_range + "”"};
    return FirstRowNumber(db, query, names::kPitchToleranceColumn);
  });
}

Lookup<std::string> LookupHalfAngleTolerance(const ToleranceDatabase& db, double P,
                                             HalfAngleProfile profile) {
  const double which = profile == HalfAngleProfile::Complete ? 0 : 1;
  return db.Memo<Lookup<std::string>>(kHalfAngle, P, which, {}, [&]() -> Lookup<std::string> {
    const std::string column = profile == HalfAngleProfile::Complete
                                   ? names::kCompleteProfileColumn
                                   : names::kTruncatedProfileColumn;
    const Query query = ByPitch(names::kHalfAngleTable, P);
    const Lookup<RowCells> row = db.QueryFirstRow(query, {column});
    if (!row.ok()) return row.failure();
    Lookup<std::string> text = ReadText(row.value().front());
    // The tolerance is shown as stored; an empty cell is a tolerance the table lacks.
    if (text.ok() && text.value().find_first_not_of(" \t\r\n") == std::string::npos) {
      return LookupFailure{LookupFailureKind::EmptyCell, query.table, column, query.key};
    }
    return text;
  });
}

Lookup<double> LookupFundamentalDeviation(const ToleranceDatabase& db, double P,
                                          const std::string& column) {
  return db.Memo<Lookup<double>>(kFundamentalDeviation, P, 0, column, [&] {
    return FirstRowNumber(db, ByPitch(names::kFundamentalDeviationTable, P), column);
  });
}

Scanned<double> LookupPitchDiameterTolerance(const ToleranceDatabase& db, PitchDiameterTable table,
                                             double P, double d, const std::string& grade) {
  const int lookup =
      table == PitchDiameterTable::Internal ? kInternalPitchDiameter : kExternalPitchDiameter;
  return db.Memo<Scanned<double>>(lookup, P, d, grade, [&]() -> Scanned<double> {
    Query query = ByPitch(PitchDiameterTableName(table), P);
    query.key += ", d = " + PlainDecimal(d);
    Scanned<RowCells> row =
        db.ScanRangeFirstMatch(query, d, names::kDiameterLower, names::kDiameterUpper, {grade});
    if (!row.value.ok()) return {row.value.failure(), std::move(row.warnings)};
    return {ReadNumber(row.value.value().front(), query, grade), std::move(row.warnings)};
  });
}

GaugeToleranceRow LookupGaugeTolerances(const ToleranceDatabase& db, double T) {
  return db.Memo<GaugeToleranceRow>(kGaugeTolerances, T, 0, {}, [&] {
    const Query query{names::kGaugeTable,
                      std::string("Select * from ") + names::kGaugeTable + " ",
                      {},
                      {},
                      "TD2/Td2 = " + PlainDecimal(T)};
    const std::vector<std::string> columns(names::kGaugeColumns.begin(),
                                           names::kGaugeColumns.end());
    Scanned<RowCells> row =
        db.ScanRangeFirstMatch(query, T, names::kToleranceLower, names::kToleranceUpper, columns);
    const auto value = [&](size_t i) -> Lookup<double> {
      if (!row.value.ok()) return row.value.failure();
      return ReadNumber(row.value.value()[i], query, columns[i]);
    };
    return GaugeToleranceRow{value(0), value(1), value(2),
                             value(3), value(4), value(5),
                             value(6), value(7), std::move(row.warnings)};
  });
}

Lookup<std::optional<double>> LookupWireDiameter(const ToleranceDatabase& db, double P) {
  return db.Memo<Lookup<std::optional<double>>>(kWire, P, 0, {}, [&] {
    return StoredDiameter(db, ByPitch(names::kWireTable, P), names::kWireColumn);
  });
}

Lookup<std::optional<double>> LookupBallDiameter(const ToleranceDatabase& db, double P) {
  return db.Memo<Lookup<std::optional<double>>>(kBall, P, 0, {}, [&] {
    return StoredDiameter(db, ByPitch(names::kBallTable, P), names::kBallColumn);
  });
}

}  // namespace threadgauge
