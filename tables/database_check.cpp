#include "tables/database_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/number_text.h"
#include "tolerance/range_bounds.h"
#include "tolerance/schema.h"
#include "tolerance/table_names.h"
#include "tolerance/thread_class.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

class Reporter {
 public:
  explicit Reporter(CheckReport& report) : report_(report) {}
  void Fault(const Message& line) {
    report_.lines.push_back("✗ " + Say(line));
    report_.complete = false;
  }
  void Fine(const Message& line) { report_.lines.push_back("✓ " + Say(line)); }
  void Note(const Message& line) { report_.lines.push_back("  " + Say(line)); }
  void Mark(const std::string& table, size_t row, std::optional<std::string> column,
            const Message& reason) {
    report_.marks.push_back({table, row, std::move(column), Say(reason)});
  }
  void Missing(const std::string& table, const Message& text) {
    report_.missing.push_back({table, Say(text)});
  }

 private:
  CheckReport& report_;
};

Message Listed(std::vector<std::string> items) { return {MessageCode::ListOf, std::move(items)}; }
Message QuotedListed(std::vector<std::string> items) {
  return {MessageCode::QuotedListOf, std::move(items)};
}

// The measuring wires and balls: without a row the best size is used, so an empty table
// leaves no calculation without a value.
bool IsOptional(const std::string& table) {
  return std::find(names::kOptionalTables.begin(), names::kOptionalTables.end(), table) !=
         names::kOptionalTables.end();
}
std::string Counted(size_t row) { return std::to_string(row + 1); }

const TableData* Find(const std::vector<TableData>& tables, const std::string& name) {
  const auto at = std::find_if(tables.begin(), tables.end(),
                               [&](const TableData& t) { return t.name == name; });
  return at == tables.end() ? nullptr : &*at;
}

std::optional<size_t> ColumnOf(const TableData& table, const std::string& column) {
  const auto at = std::find(table.columns.begin(), table.columns.end(), column);
  if (at == table.columns.end()) return std::nullopt;
  return static_cast<size_t>(at - table.columns.begin());
}

const std::optional<std::string>& CellAt(const TableData& table, size_t row, size_t column) {
  static const std::optional<std::string> none;
  return column < table.rows[row].size() ? table.rows[row][column] : none;
}

std::optional<double> NumberAt(const TableData& table, size_t row, std::optional<size_t> column) {
  if (!column || !CellAt(table, row, *column)) return std::nullopt;
  return ParseStoredNumber(*CellAt(table, row, *column));
}

// A range's bound as the lookups read it.
double BoundAt(const TableData& table, size_t row, size_t column) {
  return ReadBound(CellAt(table, row, column)).value;
}

// Columns whose empty cells mean "the standard gives no value here", not a fault.
bool MayBeEmpty(const std::string& table, const std::string& column) {
  if (table == names::kFundamentalDeviationTable) return column != names::kPitchColumn;
  if (table == names::kInternalPitchDiameterTable || table == names::kExternalPitchDiameterTable) {
    return column != names::kPitchColumn && column != names::kDiameterLower &&
           column != names::kDiameterUpper;
  }
  return false;
}

bool IsBoundColumn(const std::string& column) {
  return column == names::kDiameterLower || column == names::kDiameterUpper ||
         column == names::kToleranceLower || column == names::kToleranceUpper;
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void CheckCells(const TableData& table, const SchemaTable& schema, Reporter& out) {
  for (size_t c = 0; c < schema.columns.size(); ++c) {
    const auto column = ColumnOf(table, schema.columns[c]);
    if (!column || !schema.numeric[c]) continue;
    const std::string& name = schema.columns[c];
    const bool bound = IsBoundColumn(name);
    const bool may_be_empty = MayBeEmpty(table.name, name);
    std::vector<std::string> not_numbers;
    size_t empty = 0;
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const auto& cell = CellAt(table, r, *column);
      if (!cell || IsBlank(*cell) || (bound && IsOpenBound(*cell))) {
        ++empty;
        if (!bound && !may_be_empty)
          out.Mark(table.name, r, name, {MessageCode::CheckMustBeNumber});
      } else if (!ParseStoredNumber(*cell)) {
        not_numbers.push_back(Say({MessageCode::CheckRowCell, {Counted(r), *cell}}));
        out.Mark(table.name, r, name, {MessageCode::CheckNotNumber, {*cell}});
      }
    }
    if (!not_numbers.empty()) {
      out.Fault({MessageCode::CheckNotNumbers, {table.name, name}, {Listed(not_numbers)}});
    }
    if (empty > 0) {
      const std::vector<std::string> counted = {table.name, name, std::to_string(empty)};
      if (bound) {
        // "above — up to 50": an open bound is 0, as the lookups read it.
        out.Note({MessageCode::CheckEmptyBounds, counted});
      } else if (may_be_empty) {
        out.Note({MessageCode::CheckEmptyNoValue, counted});
      } else {
        out.Fault({MessageCode::CheckEmptyCells, counted});
      }
    }
  }
}

struct RowRange {
  size_t row;
  Range range;
};

// Ranges in stored order must ascend and join without gaps or overlaps.
void CheckRanges(const std::string& table, const std::string& group,
                 const std::vector<RowRange>& ranges, Reporter& out) {
  const Message where = group.empty() ? Message{MessageCode::CheckWhereTable, {table}}
                                      : Message{MessageCode::CheckWhereGroup, {table, group}};
  for (size_t i = 0; i < ranges.size(); ++i) {
    const RowRange& r = ranges[i];
    const std::string row = Counted(r.row);
    if (r.range.lower > r.range.upper) {
      out.Fault({MessageCode::CheckLowerAboveUpper, {row}, {where}});
      out.Mark(table, r.row, std::nullopt, {MessageCode::CheckMarkLowerAboveUpper});
    }
    if (i == 0) continue;
    const Range& p = ranges[i - 1].range;
    switch (JoinOf(p, r.range)) {
      case RangeJoin::Descending:
        out.Fault({MessageCode::CheckDescending,
                   {row, PlainDecimal(r.range.lower), PlainDecimal(p.lower)},
                   {where}});
        out.Mark(table, r.row, std::nullopt, {MessageCode::CheckMarkDescending});
        break;
      case RangeJoin::Gap:
        out.Fault(
            {MessageCode::CheckGap, {PlainDecimal(p.upper), PlainDecimal(r.range.lower)}, {where}});
        out.Mark(table, r.row, std::nullopt,
                 {MessageCode::CheckMarkGap, {PlainDecimal(p.upper), PlainDecimal(r.range.lower)}});
        break;
      case RangeJoin::Overlap:
        out.Fault({MessageCode::CheckOverlap,
                   {row, PlainDecimal(r.range.lower), PlainDecimal(p.upper)},
                   {where}});
        out.Mark(table, r.row, std::nullopt, {MessageCode::CheckMarkOverlap});
        break;
      case RangeJoin::Joined:
        break;
    }
  }
}

void CheckPitchDiameterRanges(const TableData& table, Reporter& out) {
  const auto P = ColumnOf(table, names::kPitchColumn), L = ColumnOf(table, names::kDiameterLower),
             U = ColumnOf(table, names::kDiameterUpper);
  if (!P || !L || !U) return;
  std::map<double, std::vector<RowRange>> by_pitch;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    if (const auto p = NumberAt(table, r, P)) {
      by_pitch[*p].push_back({r, {BoundAt(table, r, *L), BoundAt(table, r, *U)}});
    }
  }
  for (const auto& [pitch, ranges] : by_pitch) {
    CheckRanges(table.name, "P = " + PlainDecimal(pitch), ranges, out);
  }
}

std::vector<RowRange> GaugeRanges(const TableData& table) {
  std::vector<RowRange> ranges;
  const auto L = ColumnOf(table, names::kToleranceLower),
             U = ColumnOf(table, names::kToleranceUpper);
  if (!L || !U) return ranges;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    ranges.push_back({r, {BoundAt(table, r, *L), BoundAt(table, r, *U)}});
  }
  return ranges;
}

// Every tabulated TD2/Td2 must find its gauge tolerances.
void CheckGaugeCoverage(const std::vector<TableData>& tables, Reporter& out) {
  const TableData* gauge = Find(tables, names::kGaugeTable);
  const std::vector<RowRange> ranges = gauge ? GaugeRanges(*gauge) : std::vector<RowRange>();
  std::set<double> uncovered;
  for (const bool internal : {true, false}) {
    const TableData* table = Find(
        tables, internal ? names::kInternalPitchDiameterTable : names::kExternalPitchDiameterTable);
    if (table == nullptr) continue;
    for (const std::string grade : GradesOf(internal)) {
      const auto column = ColumnOf(*table, grade);
      for (size_t r = 0; column && r < table->rows.size(); ++r) {
        const auto T = NumberAt(*table, r, column);
        if (!T) continue;
        const bool held = std::any_of(ranges.begin(), ranges.end(), [&](const RowRange& row) {
          return *T >= row.range.lower && *T <= row.range.upper;
        });
        if (!held) uncovered.insert(*T);
      }
    }
  }
  if (uncovered.empty()) {
    out.Fine({MessageCode::CheckGaugeCovered});
    return;
  }
  std::vector<std::string> values;
  for (double T : uncovered) values.push_back(PlainDecimal(T));
  out.Fault({MessageCode::CheckGaugeUncovered, {}, {Listed(values)}});
  out.Missing(names::kGaugeTable, {MessageCode::CheckMissingUncovered, {}, {Listed(values)}});
}

void CheckPitchRows(const std::vector<TableData>& tables, const CheckKeys& keys, Reporter& out) {
  for (const char* name : {names::kHalfAngleTable, names::kFundamentalDeviationTable,
                           names::kWireTable, names::kBallTable}) {
    const TableData* table = Find(tables, name);
    if (table == nullptr) continue;
    const auto P = ColumnOf(*table, names::kPitchColumn);
    if (!P) continue;
    std::vector<std::string> missing;
    for (const std::string& pitch : keys.pitches) {
      const double wanted = ReadLeadingNumber(pitch);
      bool found = false;
      for (size_t r = 0; r < table->rows.size() && !found; ++r) {
        found = NumberAt(*table, r, P) == wanted;
      }
      if (!found) missing.push_back(pitch);
    }
    if (missing.empty()) {
      out.Fine({MessageCode::CheckPitchRowsComplete, {name}});
    } else if (IsOptional(name)) {
      if (table->rows.empty()) continue;  // said once, with the row count
      out.Note({MessageCode::CheckPitchRowsMissingOptional, {name}, {Listed(missing)}});
      out.Missing(name, {MessageCode::CheckMissingPitchRowsOptional, {}, {Listed(missing)}});
    } else {
      out.Fault({MessageCode::CheckPitchRowsMissing, {name}, {Listed(missing)}});
      out.Missing(name, {MessageCode::CheckMissingPitchRows, {}, {Listed(missing)}});
    }
  }
}

void CheckLengthRanges(const std::vector<TableData>& tables, const CheckKeys& keys, Reporter& out) {
  const TableData* table = Find(tables, names::kPitchToleranceTable);
  if (table == nullptr) return;
  const auto column = ColumnOf(*table, names::kLengthColumn);
  if (!column) return;
  std::vector<std::string> missing;
  for (const std::string& range : keys.length_ranges) {
    const bool found = std::any_of(table->rows.begin(), table->rows.end(), [&](const auto& row) {
      return *column < row.size() && row[*column] == range;
    });
    if (!found) missing.push_back(range);
  }
  if (!missing.empty()) {
    out.Fault({MessageCode::CheckLengthRowsMissing, {}, {QuotedListed(missing)}});
    out.Missing(names::kPitchToleranceTable,
                {MessageCode::CheckMissingLengthRows, {}, {QuotedListed(missing)}});
  }
}

}  // namespace

CheckReport CheckDatabase(const std::vector<TableData>& tables, const CheckKeys& keys) {
  CheckReport report;
  Reporter out(report);
  for (const SchemaTable& schema : ProductSchema()) {
    const TableData* table = Find(tables, schema.name);
    if (table == nullptr) {
      out.Fault({MessageCode::CheckTableMissing, {schema.name}});
      continue;
    }
    std::vector<std::string> missing;
    for (const std::string& column : schema.columns) {
      if (!ColumnOf(*table, column)) missing.push_back(column);
    }
    if (!missing.empty()) {
      out.Fault({MessageCode::CheckColumnsMissing, {schema.name}, {QuotedListed(missing)}});
    }
    if (table->rows.empty() && IsOptional(schema.name)) {
      out.Note({MessageCode::CheckNoRowsOptional, {schema.name}});
      out.Missing(schema.name, {MessageCode::CheckMissingNoRowsOptional});
    } else if (table->rows.empty()) {
      out.Fault({MessageCode::CheckNoRows, {schema.name}});
      out.Missing(schema.name, {MessageCode::CheckMissingNoRows});
    } else {
      out.Fine({MessageCode::CheckRows, {schema.name, std::to_string(table->rows.size())}});
    }
    CheckCells(*table, schema, out);
    if (schema.name == names::kInternalPitchDiameterTable ||
        schema.name == names::kExternalPitchDiameterTable) {
      CheckPitchDiameterRanges(*table, out);
    }
    if (schema.name == names::kGaugeTable) CheckRanges(schema.name, "", GaugeRanges(*table), out);
  }
  CheckGaugeCoverage(tables, out);
  CheckPitchRows(tables, keys, out);
  CheckLengthRanges(tables, keys, out);
  return report;
}

}  // namespace threadgauge
