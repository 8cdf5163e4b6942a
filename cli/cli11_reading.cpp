#include "cli/cli11_reading.h"

#include <algorithm>

#include "cli/length_option.h"
#include "platform/utf8.h"

namespace threadgauge {

Reading ReadArguments(CLI::App& app, const std::vector<std::string>& args, const char* help,
                      std::ostream& out, std::ostream& err) {
  bool asked_for_help = false;
  app.set_help_flag();  // the program's own Chinese help, not CLI11's
  app.add_flag("-h,--help", asked_for_help);
  app.allow_extras();  // told below, by name
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
  try {
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch&) {
    // An option at the end with nothing after it.
    const std::string& last = args.empty() ? std::string() : args.back();
    err << "选项 " << last << " 缺少值（见 --help）\n";
    return {true, 2};
  } catch (const CLI::ParseError& error) {
    err << "无法识别的参数（" << error.what() << "；见 --help）\n";
    return {true, 2};
  }
  if (asked_for_help) {
    out << help;
    return {true, 0};
  }
  const std::vector<std::string> extras = app.remaining();
  if (!extras.empty()) {
    const std::string& first = extras.front();
    err << (first.rfind('-', 0) == 0 ? "未知选项：" : "未知命令：") << first << "（见 --help）\n";
    return {true, 2};
  }
  return {};
}

void OutputOptions::AddTo(CLI::App& app, std::string& format) {
  app.add_option("--length", length_typed);
  app.add_option("--database", database_typed);
  app.add_option("--format", format);
  app.add_option("--out", out_typed);
}

bool OutputOptions::Resolve(std::ostream& err) {
  if (length_typed) {
    const auto range = LengthOption(*length_typed, err);
    if (!range) return false;
    length = *range;
  }
  if (database_typed) database = PathFromUtf8(*database_typed);
  if (out_typed) out = PathFromUtf8(*out_typed);
  return true;
}

}  // namespace threadgauge
