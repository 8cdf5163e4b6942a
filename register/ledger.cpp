#include "register/ledger.h"

#include <algorithm>
#include <map>

#include "register/inspection.h"
#include "tolerance/admin/csv.h"
#include "tolerance/csv_field.h"
#include "tolerance/utf8.h"

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

// Headings compared without blanks, with full-width brackets as ASCII ones.
std::string HeadingKey(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"（", "("},
                                 {"）", ")"},
                                 {" ", ""},
                                 {"\xe3\x80\x80", ""}}) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
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

std::vector<LedgerRow> LedgerRows(const GaugeRegister& register_file) {
  std::vector<LedgerRow> rows;
  for (GaugeEntry& gauge : register_file.Gauges()) {
    const auto records = register_file.RecordsOf(gauge.number);
    LedgerRow row{gauge, LastRecordDay(records), NextDue(gauge, records), ""};
    const auto counting = CountingRecords(records);
    if (!counting.empty()) row.last_verdict = counting.back().verdict_text;
    rows.push_back(std::move(row));
  }
  return rows;
}

bool DueWithin(const LedgerRow& row, const Day& on, long days) {
  return row.gauge.state == kInUse && row.next_due && DaysBetween(on, *row.next_due) <= days;
}

std::vector<std::string> LedgerColumns() {
  std::vector<std::string> columns;
  for (const Heading& h : Headings()) columns.emplace_back(h.names.front());
  return columns;
}

std::string LedgerCsv(const std::vector<LedgerRow>& rows) {
  std::string csv = "\xef\xbb\xbf";
  const auto line = [&](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) csv += (i ? "," : "") + CsvField(fields[i]);
    csv += "\r\n";
  };
  line(LedgerColumns());
  for (const LedgerRow& row : rows) {
    const GaugeEntry& g = row.gauge;
    line({g.number, g.thread, g.kind, g.length, g.maker, g.serial, g.since,
          std::to_string(g.interval_months), g.department, g.keeper, g.state, g.notes,
          row.last_record.value_or(""), row.next_due ? DayText(*row.next_due) : "",
          row.last_verdict});
  }
  return csv;
}

std::variant<LedgerImport, std::string> ReadLedgerCsv(std::string_view bytes, const Day& today,
                                                      const std::set<std::string>& registered) {
  LedgerImport result;
  std::string text;
  if (bytes.starts_with("\xef\xbb\xbf")) {
    result.encoding = "UTF-8（带 BOM）";
    text = std::string(bytes.substr(3));
  } else if (IsValidUtf8(bytes)) {
    result.encoding = "UTF-8";
    text = std::string(bytes);
  } else if (auto converted = ConvertToUtf8(bytes, "GB18030")) {
    result.encoding = "GBK";
    text = std::move(*converted);
  } else {
    return std::string("文件既不是 UTF-8 也不是 GBK 编码的文字，无法读取");
  }
  const std::vector<CsvRow> rows = ParseDelimited(text, ',', true);
  if (rows.empty()) return std::string("文件是空的");
  std::map<size_t, Column> columns;
  for (size_t i = 0; i < rows[0].size(); ++i) {
    if (auto column = ColumnOf(rows[0][i])) {
      columns[i] = *column;
    } else if (!rows[0][i].empty()) {
      result.ignored_columns.push_back(rows[0][i]);
    }
  }
  for (Column needed : {Column::Number, Column::Thread, Column::Kind}) {
    if (std::none_of(columns.begin(), columns.end(),
                     [&](const auto& c) { return c.second == needed; })) {
      const auto& names = Headings()[static_cast<size_t>(needed)].names;
      return "第 1 行缺少“" + std::string(names.front()) + "”列（第 1 行须为列标题：" +
             "编号、螺纹、量规 …）";
    }
  }
  std::set<std::string> seen = registered;
  for (size_t line = 1; line < rows.size(); ++line) {
    const CsvRow& row = rows[line];
    if (std::all_of(row.begin(), row.end(), [](const auto& f) { return f.empty(); })) continue;
    GaugeEntry gauge;
    std::optional<std::string> problem;
    for (const auto& [index, column] : columns) {
      const std::string field = index < row.size() ? row[index] : "";
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
            problem = "检定周期“" + field + "”不是月数";
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
    }
    if (!problem) problem = NormaliseEntry(gauge, today);
    if (!problem && !seen.insert(gauge.number).second) {
      problem = "编号 " + gauge.number +
                (registered.count(gauge.number) ? " 已在量规台账中" : " 在文件中重复");
    }
    if (problem) {
      result.problems.push_back("第 " + std::to_string(line + 1) + " 行：" + *problem);
    } else {
      result.good.push_back(std::move(gauge));
    }
  }
  return result;
}

}  // namespace threadgauge
