#include "support/run_cli.h"

#include "support/run_program.h"

namespace threadgauge {

CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix,
              const std::vector<std::pair<std::string, std::optional<std::string>>>& environment) {
  std::vector<std::string> argv = prefix;
  argv.push_back(THREADGAUGE_CLI);
  argv.insert(argv.end(), args.begin(), args.end());
  const ProgramRun run = RunProgram(argv, environment);
  return CliRun{run.exit, run.out, run.err};
}

}  // namespace threadgauge
