#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
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

// The options `sheet` and `batch` share: the thread length (a range's text or mm), the
// database, the format and the output file, read as typed and then made what they name.
struct OutputOptions {
  std::optional<std::string> length_typed, database_typed, out_typed;
  std::string length;  // the range
  std::optional<std::filesystem::path> database, out;

  void AddTo(CLI::App& app, std::string& format);
  // False, with the reason on `err`, for a length no range holds.
  bool Resolve(std::ostream& err);
};

}  // namespace threadgauge
