// threadgauge-cli gauges migrate: a register moved whole from a file to a server, or from a
// server to a file for an offline copy; and gauges history: who changed a gauge and how.
#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "platform/utf8.h"
#include "register/ledger.h"
#include "register/register_location.h"
#include "words/message_words.h"

namespace threadgauge {

int GaugesMigrate(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  std::string from, to;
  app.add_option("--from", from)->required();
  app.add_option("--to", to)->required();
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!IsServerAddress(to) && std::filesystem::exists(PathFromUtf8(to))) {
    err << Say({MessageCode::CopyTargetExists, {to}}) << "\n";
    return 2;
  }
  // The source is only read: a file is never made where it was wrongly named.
  auto source = OpenRegisterAt(from, false);
  if (const auto* failed = std::get_if<RegisterError>(&source)) {
    err << Say(failed->message) << "\n";
    return 2;
  }
  auto target = OpenRegisterAt(to, true);
  if (const auto* failed = std::get_if<RegisterError>(&target)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  const GaugeRegister& a = std::get<GaugeRegister>(source);
  GaugeRegister& b = std::get<GaugeRegister>(target);
  if (auto failed = CopyRegister(a.store(), b.store())) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << "已把量规台账 " << a.where() << " 迁移到 " << b.where() << "：" << b.Gauges().size()
      << " 件量规，" << b.RecordCount() << " 条检定记录；两边核对一致，源台账未改动\n";
  return 0;
}

int GaugesHistory(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::string number;
  app.add_option("number", number)->required();
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  if (!gauges->Find(number)) {
    err << Say({MessageCode::GaugeNumberUnknown, {number}}) << "\n";
    return gauges->damage() ? 1 : 2;
  }
  const auto history = gauges->History(number);
  if (!history) {
    if (gauges->damage()) {
      err << Say(*gauges->damage()) << "\n";
      return 1;
    }
    err << "本机文件的量规台账不记录变更；服务器上的量规台账才有变更记录\n";
    return 2;
  }
  for (const GaugeChange& change : *history) {
    out << change.at << "  " << change.who << "  " << FieldHeading(change.field);
    if (change.field != "登记") out << "：" << change.before << " → " << change.after;
    out << "\n";
  }
  return 0;
}

}  // namespace threadgauge
