#include "register/record_import.h"

#include <algorithm>
#include <map>

#include "platform/csv_reading.h"
#include "platform/number_text.h"
#include "spreadsheet_text.h"

namespace threadgauge {
namespace {

enum class Column {
  Number,
  Date,
  Inspector,
  Method,
  Element,
  Readings,
  Uncertainty,
  Certificate,
  Notes
};

struct Heading {
  Column column;
  std::vector<std::string_view> names;
};
const std::vector<Heading>& Headings() {
  static const std::vector<Heading> headings = {
      {Column::Number, {"编号", "量规编号"}},
      {Column::Date, {"检定日期", "日期"}},
      {Column::Inspector, {"检定员", "检定人"}},
      {Column::Method, {"方法", "检定方法"}},
      {Column::Element,
       {"测针或钢球直径", "三针直径", "钢球直径", "测针直径", "测球直径", "测针/钢球直径"}},
      {Column::Readings, {"读数", "测得值"}},
      {Column::Uncertainty, {"不确定度", "不确定度(µm)", "不确定度U", "不确定度U(µm)"}},
      {Column::Certificate, {"证书号", "证书编号"}},
      {Column::Notes, {"备注"}},
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

// "10.275 10.276；10.274": blanks, "；", ";" and "、" all part readings.
std::vector<std::string> Words(std::string text) {
  for (const char* separator : {"；", "、", "\xe3\x80\x80"}) {
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator)) {
      text.replace(at, std::string_view(separator).size(), " ");
    }
  }
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (c == ' ' || c == ';' || c == '\t' || c == '\n' || c == '\r') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

std::optional<InspectionMethod> MethodOfWord(const std::string& word, const GaugeEntry& gauge) {
  if (word == "三针") return InspectionMethod::Wires;
  if (word == "钢球" || word == "测球") return InspectionMethod::Balls;
  if (word == "校对塞规") return InspectionMethod::CheckPlugs;
  if (word.empty()) {
    return gauge.kind.ends_with("环规") ? InspectionMethod::Balls : InspectionMethod::Wires;
  }
  return std::nullopt;
}

struct Row {
  size_t line = 0;
  GaugeEntry gauge;
  InspectionInputs inputs;
};

// The row's inputs, or what is wrong with it.
std::variant<Row, Message> ReadRow(const NumberedCsvRow& csv,
                                   const std::map<size_t, Column>& columns,
                                   const GaugeRegister& gauges) {
  std::map<Column, std::string> field;
  for (const auto& [index, column] : columns) {
    field[column] = index < csv.fields.size() ? csv.fields[index] : "";
  }
  Row row;
  row.line = csv.line;
  const auto gauge = gauges.Find(field[Column::Number]);
  if (!gauge) return Message{MessageCode::GaugeNumberUnknown, {field[Column::Number]}};
  row.gauge = *gauge;
  InspectionInputs& in = row.inputs;
  in.imported = true;
  in.date = field[Column::Date];
  if (in.date.empty()) return Message{MessageCode::InspectionDateMissing};
  in.inspector = field[Column::Inspector];
  in.element_certificate = field[Column::Certificate];
  in.notes = field[Column::Notes];
  const auto method = MethodOfWord(field[Column::Method], *gauge);
  if (!method) return Message{MessageCode::MethodUnknown, {field[Column::Method]}};
  in.method = *method;
  if (!field[Column::Uncertainty].empty()) {
    in.uncertainty = ParseStoredNumber(field[Column::Uncertainty]);
    if (!in.uncertainty) {
      return Message{MessageCode::UncertaintyNotNumber, {field[Column::Uncertainty]}};
    }
  }
  const std::vector<std::string> words = Words(field[Column::Readings]);
  if (in.method == InspectionMethod::CheckPlugs) {
    std::optional<bool>* results[3] = {&in.checks.go, &in.checks.not_go, &in.checks.wear};
    if (words.size() > 3) return Message{MessageCode::TooManyCheckResults};
    for (size_t i = 0; i < words.size(); ++i) {
      if (words[i] == "通过") {
        *results[i] = true;
      } else if (words[i] == "不通过") {
        *results[i] = false;
      } else if (words[i] != "-") {
        return Message{MessageCode::CheckResultUnknown, {words[i]}};
      }
    }
    return row;
  }
  if (!field[Column::Element].empty()) {
    in.element = ParseStoredNumber(field[Column::Element]);
    if (!in.element) return Message{MessageCode::ElementNotNumber, {field[Column::Element]}};
  }
  for (const std::string& word : words) {
    const auto value = ParseStoredNumber(word);
    if (!value) return Message{MessageCode::ReadingNotNumber, {word}};
    in.values.push_back(*value);
  }
  return row;
}

}  // namespace

std::variant<RecordImport, Message> ReadRecordsCsv(std::string_view bytes,
                                                   const GaugeRegister& gauges, LimitsCache& limits,
                                                   const Day& today) {
  RecordImport result;
  const auto decoded = DecodeSpreadsheetText(bytes);
  if (const auto* wrong = std::get_if<Message>(&decoded)) return *wrong;
  result.encoding = std::get<DecodedText>(decoded).encoding;
  const std::vector<NumberedCsvRow> rows =
      ParseDelimitedLines(std::get<DecodedText>(decoded).text, ',');
  if (rows.empty()) return Message{MessageCode::FileEmpty};
  std::map<size_t, Column> columns;
  for (size_t i = 0; i < rows[0].fields.size(); ++i) {
    if (auto column = ColumnOf(rows[0].fields[i])) {
      columns[i] = *column;
    } else if (!rows[0].fields[i].empty()) {
      result.ignored_columns.push_back(rows[0].fields[i]);
    }
  }
  for (Column needed : {Column::Number, Column::Date, Column::Readings}) {
    if (std::none_of(columns.begin(), columns.end(),
                     [&](const auto& c) { return c.second == needed; })) {
      return Message{MessageCode::RecordColumnMissing,
                     {std::to_string(rows[0].line),
                      std::string(Headings()[static_cast<size_t>(needed)].names.front())}};
    }
  }
  std::vector<Row> good_rows;
  std::vector<std::pair<size_t, Message>> problems;
  for (size_t index = 1; index < rows.size(); ++index) {
    auto read = ReadRow(rows[index], columns, gauges);
    if (auto* wrong = std::get_if<Message>(&read)) {
      problems.emplace_back(rows[index].line, *wrong);
    } else {
      good_rows.push_back(std::move(std::get<Row>(read)));
    }
  }
  // Each gauge's history in the order it happened, so that its first inspection is the one
  // that may have accepted it new.
  std::stable_sort(good_rows.begin(), good_rows.end(), [](const Row& a, const Row& b) {
    const auto day_a = ParseDay(a.inputs.date), day_b = ParseDay(b.inputs.date);
    return std::make_tuple(a.gauge.number, day_a.has_value(), day_a.value_or(Day{})) <
           std::make_tuple(b.gauge.number, day_b.has_value(), day_b.value_or(Day{}));
  });
  std::map<std::string, std::vector<InspectionRecord>> history;
  for (const Row& row : good_rows) {
    auto [known, fresh] = history.try_emplace(row.gauge.number);
    if (fresh) known->second = gauges.RecordsOf(row.gauge.number);
    const auto& zone = limits.For(row.gauge);
    if (const auto* wrong = std::get_if<Message>(&zone)) {
      problems.emplace_back(row.line, *wrong);
      continue;
    }
    const auto decided =
        DecideInspection(row.gauge, row.inputs, std::get<GaugeLimits>(zone), today, known->second);
    if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
      problems.emplace_back(row.line, refused->message);
      continue;
    }
    InspectionRecord record = std::get<DecidedInspection>(decided).record;
    known->second.push_back(record);
    result.good.push_back(std::move(record));
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [line, message] : problems) {
    result.problems.push_back({MessageCode::RowProblem, {std::to_string(line)}, {message}});
  }
  return result;
}

}  // namespace threadgauge
