// threadgauge-cli: one calculation from the command line, the same as one press of 确定.
#include <iostream>
#include <string>
#include <vector>

#include "calculation/calculate.h"
#include "cli/batch_command.h"
#include "cli/db_commands.h"
#include "cli/length_option.h"
#include "cli/options.h"
#include "cli/register_commands.h"
#include "cli/render.h"
#include "cli/sheet_command.h"
#include "platform/data_location.h"
#include "platform/terminal.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"

int main(int argc, char** argv) {
  using namespace threadgauge;
  UseUtf8Console();
  const std::vector<std::string> all = ProgramArguments(argc, argv);
  const std::vector<std::string> args(all.begin() + (all.empty() ? 0 : 1), all.end());
  if (args.empty()) {
    std::cerr << CliHelp();
    return 2;
  }
  // The subcommands, each reading its own options with CLI11 (cli11_reading.h).
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "db") return RunDbCommand(rest, std::cout, std::cerr);
  if (args[0] == "batch") return RunBatchCommand(rest, std::cin, std::cout, std::cerr);
  if (args[0] == "sheet") return RunSheetCommand(rest, std::cout, std::cerr);
  if (args[0] == "gauges") return RunGaugesCommand(rest, std::cout, std::cerr);
#ifdef THREADGAUGE_SERVER_REGISTER
  if (args[0] == "register") return RunRegisterCommand(rest, std::cin, std::cout, std::cerr);
#endif
  if (args[0] == "inspect") return RunInspectCommand(rest, std::cout, std::cerr);
  if (args[0] == "record") return RunRecordCommand(rest, std::cout, std::cerr);
  auto [options, error] = ParseCliOptions(args);
  if (!options) {
    std::cerr << error << "\n";
    return 2;
  }
  if (options->help) {
    std::cout << CliHelp();
    return 0;
  }
  if (options->version) {
    std::cout << "threadgauge-cli " << THREADGAUGE_VERSION << "\n"
              << DescribeDatabase(LocateDatabase(DataPlaces::OfThisProgram()).path, std::nullopt)
              << "\n";
    return 0;
  }
  const auto length = LengthOption(options->inputs.length_range, std::cerr);
  if (!length) return 2;
  options->inputs.length_range = *length;
  if (options->request) options->request->length_range = *length;
  const std::filesystem::path database =
      options->database ? *options->database : LocateDatabase(DataPlaces::OfThisProgram()).path;
  const std::variant<GaugeRequest, Rejection> built =
      options->request ? *options->request : BuildRequest(options->inputs);
  if (const auto* rejection = std::get_if<Rejection>(&built)) {
    std::cerr << DescribeRejection(*rejection) << "\n";
    return 2;
  }
  const GaugeRequest& request = std::get<GaugeRequest>(built);
  const CalculationResult result = Calculate(request, ToleranceDatabase::Open(database));
  std::cout << (options->json ? RenderJson(result) : RenderText(request, result));
  return ExitStatus(result);
}
