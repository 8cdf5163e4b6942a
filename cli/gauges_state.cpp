#include <algorithm>

#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

int SetState(const std::string& number, const std::string& state, const RegisterOptions& where,
             std::ostream& out, std::ostream& err) {
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  if (!gauges->Find(number)) {
    err << "编号 " << number << " 不在量规台账中\n";
    return gauges->damage() ? 1 : 2;
  }
  if (auto failed = gauges->SetState(number, state)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << number << (state == kRetired ? " 已报废；其检定记录保留" : " 的状态已改为 " + state)
      << "\n";
  return 0;
}

}  // namespace

int GaugesRetire(const Arguments& args, std::ostream& out, std::ostream& err) {
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
  return SetState(*number, kRetired, where, out, err);
}

int GaugesSetState(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> number, state;
  app.add_option("number", number);
  app.add_option("state", state);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!number || !state) {
    err << "须有编号和状态，例如 threadgauge-cli gauges set-state TG-2024-017 停用\n";
    return 2;
  }
  if (std::find(kGaugeStates.begin(), kGaugeStates.end(), *state) == kGaugeStates.end()) {
    err << "状态“" << *state << "”不是 在用、停用、封存、报废 之一\n";
    return 2;
  }
  return SetState(*number, *state, where, out, err);
}

}  // namespace threadgauge
