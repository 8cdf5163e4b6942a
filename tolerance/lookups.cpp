#include "tolerance/lookups.h"

#include "tolerance/cell_number.h"

namespace threadgauge {
namespace {

// "[P] = 1.5" names the pitch "P = 1.5" in failures.
std::string PitchKey(const std::string& pitch_condition) {
  const std::string prefix = "[P] = ";
  return "P = " + (pitch_condition.rfind(prefix, 0) == 0 ? pitch_condition.substr(prefix.size())
                                                         : pitch_condition);
}

Query ByPitch(const std::string& table, const std::string& pitch_condition) {
  return Query{table, "Select * from " + table + " Where" + pitch_condition,
               {},    false,
               "P",   PitchKey(pitch_condition)};
}

Lookup<double> FirstRowNumber(const ToleranceDatabase& db, const Query& query,
                              const std::string& column) {
  const Lookup<RowCells> row = db.QueryFirstRow(query, {column});
  if (!row.ok()) return row.failure();
  return ReadNumber(row.value().front(), query, column);
}

Lookup<std::string> FirstRowText(const ToleranceDatabase& db, const Query& query,
                                 const std::string& column) {
  const Lookup<RowCells> row = db.QueryFirstRow(query, {column});
  if (!row.ok()) return row.failure();
  return ReadText(row.value().front());
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

}  // namespace

Lookup<double> LookupPitchTolerance(const ToleranceDatabase& db, const std::string& length_range) {
  // The range text is bound, never pasted into the SQL: a quote typed into the list is
  // only a range that matches no row.
  const Query query{"螺距公差",
                    "Select * from 螺距公差 Where [螺纹量规螺纹部分长度(mm)] = ?",
                    length_range,
                    true,
                    kPitchToleranceLengthColumn,
                    "“" + length_range + "”"};
  return FirstRowNumber(db, query, "螺距公差TP(mm)");
}

Lookup<std::string> LookupHalfAngleTolerance(const ToleranceDatabase& db,
                                             const std::string& pitch_condition,
                                             HalfAngleProfile profile) {
  const std::string column =
      profile == HalfAngleProfile::Complete ? kCompleteProfileColumn : kTruncatedProfileColumn;
  const Query query = ByPitch("半角公差", pitch_condition);
  Lookup<std::string> text = FirstRowText(db, query, column);
  // The tolerance is shown as stored; an empty cell is a tolerance the table lacks.
  if (text.ok() && text.value().find_first_not_of(" \t\r\n") == std::string::npos) {
    return LookupFailure{LookupFailureKind::EmptyCell, query.table, column, query.key, {}};
  }
  return text;
}

Lookup<double> LookupFundamentalDeviation(const ToleranceDatabase& db,
                                          const std::string& pitch_condition,
                                          const std::string& column) {
  return FirstRowNumber(db, ByPitch("基本偏差", pitch_condition), column);
}

std::optional<LookupFailure> CheckPitchDiameterRowOrder(const ToleranceDatabase& db,
                                                        PitchDiameterTable table,
                                                        const std::string& pitch_condition) {
  return db.CheckRangeOrder(
      ByPitch(table == PitchDiameterTable::Internal ? "内螺纹中径公差" : "外螺纹中径公差",
              pitch_condition),
      "D下限");
}

std::optional<LookupFailure> CheckGaugeToleranceRowOrder(const ToleranceDatabase& db) {
  return db.CheckRangeOrder(Query{"位置要素", "Select * from 位置要素 ", {}, false, {}, {}},
                            "TD2/Td2下限");
}

Lookup<double> LookupPitchDiameterTolerance(const ToleranceDatabase& db, PitchDiameterTable table,
                                            const std::string& pitch_condition, double d,
                                            const std::string& grade) {
  Query query = ByPitch(table == PitchDiameterTable::Internal ? "内螺纹中径公差" : "外螺纹中径公差",
                        pitch_condition);
  query.key += ", d = " + PlainDecimal(d);
  const Lookup<RowCells> row = db.ScanRangeFirstMatch(query, d, "D下限", "D上限", {grade});
  if (!row.ok()) return row.failure();
  return ReadNumber(row.value().front(), query, grade);
}

GaugeToleranceRow LookupGaugeTolerances(const ToleranceDatabase& db, double T) {
  const Query query{"位置要素", "Select * from 位置要素 ",     {}, false,
                    {},         "TD2/Td2 = " + PlainDecimal(T)};
  const std::vector<std::string> columns = {"TPL", "ZPL", "ZR",      "m",
                                            "TCP", "TR",  "WGO环规", "WNG环规"};
  const Lookup<RowCells> row =
      db.ScanRangeFirstMatch(query, T, "TD2/Td2下限", "TD2/Td2上限", columns);
  const auto value = [&](size_t i) -> Lookup<double> {
    if (!row.ok()) return row.failure();
    return ReadNumber(row.value()[i], query, columns[i]);
  };
  return GaugeToleranceRow{value(0), value(1), value(2), value(3),
                           value(4), value(5), value(6), value(7)};
}

Lookup<std::optional<double>> LookupWireDiameter(const ToleranceDatabase& db,
                                                 const std::string& pitch_condition) {
  return StoredDiameter(db, ByPitch("圆柱螺纹塞规", pitch_condition), "do");
}

Lookup<std::optional<double>> LookupBallDiameter(const ToleranceDatabase& db,
                                                 const std::string& pitch_condition) {
  return StoredDiameter(db, ByPitch("测球直径", pitch_condition), "d");
}

}  // namespace threadgauge
