#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "words/message_words.h"

namespace threadgauge {

int GaugesSettings(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> organisation;
  app.add_option("--organisation", organisation);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto gauges = OpenRegister(where, organisation.has_value(), err, exit);
  if (!gauges) return exit;
  if (organisation) {
    if (auto failed = gauges->SetSetting("organisation", *organisation)) {
      err << Say(failed->message) << "\n";
      return 1;
    }
  }
  const std::string name = gauges->Setting("organisation");
  out << "单位名称：" << (name.empty() ? "（未设置）" : name) << "\n";
  return 0;
}

}  // namespace threadgauge
