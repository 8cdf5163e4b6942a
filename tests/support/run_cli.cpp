#include "support/run_cli.h"

#include "platform/utf8.h"
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

std::vector<std::pair<std::string, std::optional<std::string>>> UserDataFolderAt(
    const std::filesystem::path& folder) {
  return {{"XDG_DATA_HOME", Utf8(folder)}, {"APPDATA", Utf8(folder)}, {"HOME", Utf8(folder)}};
}

}  // namespace threadgauge
