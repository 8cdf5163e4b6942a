#include "support/run_cli.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/fixture_database.h"

namespace threadgauge {
namespace {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  testing::TemporaryFolder folder;
  std::string command;
  for (const auto& word : prefix) command.append(ShellQuoted(word)).append(" ");
  command += ShellQuoted(THREADGAUGE_CLI);
  for (const auto& arg : args) command.append(" ").append(ShellQuoted(arg));
  command.append(" > ").append(ShellQuoted((folder.path() / "out").string()));
  command.append(" 2> ").append(ShellQuoted((folder.path() / "err").string()));
  const int status = std::system(command.c_str());
  CliRun run;
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = testing::ReadBytes(folder.path() / "out");
  run.err = testing::ReadBytes(folder.path() / "err");
  return run;
}

}  // namespace threadgauge
