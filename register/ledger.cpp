#include "register/ledger.h"

#include <algorithm>
#include <map>

#include "platform/csv_field.h"
#include "platform/csv_reading.h"
#include "register/inspection.h"
#include "spreadsheet_text.h"
#include "words/calculation_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

enum class Column {
  Number,
  Thread,
  Kind,
  Length,
  Maker,
  Serial,
  Since,
  Interval,
  Department,
  Keeper,
  State,
  Notes,
  LastRecord,
  NextDue,
  LastVerdict
};

struct Heading {
  Column column;
  std::vector<std::string_view> names;  // the first is written on export
};
const std::vector<Heading>& Headings() {
  static const std::vector<Heading> headings = {
      {Column::Number, {"编号", "量规编号"}},
      {Column::Thread, {"螺纹", "螺纹标记", "螺纹代号"}},
      {Column::Kind, {"量规", "量规名称", "量规种类"}},
      {Column::Length, {"螺纹部分长度", "长度", "螺纹长度"}},
      {Column::Maker, {"制造厂", "制造商", "生产厂"}},
      {Column::Serial, {"出厂编号"}},
      {Column::Since, {"启用日期"}},
      {Column::Interval, {"检定周期(月)", "检定周期", "周期(月)"}},
      {Column::Department, {"使用部门", "部门"}},
      {Column::Keeper, {"保管人"}},
      {Column::State, {"状态"}},
      {Column::Notes, {"备注"}},
      {Column::LastRecord, {"上次检定"}},
      {Column::NextDue, {"下次检定"}},
      {Column::LastVerdict, {"上次结论"}},
  };
  return headings;
}

std::optional<Column> ColumnOf(const std::string& heading) {
  const std::string key = HeadingKey(heading);
  for (const Heading& h : Headings()) {
    for (std::string_view name : h.names) {
      if (key == HeadingKey(std::string(name))) return h.column;
    }
  }
  return std::nullopt;
}

constexpr std::pair<const char*, Column> kFields[] = {{"number", Column::Number},
                                                      {"thread", Column::Thread},
                                                      {"kind", Column::Kind},
                                                      {"length", Column::Length},
                                                      {"maker", Column::Maker},
                                                      {"serial", Column::Serial},
                                                      {"since", Column::Since},
                                                      {"interval_months", Column::Interval},
                                                      {"department", Column::Department},
                                                      {"keeper", Column::Keeper},
                                                      {"state", Column::State},
                                                      {"notes", Column::Notes}};

std::optional<int> ReadInterval(const std::string& text) {
  if (text.empty()) return 12;
  int months = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || months > 1000) return std::nullopt;
    months = months * 10 + (c - '0');
  }
  return months;
}

}  // namespace

std::string FieldHeading(const std::string& field) {
  for (const auto& [name, column] : kFields) {
    if (field != name) continue;
    for (const Heading& h : Headings()) {
      if (h.column == column) return std::string(h.names.front());
    }
  }
  return field;
}

std::vector<LedgerRow> LedgerRows(const GaugeRegister& register_file) {
  std::vector<LedgerRow> rows;
  register_file.ForEachGauge([&](GaugeEntry& gauge, const std::vector<RecordFacts>& facts) {
    GaugeStanding standing = StandingOf(gauge, facts);
    const auto code = VerdictOfKey(standing.last_verdict);
    rows.push_back({std::move(gauge), std::move(standing.last_record), standing.due,
                    code ? VerdictText(*code) : ""});
  });
  return rows;
}

bool DueWithin(const LedgerRow& row, const Day& on, long days) {
  if (row.gauge.state != kInUse) return false;
  return row.due.now || (row.due.day && DaysBetween(on, *row.due.day) <= days);
}

std::string DueText(const GaugeDue& due, const Day& on) {
  std::string text = due.day ? DayText(*due.day) : "—";
  if (due.day) {
    const long days = DaysBetween(on, *due.day);
    if (days < 0) text += Say({MessageCode::DueOverdue, {std::to_string(-days)}});
  }
  const std::string reason = DueReasonText(due);
  if (!reason.empty() && due.reason != DueReason::WearForecast) text += "  " + reason;
  if (due.reason == DueReason::WearForecast) text += "（" + reason + "）";
  return text;
}

std::vector<std::string> LedgerColumns() {
  std::vector<std::string> columns;
  for (const Heading& h : Headings()) columns.emplace_back(h.names.front());
  return columns;
}

std::string LedgerCsv(const std::vector<LedgerRow>& rows) {
  std::vector<std::vector<std::string>> lines = {LedgerColumns()};
  for (const LedgerRow& row : rows) {
    const GaugeEntry& g = row.gauge;
    lines.push_back({g.number, g.thread, g.kind, g.length, g.maker, g.serial, g.since,
                     std::to_string(g.interval_months), g.department, g.keeper, g.state, g.notes,
                     row.last_record.value_or(""), row.due.day ? DayText(*row.due.day) : "",
                     row.last_verdict});
  }
  return SpreadsheetCsv(lines);
}

namespace {

// One cell of a row into its field of the gauge; what cannot be taken, in words.
std::optional<Message> TakeField(GaugeEntry& gauge, Column column, const std::string& field) {
  switch (column) {
    case Column::Number:
      gauge.number = field;
      break;
    case Column::Thread:
      gauge.thread = field;
      break;
    case Column::Kind:
      gauge.kind = field;
      break;
    case Column::Length:
      gauge.length = field;
      break;
    case Column::Maker:
      gauge.maker = field;
      break;
    case Column::Serial:
      gauge.serial = field;
      break;
    case Column::Since:
      gauge.since = field;
      break;
    case Column::Interval:
      if (auto months = ReadInterval(field)) {
        gauge.interval_months = *months;
      } else {
        return Message{MessageCode::IntervalNotMonths, {field}};
      }
      break;
    case Column::Department:
      gauge.department = field;
      break;
    case Column::Keeper:
      gauge.keeper = field;
      break;
    case Column::State:
      gauge.state = field;
      break;
    case Column::Notes:
      gauge.notes = field;
      break;
    case Column::LastRecord:
    case Column::NextDue:
    case Column::LastVerdict:
      break;  // what an export adds; the records themselves are not imported
  }
  return std::nullopt;
}

}  // namespace

std::variant<LedgerImport, Message> ReadLedgerCsv(std::string_view bytes, const Day& today,
                                                  const std::set<std::string>& registered) {
  LedgerImport result;
  const auto decoded = DecodeSpreadsheetText(bytes);
  if (const auto* wrong = std::get_if<Message>(&decoded)) return *wrong;
  result.encoding = std::get<DecodedText>(decoded).encoding;
  const std::vector<NumberedCsvRow> rows =
      ParseDelimitedLines(std::get<DecodedText>(decoded).text, ',', true);
  if (rows.empty()) return Message{MessageCode::FileEmpty};
  std::map<size_t, Column> columns;
  const CsvRow& headings = rows[0].fields;
  for (size_t i = 0; i < headings.size(); ++i) {
    if (auto column = ColumnOf(headings[i])) {
      columns[i] = *column;
    } else if (!headings[i].empty()) {
      result.ignored_columns.push_back(headings[i]);
    }
  }
  for (Column needed : {Column::Number, Column::Thread, Column::Kind}) {
    if (std::none_of(columns.begin(), columns.end(),
                     [&](const auto& c) { return c.second == needed; })) {
      const auto& names = Headings()[static_cast<size_t>(needed)].names;
      return Message{MessageCode::LedgerColumnMissing, {std::string(names.front())}};
    }
  }
  std::set<std::string> seen = registered;
  for (size_t index = 1; index < rows.size(); ++index) {
    const CsvRow& row = rows[index].fields;
    if (std::all_of(row.begin(), row.end(), [](const auto& f) { return f.empty(); })) continue;
    GaugeEntry gauge;
    std::optional<Message> problem;
    for (const auto& [index, column] : columns) {
      const std::string field = index < row.size() ? row[index] : "";
      if (!problem) problem = TakeField(gauge, column, field);
    }
    if (!problem) problem = NormaliseEntry(gauge, today);
    if (!problem && !seen.insert(gauge.number).second) {
      problem = Message{registered.count(gauge.number) ? MessageCode::NumberInRegister
                                                       : MessageCode::NumberRepeated,
                        {gauge.number}};
    }
    if (problem) {
      result.problems.push_back(
          {MessageCode::RowProblem, {std::to_string(rows[index].line)}, {*problem}});
    } else {
      result.good.push_back(std::move(gauge));
    }
  }
  return result;
}

}  // namespace threadgauge
