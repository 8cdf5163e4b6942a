#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "cli/cli11_reading.h"
#include "cli/ledger_xlsx.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "register/inspection.h"
#include "register/ledger.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/utf8.h"

namespace threadgauge {

const char* const kGaugesHelp =
    "用法: threadgauge-cli gauges add --number 编号 --thread 螺纹标记 --gauge 量规名称\n"
    "                             [--length 文本或毫米数] [--interval 月数] [--maker 文字]\n"
    "                             [--serial 文字] [--since 日期] [--department 文字]\n"
    "                             [--keeper 文字] [--notes 文字]\n"
    "       threadgauge-cli gauges list [--state 状态] [--due-within 天数] [--on 日期]\n"
    "                             [--format text|json|csv]\n"
    "       threadgauge-cli gauges show 编号 [--format text|json]\n"
    "       threadgauge-cli gauges retire 编号\n"
    "       threadgauge-cli gauges import 文件.csv [--good-rows]\n"
    "       threadgauge-cli gauges export --format csv|xlsx --out 文件\n"
    "以上均可加 --register 文件（量规台账，默认为用户数据文件夹中的 量规台账.db）和\n"
    "--database 文件（公差数据库）。\n"
    "\n"
    "量规台账：每件量规一行（编号唯一）。状态为 在用、停用、封存 或 报废；有检定记录的量规\n"
    "不删除，只报废。--due-within 列出在用且下次检定日期（上次检定或启用日期加检定周期）\n"
    "在 --on（默认今天）之后若干天内或已过期的量规。import 读 UTF-8 或 GBK 编码的 CSV，\n"
    "第 1 行为列标题（编号、螺纹、量规、螺纹部分长度、制造厂、出厂编号、启用日期、\n"
    "检定周期(月)、使用部门、保管人、状态、备注）；有错的行全部列出，整个文件无错才写入，\n"
    "加 --good-rows 则只写入无错的行。\n"
    "\n"
    "退出状态：0 完成；1 未能写入或有行未导入；2 输入有误（未写入任何内容）。\n";

namespace {

int Usage(std::ostream& err) {
  err << "缺少子命令：add、list、show、retire、import 或 export（见 --help）\n";
  return 2;
}

int Add(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  GaugeEntry gauge;
  std::optional<std::string> number, thread, kind, interval;
  app.add_option("--number", number);
  app.add_option("--thread", thread);
  app.add_option("--gauge", kind);
  app.add_option("--length", gauge.length);
  app.add_option("--interval", interval);
  app.add_option("--maker", gauge.maker);
  app.add_option("--serial", gauge.serial);
  app.add_option("--since", gauge.since);
  app.add_option("--department", gauge.department);
  app.add_option("--keeper", gauge.keeper);
  app.add_option("--notes", gauge.notes);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!number || !thread || !kind) {
    err << "gauges add 须有 --number、--thread 和 --gauge\n";
    return 2;
  }
  gauge.number = *number;
  gauge.thread = *thread;
  gauge.kind = *kind;
  if (interval) {
    const auto months = NumberOption("--interval", *interval, err);
    if (!months) return 2;
    if (*months != static_cast<int>(*months)) {
      err << "--interval 须为整月数\n";
      return 2;
    }
    gauge.interval_months = static_cast<int>(*months);
  }
  if (auto wrong = NormaliseEntry(gauge, Today())) {
    err << *wrong << "\n";
    return 2;
  }
  auto gauges = OpenRegister(where, true, err);
  if (!gauges) return 2;
  if (gauges->Find(gauge.number)) {
    err << "编号 " << gauge.number << " 已在量规台账中\n";
    return 2;
  }
  if (auto failed = gauges->Add(gauge)) {
    err << failed->message << "\n";
    return 1;
  }
  out << "已登记 " << gauge.number << "：" << gauge.thread << " " << gauge.kind
      << (gauge.length.empty() ? "" : " " + gauge.length) << "\n";
  return 0;
}

std::string ListJson(const std::vector<LedgerRow>& rows) {
  std::ostringstream json;
  json << "[";
  for (size_t i = 0; i < rows.size(); ++i) {
    const LedgerRow& row = rows[i];
    const auto text_or_null = [](const std::optional<std::string>& text) {
      return text ? JsonString(*text) : std::string("null");
    };
    json << (i ? ",\n " : "") << "{\"number\": " << JsonString(row.gauge.number)
         << ", \"thread\": " << JsonString(row.gauge.thread)
         << ", \"gauge\": " << JsonString(row.gauge.kind)
         << ", \"length\": " << JsonString(row.gauge.length)
         << ", \"state\": " << JsonString(row.gauge.state)
         << ", \"last_record\": " << text_or_null(row.last_record) << ", \"next_due\": "
         << text_or_null(row.next_due ? std::optional(DayText(*row.next_due)) : std::nullopt)
         << "}";
  }
  json << "]\n";
  return json.str();
}

std::string ListText(const std::vector<LedgerRow>& rows, const Day& on) {
  std::ostringstream text;
  if (rows.empty()) return "（没有量规）\n";
  for (const LedgerRow& row : rows) {
    text << row.gauge.number << "  " << row.gauge.thread << "  " << row.gauge.kind << "  "
         << (row.gauge.length.empty() ? "—" : row.gauge.length) << "  " << row.gauge.state
         << "  上次检定 " << row.last_record.value_or("—") << "  下次检定 ";
    if (row.next_due) {
      const long days = DaysBetween(on, *row.next_due);
      text << DayText(*row.next_due)
           << (days < 0 ? "（已过期 " + std::to_string(-days) + " 天）" : "");
    } else {
      text << "—";
    }
    text << "\n";
  }
  return text.str();
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> state, due_within, on;
  std::string format = "text";
  app.add_option("--state", state);
  app.add_option("--due-within", due_within);
  app.add_option("--on", on);
  app.add_option("--format", format);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (format != "text" && format != "json" && format != "csv") {
    err << "--format 须为 text、json 或 csv\n";
    return 2;
  }
  if (state && std::find(kGaugeStates.begin(), kGaugeStates.end(), *state) == kGaugeStates.end()) {
    err << "--state 须为 在用、停用、封存 或 报废\n";
    return 2;
  }
  const auto day = DayOption("--on", on, err);
  if (!day) return 2;
  std::optional<long> days;
  if (due_within) {
    const auto number = NumberOption("--due-within", *due_within, err);
    if (!number) return 2;
    if (*number < 0 || *number != static_cast<long>(*number)) {
      err << "--due-within 须为不小于 0 的整天数\n";
      return 2;
    }
    days = static_cast<long>(*number);
  }
  auto gauges = OpenRegister(where, false, err);
  if (!gauges) return 2;
  std::vector<LedgerRow> rows = LedgerRows(*gauges);
  std::erase_if(rows, [&](const LedgerRow& row) {
    return (state && row.gauge.state != *state) || (days && !DueWithin(row, *day, *days));
  });
  out << (format == "json"  ? ListJson(rows)
          : format == "csv" ? LedgerCsv(rows)
                            : ListText(rows, *day));
  return 0;
}

std::string LimitsText(const GaugeLimits& limits) {
  std::ostringstream text;
  if (limits.decidable()) {
    text << "新制中径 " << Millimetres(*limits.low) << " … " << Millimetres(*limits.high) << " mm";
  } else {
    text << "新制中径 未知";
  }
  if (limits.has_wear_limit) {
    text << "    磨损极限 " << (limits.wear ? Millimetres(*limits.wear) + " mm" : "未知");
  }
  return text.str();
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> number;
  std::string format = "text";
  app.add_option("number", number);
  app.add_option("--format", format);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!number) {
    err << "缺少编号，例如 threadgauge-cli gauges show TG-2024-017\n";
    return 2;
  }
  if (format != "text" && format != "json") {
    err << "--format 须为 text 或 json\n";
    return 2;
  }
  auto gauges = OpenRegister(where, false, err);
  if (!gauges) return 2;
  const auto gauge = gauges->Find(*number);
  if (!gauge) {
    err << "编号 " << *number << " 不在量规台账中\n";
    return 2;
  }
  const auto records = gauges->RecordsOf(gauge->number);
  const auto due = NextDue(*gauge, records);
  const auto trend = TrendOf(records);
  std::optional<GaugeLimits> limits;
  const auto request = RequestOf(*gauge);
  const ToleranceDatabase db = ToleranceDatabase::Open(where.DatabasePath());
  if (const auto* built = std::get_if<GaugeRequest>(&request)) limits = LimitsFor(*built, db);
  const auto trend_json = [&] {
    if (!trend) return std::string("null");
    return "{\"um_per_month\": " + JsonNumberOrNull(trend->fit.um_per_month, 3) +
           ", \"records\": " + std::to_string(trend->records) + ", \"reaches_limit\": " +
           (trend->reaches_limit ? JsonString(DayText(*trend->reaches_limit)) : "null") + "}";
  };
  if (format == "json") {
    out << "{\"number\": " << JsonString(gauge->number)
        << ", \"thread\": " << JsonString(gauge->thread)
        << ", \"gauge\": " << JsonString(gauge->kind)
        << ", \"length\": " << JsonString(gauge->length)
        << ", \"maker\": " << JsonString(gauge->maker)
        << ", \"serial\": " << JsonString(gauge->serial)
        << ", \"since\": " << JsonString(gauge->since)
        << ", \"interval_months\": " << gauge->interval_months
        << ", \"department\": " << JsonString(gauge->department)
        << ", \"keeper\": " << JsonString(gauge->keeper)
        << ", \"state\": " << JsonString(gauge->state)
        << ", \"notes\": " << JsonString(gauge->notes)
        << ", \"next_due\": " << (due ? JsonString(DayText(*due)) : "null");
    if (limits) {
      out << ", \"limits\": {\"new\": "
          << (limits->decidable() ? "[" + JsonNumberOrNull(limits->low, 4) + ", " +
                                        JsonNumberOrNull(limits->high, 4) + "]"
                                  : "null")
          << ", \"wear\": " << JsonNumberOrNull(limits->wear, 4) << "}";
    }
    out << ", \"records\": [";
    for (size_t i = 0; i < records.size(); ++i) {
      const InspectionRecord& r = records[i];
      out << (i ? ", " : "") << "{\"id\": " << r.id << ", \"date\": " << JsonString(r.date)
          << ", \"verdict\": " << JsonString(r.verdict)
          << ", \"margin_um\": " << JsonNumberOrNull(r.margin_um, 1)
          << ", \"replaces\": " << (r.replaces ? std::to_string(*r.replaces) : "null")
          << ", \"replaced_by\": " << (r.replaced_by ? std::to_string(*r.replaced_by) : "null")
          << "}";
    }
    out << "], \"trend\": " << trend_json() << "}\n";
    return 0;
  }
  out << gauge->number << "  " << gauge->thread << "  " << gauge->kind << "  "
      << (gauge->length.empty() ? "—" : gauge->length) << "\n"
      << "状态 " << gauge->state << "    检定周期 " << gauge->interval_months << " 个月"
      << "    启用日期 " << (gauge->since.empty() ? "—" : gauge->since) << "\n";
  if (!gauge->maker.empty() || !gauge->serial.empty()) {
    out << "制造厂 " << gauge->maker << "    出厂编号 " << gauge->serial << "\n";
  }
  if (!gauge->department.empty() || !gauge->keeper.empty()) {
    out << "使用部门 " << gauge->department << "    保管人 " << gauge->keeper << "\n";
  }
  if (!gauge->notes.empty()) out << "备注 " << gauge->notes << "\n";
  if (limits) {
    out << LimitsText(*limits) << "\n" << DescribeDatabase(limits->calculation) << "\n";
  } else {
    out << std::get<std::string>(request) << "\n";
  }
  out << "下次检定 " << (due ? DayText(*due) : "—") << "\n";
  out << "\n检定记录：" << (records.empty() ? "无" : "") << "\n";
  for (const InspectionRecord& r : records) {
    out << "  " << r.id << "  " << r.date << "  "
        << VerdictLine(r.verdict, r.verdict_text, r.margin_um);
    if (r.replaces) out << "（更正记录 " << *r.replaces << "）";
    if (r.replaced_by) out << "（已被记录 " << *r.replaced_by << " 更正）";
    out << "\n";
  }
  if (trend) {
    out << "\n磨损趋势（" << trend->records << " 次检定，最小二乘）：中径每月 "
        << Micrometres(trend->fit.um_per_month) << "；"
        << (trend->reaches_limit ? "预计 " + DayText(*trend->reaches_limit) + " 达到磨损极限"
                                 : std::string("按此趋势不会达到磨损极限"))
        << "\n";
  }
  return 0;
}

int Retire(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> number;
  app.add_option("number", number);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!number) {
    err << "缺少编号，例如 threadgauge-cli gauges retire TG-2024-017\n";
    return 2;
  }
  auto gauges = OpenRegister(where, false, err);
  if (!gauges) return 2;
  if (!gauges->Find(*number)) {
    err << "编号 " << *number << " 不在量规台账中\n";
    return 2;
  }
  if (auto failed = gauges->SetState(*number, kRetired)) {
    err << failed->message << "\n";
    return 1;
  }
  out << *number << " 已报废；其检定记录保留\n";
  return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> file;
  bool good_rows = false;
  app.add_option("file", file);
  app.add_flag("--good-rows", good_rows);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!file) {
    err << "缺少 CSV 文件，例如 threadgauge-cli gauges import 台账.csv\n";
    return 2;
  }
  std::ifstream in(PathFromUtf8(*file), std::ios::binary);
  if (!in) {
    err << "无法读取 " << *file << "\n";
    return 2;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto gauges = OpenRegister(where, true, err);
  if (!gauges) return 2;
  std::set<std::string> registered;
  for (const GaugeEntry& gauge : gauges->Gauges()) registered.insert(gauge.number);
  const auto read_file = ReadLedgerCsv(bytes, Today(), registered);
  if (const auto* wrong = std::get_if<std::string>(&read_file)) {
    err << *file << "：" << *wrong << "\n";
    return 2;
  }
  const LedgerImport& ledger = std::get<LedgerImport>(read_file);
  out << "按 " << ledger.encoding << " 编码读取 " << *file << "\n";
  for (const std::string& column : ledger.ignored_columns) {
    out << "未使用的列：" << column << "\n";
  }
  for (const std::string& problem : ledger.problems) err << problem << "\n";
  if (!ledger.problems.empty() && !good_rows) {
    err << ledger.problems.size() << " 行有错，未导入任何量规（改正后重新导入，或加 --good-rows "
        << "只导入无错的 " << ledger.good.size() << " 行）\n";
    return 2;
  }
  if (auto failed = gauges->AddAll(ledger.good)) {
    err << failed->message << "\n";
    return 1;
  }
  out << "已导入 " << ledger.good.size() << " 件量规\n";
  return ledger.problems.empty() ? 0 : 1;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::string format;
  std::optional<std::string> file;
  app.add_option("--format", format);
  app.add_option("--out", file);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if ((format != "csv" && format != "xlsx") || !file) {
    err << "gauges export 须有 --format csv 或 xlsx，以及 --out 文件\n";
    return 2;
  }
  auto gauges = OpenRegister(where, false, err);
  if (!gauges) return 2;
  const auto rows = LedgerRows(*gauges);
  const std::filesystem::path path = PathFromUtf8(*file);
  if (format == "xlsx") {
    if (auto failed = WriteLedgerXlsx(rows, path)) {
      err << *failed << "\n";
      return 1;
    }
  } else if (!WriteOutput(LedgerCsv(rows), path, out, err)) {
    return 1;
  }
  out << "已导出 " << rows.size() << " 件量规到 " << *file << "\n";
  return 0;
}

}  // namespace

int RunGaugesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err);
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h") {
    out << kGaugesHelp;
    return 0;
  }
  if (command == "add") return Add(rest, out, err);
  if (command == "list") return List(rest, out, err);
  if (command == "show") return Show(rest, out, err);
  if (command == "retire") return Retire(rest, out, err);
  if (command == "import") return Import(rest, out, err);
  if (command == "export") return Export(rest, out, err);
  err << "未知命令：gauges " << command << "（见 --help）\n";
  return 2;
}

}  // namespace threadgauge
