// threadgauge-access-reader FILE OUT MEMORY [--code-page=N] [--expect=NAME]...
// Reads the tables of an Access file for the window and the command line, in a process of
// its own: a damaged file that sends the Access library into a loop or a crash ends this
// process only. Writes the tables to OUT and exits 0, or the reason to OUT and exits 1.
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/terminal.h"
#include "platform/utf8.h"
#include "tolerance/access_child.h"

int main(int argc, char** argv) {
  using namespace threadgauge;
  const std::vector<std::string> args = ProgramArguments(argc, argv);
  if (args.size() < 4) return 2;
  LimitOwnMemory(std::stoull(args[3]));
  AccessReadOptions options;
  for (size_t i = 4; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--code-page=", 0) == 0) options.code_page = std::stoi(arg.substr(12));
    if (arg.rfind("--expect=", 0) == 0) options.expected_names.push_back(arg.substr(9));
  }
  const auto read = ReadAccessTables(PathFromUtf8(args[1]), options);
  std::ofstream out(PathFromUtf8(args[2]), std::ios::binary);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    out << static_cast<int>(failure->message.code);
    return 1;
  }
  out << EncodeAccessTables(std::get<AccessTables>(read));
  out.close();
  return out ? 0 : 2;
}
