#include <algorithm>
#include <sstream>

#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "gauges_subcommands.h"
#include "register/ledger.h"

namespace threadgauge {
namespace {

std::string ListJson(const std::vector<LedgerRow>& rows) {
  std::ostringstream json;
  json << "[";
  for (size_t i = 0; i < rows.size(); ++i) {
    const LedgerRow& row = rows[i];
    const auto text_or_null = [](const std::optional<std::string>& text) {
      return text ? JsonString(*text) : std::string("null");
    };
    const std::string reason = DueReasonText(row.due);
    json << (i ? ",\n " : "") << "{\"number\": " << JsonString(row.gauge.number)
         << ", \"thread\": " << JsonString(row.gauge.thread)
         << ", \"gauge\": " << JsonString(row.gauge.kind)
         << ", \"length\": " << JsonString(row.gauge.length)
         << ", \"state\": " << JsonString(row.gauge.state)
         << ", \"last_record\": " << text_or_null(row.last_record) << ", \"next_due\": "
         << text_or_null(row.due.day ? std::optional(DayText(*row.due.day)) : std::nullopt)
         << ", \"due_now\": " << (row.due.now ? "true" : "false") << ", \"due_reason\": "
         << text_or_null(reason.empty() ? std::nullopt : std::optional(reason)) << "}";
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
         << "  上次检定 " << row.last_record.value_or("—") << "  下次检定 " << DueText(row.due, on)
         << "\n";
  }
  return text.str();
}

}  // namespace

int GaugesList(const Arguments& args, std::ostream& out, std::ostream& err) {
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
    if (*number < 0 || *number > 36500 || *number != static_cast<long>(*number)) {
      err << "--due-within 须为 0 至 36500 的整天数\n";
      return 2;
    }
    days = static_cast<long>(*number);
  }
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  const bool damaged = gauges->damage().has_value();
  std::vector<LedgerRow> rows = LedgerRows(*gauges);
  std::erase_if(rows, [&](const LedgerRow& row) {
    return (state && row.gauge.state != *state) || (days && !DueWithin(row, *day, *days));
  });
  out << (format == "json"  ? ListJson(rows)
          : format == "csv" ? LedgerCsv(rows)
                            : ListText(rows, *day));
  return ReadStatus(*gauges, damaged, 0, err);
}

}  // namespace threadgauge
