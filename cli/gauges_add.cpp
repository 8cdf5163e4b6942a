#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "register/inspection.h"
#include "words/message_words.h"

namespace threadgauge {

int GaugesAdd(const Arguments& args, std::ostream& out, std::ostream& err) {
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
    err << Say(*wrong) << "\n";
    return 2;
  }
  int exit = 0;
  auto gauges = OpenRegister(where, true, err, exit);
  if (!gauges) return exit;
  if (gauges->Find(gauge.number)) {
    err << "编号 " << gauge.number << " 已在量规台账中\n";
    return 2;
  }
  if (auto failed = gauges->Add(gauge)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << "已登记 " << gauge.number << "：" << gauge.thread << " " << gauge.kind
      << (gauge.length.empty() ? "" : " " + gauge.length) << "\n";
  return 0;
}

}  // namespace threadgauge
