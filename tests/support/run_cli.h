#pragma once

#include <string>
#include <vector>

namespace threadgauge {

// threadgauge-cli run as a separate process, as a user runs it.
struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

// `prefix` is put before the program, e.g. a command that runs it as another user.
CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {});

}  // namespace threadgauge
