#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace threadgauge {

// Every command's options are read by CLI11 through this one reader, so that `--x=value`,
// a missing value and unknown options and words are answered alike, in Chinese: "未知选项",
// "未知命令", "选项 … 缺少值". `help` is the command's own help text for --help/-h. True when
// the arguments were read; otherwise the answer is on `out` (help, exit 0) or `err`, and
// `exit` holds the exit status.
struct Reading {
  bool done = false;  // --help was answered, or the arguments were refused
  int exit = 0;
};
Reading ReadArguments(CLI::App& app, const std::vector<std::string>& args, const char* help,
                      std::ostream& out, std::ostream& err);

}  // namespace threadgauge
