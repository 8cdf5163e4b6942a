#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "register/register_backup.h"
#include "words/message_words.h"

namespace threadgauge {

int GaugesVerify(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  bool good = !gauges->damage();
  const auto integrity = gauges->IntegrityFaults();
  for (const Message& fault : integrity) out << "文件检查：" << Say(fault) << "\n";
  const auto triggers = gauges->MissingTriggers();
  for (const Message& trigger : triggers) out << Say(trigger) << "（检定记录不再受保护）\n";
  const auto broken = gauges->BrokenLinks(std::nullopt);
  for (const BrokenLink& link : broken) {
    out << "记录 " << link.record << "（量规 " << link.gauge_number
        << "）与校验链不符：存入后被改动，或其前的记录被删改\n";
  }
  good = good && integrity.empty() && triggers.empty() && broken.empty() && !gauges->damage();
  if (good) {
    out << "量规台账完好：文件检查通过，触发器齐全，" << gauges->RecordCount()
        << " 条检定记录的校验链一致\n";
    return 0;
  }
  out << "量规台账校验未通过。" << Say(RestoreHint(gauges->path())) << "\n";
  return 1;
}

}  // namespace threadgauge
