#include <algorithm>
#include <sstream>

#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "gauges_subcommands.h"
#include "register/inspection.h"
#include "register/ledger.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

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

std::string TrendJson(const std::optional<GaugeTrend>& trend) {
  if (!trend) return "null";
  return "{\"um_per_month\": " + JsonNumberOrNull(trend->fit.um_per_month, 3) +
         ", \"records\": " + std::to_string(trend->records) + ", \"reaches_limit\": " +
         (trend->reaches_limit ? JsonString(DayText(*trend->reaches_limit)) : "null") + "}";
}

struct Shown {
  GaugeEntry gauge;
  std::vector<InspectionRecord> records;
  GaugeDue due;
  std::optional<GaugeTrend> trend;
  std::variant<GaugeLimits, Message> limits;
  std::vector<BrokenLink> broken;
};

void Json(const Shown& s, std::ostream& out) {
  const GaugeEntry& g = s.gauge;
  const std::string reason = DueReasonText(s.due);
  out << "{\"number\": " << JsonString(g.number) << ", \"thread\": " << JsonString(g.thread)
      << ", \"gauge\": " << JsonString(g.kind) << ", \"length\": " << JsonString(g.length)
      << ", \"maker\": " << JsonString(g.maker) << ", \"serial\": " << JsonString(g.serial)
      << ", \"since\": " << JsonString(g.since) << ", \"interval_months\": " << g.interval_months
      << ", \"department\": " << JsonString(g.department)
      << ", \"keeper\": " << JsonString(g.keeper) << ", \"state\": " << JsonString(g.state)
      << ", \"notes\": " << JsonString(g.notes)
      << ", \"next_due\": " << (s.due.day ? JsonString(DayText(*s.due.day)) : "null")
      << ", \"due_now\": " << (s.due.now ? "true" : "false")
      << ", \"due_reason\": " << (reason.empty() ? "null" : JsonString(reason));
  if (const auto* limits = std::get_if<GaugeLimits>(&s.limits)) {
    out << ", \"limits\": {\"new\": "
        << (limits->decidable() ? "[" + JsonNumberOrNull(limits->low, 4) + ", " +
                                      JsonNumberOrNull(limits->high, 4) + "]"
                                : "null")
        << ", \"wear\": " << JsonNumberOrNull(limits->wear, 4) << "}";
  }
  out << ", \"records\": [";
  for (size_t i = 0; i < s.records.size(); ++i) {
    const InspectionRecord& r = s.records[i];
    const bool broken = std::any_of(s.broken.begin(), s.broken.end(),
                                    [&](const BrokenLink& b) { return b.record == r.id; });
    out << (i ? ", " : "") << "{\"id\": " << r.id << ", \"date\": " << JsonString(r.date)
        << ", \"verdict\": " << JsonString(r.verdict)
        << ", \"margin_um\": " << JsonNumberOrNull(r.margin_um, 1)
        << ", \"replaces\": " << (r.replaces ? std::to_string(*r.replaces) : "null")
        << ", \"replaced_by\": " << (r.replaced_by ? std::to_string(*r.replaced_by) : "null")
        << ", \"imported\": " << (r.imported ? "true" : "false")
        << ", \"hash_matches\": " << (broken ? "false" : "true") << "}";
  }
  out << "], \"trend\": " << TrendJson(s.trend) << "}\n";
}

void Text(const Shown& s, std::ostream& out) {
  const GaugeEntry& g = s.gauge;
  out << g.number << "  " << g.thread << "  " << g.kind << "  "
      << (g.length.empty() ? "—" : g.length) << "\n"
      << "状态 " << g.state << "    检定周期 " << g.interval_months << " 个月"
      << "    启用日期 " << (g.since.empty() ? "—" : g.since) << "\n";
  if (!g.maker.empty() || !g.serial.empty()) {
    out << "制造厂 " << g.maker << "    出厂编号 " << g.serial << "\n";
  }
  if (!g.department.empty() || !g.keeper.empty()) {
    out << "使用部门 " << g.department << "    保管人 " << g.keeper << "\n";
  }
  if (!g.notes.empty()) out << "备注 " << g.notes << "\n";
  if (const auto* limits = std::get_if<GaugeLimits>(&s.limits)) {
    out << LimitsText(*limits) << "\n" << DescribeDatabase(limits->calculation) << "\n";
  } else {
    out << Say(std::get<Message>(s.limits)) << "\n";
  }
  out << "下次检定 " << DueText(s.due, Today()) << "\n";
  if (s.due.reason == DueReason::NotConforming && g.state == kInUse) {
    out << "该量规应停止使用，待处理（" << ActionCommands(g.number) << "）\n";
  }
  out << "\n检定记录：" << (s.records.empty() ? "无" : "") << "\n";
  for (const InspectionRecord& r : s.records) {
    out << "  " << r.id << "  " << r.date << "  " << RecordVerdictLine(r);
    if (r.imported) out << "（导入）";
    if (r.replaces) out << "（更正记录 " << *r.replaces << "）";
    if (r.replaced_by) out << "（已被记录 " << *r.replaced_by << " 更正）";
    out << "\n";
  }
  for (const BrokenLink& b : s.broken) {
    out << "记录 " << b.record << " 与量规台账的校验链不符：存入后被改动，或其前的记录被删改"
        << "（threadgauge-cli gauges verify）\n";
  }
  if (s.trend) {
    out << "\n磨损趋势（" << s.trend->records << " 次检定，最小二乘）：中径每月 "
        << Micrometres(s.trend->fit.um_per_month) << "；"
        << (s.trend->reaches_limit ? "预计 " + DayText(*s.trend->reaches_limit) + " 达到磨损极限"
                                   : std::string("按此趋势不会达到磨损极限"))
        << "\n";
  }
}

}  // namespace

int GaugesShow(const Arguments& args, std::ostream& out, std::ostream& err) {
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
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  const bool damaged = gauges->damage().has_value();
  const auto gauge = gauges->Find(*number);
  if (!gauge) {
    err << "编号 " << *number << " 不在量规台账中\n";
    return damaged ? 1 : 2;
  }
  const ToleranceDatabase db = ToleranceDatabase::Open(where.DatabasePath());
  Shown shown{*gauge,       gauges->RecordsOf(gauge->number), GaugeDue{},
              std::nullopt, LimitsOfGauge(*gauge, db),        {}};
  shown.due = DueOf(shown.gauge, shown.records);
  shown.trend = TrendOf(shown.records);
  shown.broken = gauges->BrokenLinks(gauge->number);
  if (format == "json") {
    Json(shown, out);
  } else {
    Text(shown, out);
  }
  return ReadStatus(*gauges, damaged, shown.broken.empty() ? 0 : 1, err);
}

}  // namespace threadgauge
