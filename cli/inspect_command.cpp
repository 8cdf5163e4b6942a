#include <sstream>

#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "platform/number_text.h"
#include "register/inspection.h"
#include "register/ledger.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/message_words.h"

namespace threadgauge {

const char* const kInspectHelp =
    "用法: threadgauge-cli inspect 编号 [--date 日期] [--inspector 姓名] [--temperature ℃]\n"
    "         (--wire 三针直径 --m M [--m M …] | --ball 钢球直径 --e E [--e E …]\n"
    "          | --check 通过|不通过|- [--check …]) [--certificate 证书号]\n"
    "         [--check-number 校对塞规编号 …] [--position 起始|中间|末端 …]\n"
    "         [--instrument 测量仪器] [--instrument-number 编号] [--instrument-certificate "
    "证书号]\n"
    "         [--instrument-valid 有效期] [--major 大径] [--uncertainty U(µm)] [--k 包含因子]\n"
    "         [--replaces 记录号] [--notes 文字] [--acceptance] [--dry-run] [--force]\n"
    "         [--format text|json] [--register 文件] [--database 文件]\n"
    "\n"
    "一次检定：塞规用三针测 M（可多个读数），环规用钢球测 E，或用校对塞规检验（--check\n"
    "依次为 校通/校止-通、-止、-损 螺纹塞规的结果，“-”为未检）。由读数反算实际中径：\n"
    "  d2 = M − dD × (1/sin30° + 1) + (P/2)/tan30°（三针）\n"
    "  d2 = E − (P/2)/tan30° + dB × (1/sin30° + 1)（钢球）\n"
    "与窗口对该量规算出的新制中径（中径 ± 偏差）和磨损极限比较，取读数的极值判定；给出\n"
    "--uncertainty 时按 ISO 14253-1 判定。启用日期当天或之前、没有更早记录的检定，以及加\n"
    "--acceptance 的检定，是新量规验收：只按制造公差判定，低于（高于）新制范围即超出制造公差。\n"
    "--position 依次给出每个读数的位置，--check-number 依次给出所用校对塞规的编号。\n"
    "记录保存后不再改动，更正用 --replaces 新建记录。与量规中径相差超过 0.2 mm 的读数视为\n"
    "输错，确认无误请加 --force；不是有限数、不大于 0 或大于 1000 mm 的读数总被拒绝。\n"
    "检定不合格或不能判定时，下次检定日期不顺延，量规列为到期，待停用或报废。\n"
    "--dry-run 只计算不保存。\n"
    "\n"
    "退出状态：0 量规合格；1 不合格或不能判定（或未能保存）；2 输入有误（未写入任何内容）。\n";

namespace {

struct InspectArgs {
  std::optional<std::string> number, date, inspector, temperature, wire, ball, certificate, major,
      uncertainty, k, replaces, notes, instrument, instrument_number, instrument_certificate,
      instrument_valid;
  std::vector<std::string> m, e, check, check_number, position;
  bool dry_run = false, force = false, acceptance = false;
  std::string format = "text";
};

std::optional<InspectionInputs> Inputs(const InspectArgs& a, std::ostream& err) {
  InspectionInputs in;
  in.date = a.date.value_or("");
  in.inspector = a.inspector.value_or("");
  in.element_certificate = a.certificate.value_or("");
  in.notes = a.notes.value_or("");
  in.force = a.force;
  in.acceptance = a.acceptance;
  in.instrument = {a.instrument.value_or(""), a.instrument_number.value_or(""),
                   a.instrument_certificate.value_or(""), a.instrument_valid.value_or("")};
  in.positions = a.position;
  const auto number = [&](const char* option, const std::optional<std::string>& text,
                          std::optional<double>& to) {
    if (!text) return true;
    to = NumberOption(option, *text, err);
    return to.has_value();
  };
  std::optional<double> temperature;
  if (!number("--temperature", a.temperature, temperature) ||
      !number("--major", a.major, in.major) ||
      !number("--uncertainty", a.uncertainty, in.uncertainty) ||
      !number("--k", a.k, in.coverage_k)) {
    return std::nullopt;
  }
  if (temperature) in.temperature = *temperature;
  if (a.replaces) {
    in.replaces = WholeNumberOption("--replaces", *a.replaces, err);
    if (!in.replaces) return std::nullopt;
  }
  if (a.check_number.size() > 3) {
    err << "--check-number 最多三个：校对通端、止端、磨损螺纹塞规的编号\n";
    return std::nullopt;
  }
  for (size_t i = 0; i < a.check_number.size(); ++i) in.check_numbers[i] = a.check_number[i];
  const int ways = (a.wire || !a.m.empty()) + (a.ball || !a.e.empty()) + !a.check.empty();
  if (ways != 1) {
    err << "须给出且只给出一种读数：--wire 与 --m，--ball 与 --e，或 --check\n";
    return std::nullopt;
  }
  if (a.wire || !a.m.empty()) {
    in.method = InspectionMethod::Wires;
    if (!number("--wire", a.wire, in.element)) return std::nullopt;
  } else if (a.ball || !a.e.empty()) {
    in.method = InspectionMethod::Balls;
    if (!number("--ball", a.ball, in.element)) return std::nullopt;
  } else {
    in.method = InspectionMethod::CheckPlugs;
    if (a.check.size() > 3) {
      err << "--check 最多三个：校对通端、止端、磨损螺纹塞规的结果\n";
      return std::nullopt;
    }
    std::optional<bool>* results[3] = {&in.checks.go, &in.checks.not_go, &in.checks.wear};
    for (size_t i = 0; i < a.check.size(); ++i) {
      if (a.check[i] == "通过") {
        *results[i] = true;
      } else if (a.check[i] == "不通过") {
        *results[i] = false;
      } else if (a.check[i] != "-") {
        err << "--check 的值须为 通过、不通过 或 -（未检），不是“" << a.check[i] << "”\n";
        return std::nullopt;
      }
    }
  }
  for (const std::string& text : in.method == InspectionMethod::Wires ? a.m : a.e) {
    const auto value =
        NumberOption(in.method == InspectionMethod::Wires ? "--m" : "--e", text, err);
    if (!value) return std::nullopt;
    in.values.push_back(*value);
  }
  return in;
}

std::string Json(const DecidedInspection& d, std::optional<long long> saved) {
  const InspectionRecord& r = d.record;
  std::ostringstream json;
  json << "{\"number\": " << JsonString(r.gauge_number) << ", \"thread\": " << JsonString(r.thread)
       << ", \"gauge\": " << JsonString(r.kind) << ", \"length\": " << JsonString(r.length)
       << ", \"date\": " << JsonString(r.date) << ", \"database\": " << JsonString(r.database_file)
       << ", \"database_hash\": " << JsonString(r.database_hash) << ", \"limits\": {\"new\": "
       << (d.limits.decidable() ? "[" + JsonNumberOrNull(r.limit_low, 4) + ", " +
                                      JsonNumberOrNull(r.limit_high, 4) + "]"
                                : "null")
       << ", \"wear\": " << JsonNumberOrNull(r.wear_limit, 4) << "}, \"readings\": [";
  for (size_t i = 0; i < r.readings.size(); ++i) {
    json << (i ? ", " : "") << "{\"value\": " << JsonNumberOrNull(r.readings[i].value, 6)
         << ", \"pitch_diameter\": " << JsonNumberOrNull(r.readings[i].pitch_diameter, 4) << "}";
  }
  json << "], \"checks\": [";
  for (size_t i = 0; i < r.checks.size(); ++i) {
    json << (i ? ", " : "") << "{\"plug\": " << JsonString(r.checks[i].plug)
         << ", \"passed\": " << (r.checks[i].passed ? "true" : "false") << "}";
  }
  const auto action = ActionAfter(r);
  json << "], \"verdict\": {\"code\": " << JsonString(r.verdict)
       << ", \"text\": " << JsonString(r.verdict_text)
       << ", \"margin_um\": " << JsonNumberOrNull(r.margin_um, 1)
       << ", \"margin_to\": " << (r.margin_limit.empty() ? "null" : JsonString(r.margin_limit))
       << ", \"line\": " << JsonString(RecordVerdictLine(r))
       << "}, \"acceptance\": " << (r.acceptance ? "true" : "false")
       << ", \"action\": " << (action ? JsonString(*action) : "null") << ", \"remarks\": [";
  for (size_t i = 0; i < d.remarks.size(); ++i) {
    json << (i ? ", " : "") << JsonString(d.remarks[i]);
  }
  json << "], \"record\": " << (saved ? std::to_string(*saved) : "null") << "}\n";
  return json.str();
}

std::string Text(const DecidedInspection& d, std::optional<long long> saved,
                 const std::optional<GaugeDue>& due) {
  const InspectionRecord& r = d.record;
  std::ostringstream text;
  text << (saved ? "检定记录 " + std::to_string(*saved) : std::string("检定结果（未保存）"));
  if (r.replaces) text << "（更正记录 " << *r.replaces << "）";
  text << "\n量规 " << r.gauge_number << "  " << r.thread << "  " << r.kind << "  "
       << (r.length.empty() ? "—" : r.length) << "    检定日期 " << r.date << "\n"
       << DescribeDatabase(d.limits.calculation) << "\n";
  if (r.acceptance) text << "新量规验收：只按制造公差判定\n";
  if (d.limits.decidable()) {
    text << "新制中径 " << Millimetres(*r.limit_low) << " … " << Millimetres(*r.limit_high)
         << " mm";
  } else {
    text << "新制中径 未知";
  }
  if (r.has_wear_limit) {
    text << "    磨损极限 " << (r.wear_limit ? Millimetres(*r.wear_limit) + " mm" : "未知");
  }
  text << "\n";
  const bool wires = r.method == InspectionMethod::Wires;
  if (r.method != InspectionMethod::CheckPlugs) {
    text << (wires ? "三针直径 dD = " : "钢球直径 dB = ") << PlainDecimal(*r.element) << " mm\n";
    for (size_t i = 0; i < r.readings.size(); ++i) {
      const Verdict one = Judge(d.limits, r.readings[i].pitch_diameter, r.uncertainty);
      const std::string& place = r.readings[i].position;
      text << "  " << (i + 1) << (place.empty() ? "" : "（" + place + "）") << "  "
           << (wires ? "M" : "E") << " = " << PlainDecimal(r.readings[i].value) << "  中径 "
           << Millimetres(r.readings[i].pitch_diameter) << "  " << VerdictLine(one, r.uncertainty)
           << "\n";
    }
  }
  for (const CheckPlugResult& check : r.checks) {
    text << "  " << check.plug
         << (check.gauge_number.empty() ? "" : "（" + check.gauge_number + "）") << "："
         << (check.passed ? "通过" : "不通过") << "\n";
  }
  text << "结论：" << RecordVerdictLine(r) << "\n";
  if (auto action = ActionAfter(r)) {
    text << *action << "（" << ActionCommands(r.gauge_number) << "）\n";
  }
  for (const std::string& remark : d.remarks) text << remark << "\n";
  if (due) text << "下次检定 " << DueText(*due, ParseDay(r.date).value_or(Today())) << "\n";
  return text.str();
}

// The options of `inspect`, each into its field of the arguments.
void AddInspectOptions(CLI::App& app, InspectArgs& a) {
  app.add_option("number", a.number);
  app.add_option("--date", a.date);
  app.add_option("--inspector", a.inspector);
  app.add_option("--temperature", a.temperature);
  app.add_option("--wire", a.wire);
  app.add_option("--ball", a.ball);
  app.add_option("--certificate", a.certificate);
  app.add_option("--major", a.major);
  app.add_option("--uncertainty", a.uncertainty);
  app.add_option("--replaces", a.replaces);
  app.add_option("--notes", a.notes);
  app.add_option("--k", a.k);
  app.add_option("--instrument", a.instrument);
  app.add_option("--instrument-number", a.instrument_number);
  app.add_option("--instrument-certificate", a.instrument_certificate);
  app.add_option("--instrument-valid", a.instrument_valid);
  app.add_option("--format", a.format);
  for (auto [name, values] : {std::pair{"--m", &a.m},
                              {"--e", &a.e},
                              {"--check", &a.check},
                              {"--check-number", &a.check_number},
                              {"--position", &a.position}}) {
    app.add_option(name, *values)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  }
  app.add_flag("--dry-run", a.dry_run);
  app.add_flag("--force", a.force);
  app.add_flag("--acceptance", a.acceptance);
}

}  // namespace

int RunInspectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  InspectArgs a;
  AddInspectOptions(app, a);
  const Reading read = ReadArguments(app, args, kInspectHelp, out, err);
  if (read.done) return read.exit;
  if (!a.number) {
    err << "缺少编号，例如 threadgauge-cli inspect TG-2024-017 --wire 0.866 --m 10.124\n";
    return 2;
  }
  if (a.format != "text" && a.format != "json") {
    err << "--format 须为 text 或 json\n";
    return 2;
  }
  const auto inputs = Inputs(a, err);
  if (!inputs) return 2;
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  const auto gauge = gauges->Find(*a.number);
  if (!gauge) {
    err << "编号 " << *a.number << " 不在量规台账中\n";
    return gauges->damage() ? 1 : 2;
  }
  const ToleranceDatabase db = ToleranceDatabase::Open(where.DatabasePath());
  const auto limits = LimitsOfGauge(*gauge, db);
  if (const auto* wrong = std::get_if<Message>(&limits)) {
    err << Say(*wrong) << "\n";
    return 2;
  }
  std::vector<InspectionRecord> records = gauges->RecordsOf(gauge->number);
  const auto decided =
      DecideInspection(*gauge, *inputs, std::get<GaugeLimits>(limits), Today(), records);
  if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
    err << Say(refused->message) << (refused->needs_confirmation ? "；确认无误请加 --force" : "")
        << "\n";
    return 2;
  }
  DecidedInspection inspection = std::get<DecidedInspection>(decided);
  Stamp(inspection.record, StampOf(db));
  std::optional<long long> saved;
  std::optional<GaugeDue> due;
  if (!a.dry_run) {
    auto stored = gauges->AddRecord(inspection.record);
    if (const auto* failed = std::get_if<RegisterError>(&stored)) {
      err << Say(failed->message) << "\n";
      return 1;
    }
    saved = std::get<long long>(stored);
    due = DueOf(*gauge, gauges->RecordsOf(gauge->number));
  }
  out << (a.format == "json" ? Json(inspection, saved) : Text(inspection, saved, due));
  return inspection.verdict.conforms() ? 0 : 1;
}

}  // namespace threadgauge
