#include "cli/batch_command.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <tuple>

#include "calculation/batch.h"
#include "cli/batch_output.h"
#include "cli/cli11_reading.h"
#include "cli/length_option.h"
#include "cli/render.h"
#include "platform/data_location.h"
#include "platform/number_text.h"
#include "platform/terminal.h"
#include "platform/utf8.h"
#include "tolerance/tolerance_session.h"
#include "words/calculation_words.h"
#include "words/designation_words.h"

namespace threadgauge {

const char* const kBatchHelp =
    "用法: threadgauge-cli batch (--series coarse|fine|all [--from D] [--to D] [--choice 1,2,3]\n"
    "                             | --designations 文件|-) --classes 公差带列表\n"
    "                             [--length 文本] [--database 文件]\n"
    "                             [--format csv|jsonl|xlsx] [--out 文件]\n"
    "\n"
    "为整个系列的螺纹计算全部适用的量规（G、H：两种塞规；e、f、g、h：两种环规及六种校对\n"
    "塞规），每个螺纹、公差带和量规一行：螺纹标记、d、P、公差带、量规名称、窗口中的十个\n"
    "结果字段和提示。与窗口按“确定”的计算完全相同。\n"
    "\n"
    "  --series        ISO 261（GB/T 193）直径与螺距系列中的螺纹，1–300 mm：\n"
    "                  coarse 粗牙，fine 细牙，all 两者；--from 与 --to 限定公称直径的\n"
    "                  范围（含两端）；--choice 只取所列的选择系列（1、2、3），\n"
    "                  例如 --choice 1 只取第一选择系列\n"
    "  --designations  每行一个螺纹标记的文件（- 为标准输入）；行中写了公差带时以行为准\n"
    "  --classes       逗号分隔的公差带，例如 6H,6g（内螺纹 G、H 配公差等级 4–8；\n"
    "                  外螺纹 e、f、g、h 配公差等级 3–9）\n"
    "  --format        csv（默认，UTF-8 带 BOM）、jsonl（每行一个 JSON 对象）、\n"
    "                  xlsx（每个公差带一个工作表，须用 --out）\n"
    "\n"
    "退出状态：0 每行都完整；1 有提示或有无法识别的行（按行号报告，其余照算）；2 选项错误。\n";

namespace {

struct BatchArgs {
  std::optional<Series> series;
  double from = 0;
  double to = 1e9;
  std::vector<int> choices;  // of ISO 261: 1, 2, 3; empty for all
  std::optional<std::string> designations;
  std::vector<ThreadClass> classes;
  std::string length;
  std::optional<std::filesystem::path> database;
  std::string format = "csv";
  std::optional<std::filesystem::path> out;
};

// Nothing when the command ends here: `exit` then says how (0 after --help).
std::optional<BatchArgs> Parse(const std::vector<std::string>& args, std::ostream& out,
                               std::ostream& err, int& exit) {
  exit = 2;
  BatchArgs parsed;
  const auto fail = [&](const std::string& message) -> std::optional<BatchArgs> {
    err << message << "\n";
    return std::nullopt;
  };
  CLI::App app;
  std::optional<std::string> series, from, to, choice, classes;
  OutputOptions output;
  app.add_option("--series", series);
  app.add_option("--from", from);
  app.add_option("--to", to);
  app.add_option("--choice", choice);
  app.add_option("--designations", parsed.designations);
  app.add_option("--classes", classes);
  output.AddTo(app, parsed.format);
  const Reading read = ReadArguments(app, args, kBatchHelp, out, err);
  if (read.done) {
    exit = read.exit;
    return std::nullopt;
  }
  if (series) {
    if (*series == "coarse") {
      parsed.series = Series::Coarse;
    } else if (*series == "fine") {
      parsed.series = Series::Fine;
    } else if (*series == "all") {
      parsed.series = Series::All;
    } else {
      return fail("--series 须为 coarse、fine 或 all");
    }
  }
  for (const auto& [name, text, bound] :
       {std::tuple{"--from", &from, &parsed.from}, std::tuple{"--to", &to, &parsed.to}}) {
    if (!*text) continue;
    const auto number = ParseStoredNumber(**text);
    if (!number) return fail(std::string(name) + " 须为公称直径，例如 1.6");
    *bound = *number;
  }
  if (choice) {
    std::istringstream list(*choice);
    for (std::string item; std::getline(list, item, ',');) {
      if (item != "1" && item != "2" && item != "3") {
        return fail("--choice 须为 1、2、3 中的一个或几个，用逗号分隔，例如 1,2");
      }
      parsed.choices.push_back(item[0] - '0');
    }
  }
  if (classes) {
    std::istringstream list(*classes);
    for (std::string item; std::getline(list, item, ',');) {
      const auto thread_class = ParseThreadClass(item);
      if (!thread_class) {
        return fail("无法识别的公差带“" + item + "”，例如 6H 或 6g（" + DescribeClasses() + "）");
      }
      parsed.classes.push_back(*thread_class);
    }
  }
  if (!output.Resolve(err)) return std::nullopt;
  parsed.length = output.length;
  parsed.database = output.database;
  parsed.out = output.out;
  if (parsed.format != "csv" && parsed.format != "jsonl" && parsed.format != "xlsx") {
    return fail("--format 须为 csv、jsonl 或 xlsx");
  }
  if (parsed.series.has_value() == parsed.designations.has_value()) {
    return fail("须给出 --series 或 --designations 之一（见 threadgauge-cli batch --help）");
  }
  if (parsed.series && parsed.classes.empty()) return fail("--series 须与 --classes 一起使用");
  if (parsed.format == "xlsx" && !parsed.out) return fail("--format xlsx 须用 --out 指定文件");
  return parsed;
}

// The threads to compute, each with its class; bad lines told on `err` by line number.
std::vector<Designation> Threads(const BatchArgs& a, std::istream& in, std::ostream& err,
                                 bool& bad_lines, bool& unreadable) {
  std::vector<Designation> threads;
  const auto with_classes = [&](const Designation& thread) {
    for (const ThreadClass& thread_class : a.classes)
      threads.push_back(WithClass(thread, thread_class));
  };
  if (a.series) {
    for (const Designation& thread : SeriesThreads(*a.series, a.from, a.to, a.choices)) {
      with_classes(thread);
    }
    return threads;
  }
  std::ifstream file;
  std::istream* lines = &in;
  if (*a.designations != "-") {
    file.open(PathFromUtf8(*a.designations), std::ios::binary);
    if (!file) {
      err << "无法读取 " << *a.designations << "，没有写出任何文件\n";
      unreadable = true;
      return threads;
    }
    lines = &file;
  }
  size_t number = 0;
  for (std::string line; std::getline(*lines, line);) {
    ++number;
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const auto parsed = ParseDesignation(line);
    if (const auto* error = std::get_if<DesignationError>(&parsed)) {
      err << "第 " << number << " 行：" << DescribeDesignationError(*error) << "\n";
      bad_lines = true;
      continue;
    }
    const Designation& thread = std::get<Designation>(parsed);
    if (thread.thread_class) {
      threads.push_back(thread);  // a class on the line overrides --classes
    } else if (a.classes.empty()) {
      err << "第 " << number << " 行：" << thread.text << " 没有公差带，也没有给出 --classes\n";
      bad_lines = true;
    } else {
      with_classes(thread);
    }
  }
  return threads;
}

// "已算 120/800 行，每秒 950 行，约剩 0.7 秒", rewritten in place on a terminal.
class Progress {
 public:
  Progress(size_t total, std::ostream& err)
      : total_(total),
        err_(err),
        shown_(StandardErrorIsTerminal()),
        start_(std::chrono::steady_clock::now()),
        last_(start_) {}
  void Done(size_t done) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (done < total_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char line[160];
    std::snprintf(line, sizeof line, "\r已算 %zu/%zu 个螺纹，每秒 %.0f 个，约剩 %.1f 秒   ", done,
                  total_, rate, rate > 0 ? static_cast<double>(total_ - done) / rate : 0.0);
    err_ << line << (done == total_ ? "\n" : "") << std::flush;
  }

 private:
  size_t total_;
  std::ostream& err_;
  bool shown_;
  std::chrono::steady_clock::time_point start_, last_;
};

}  // namespace

int RunBatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) {
  int exit = 2;
  const auto parsed = Parse(args, out, err, exit);
  if (!parsed) return exit;
  bool bad_lines = false, unreadable = false;
  const std::vector<Designation> threads = Threads(*parsed, in, err, bad_lines, unreadable);
  if (unreadable) return 2;
  if (threads.empty() && parsed->series) {
    err << "所选范围内没有螺纹（--from " << PlainDecimal(parsed->from) << " --to "
        << PlainDecimal(parsed->to) << "），没有写出任何文件\n";
    return 2;
  }
  const std::filesystem::path database =
      parsed->database ? *parsed->database : LocateDatabase(DataPlaces::OfThisProgram()).path;

  ToleranceSession session;
  Progress progress(threads.size(), err);
  std::vector<BatchRow> rows;
  for (size_t i = 0; i < threads.size(); ++i) {
    auto more = BatchRows(threads[i], parsed->length, session.Open(database));
    if (const auto* rejection = std::get_if<Rejection>(&more)) {
      err << threads[i].text << "：" << DescribeRejection(*rejection) << "\n";
      bad_lines = true;
    } else {
      auto& gauges = std::get<std::vector<BatchRow>>(more);
      rows.insert(rows.end(), std::make_move_iterator(gauges.begin()),
                  std::make_move_iterator(gauges.end()));
    }
    progress.Done(i + 1);
  }

  if (parsed->format == "xlsx") {
    if (const auto error = WriteBatchXlsx(rows, *parsed->out)) {
      err << *error << "\n";
      return 2;
    }
  } else {
    std::string text;
    if (parsed->format == "csv") {
      text = BatchCsv(rows);
    } else {
      for (const BatchRow& row : rows) text += BatchJsonLine(row);
    }
    if (!WriteOutput(text, parsed->out, out, err)) return 2;
  }
  bool notices = false;
  for (const BatchRow& row : rows) notices = notices || !row.notices.empty();
  return notices || bad_lines ? 1 : 0;
}

}  // namespace threadgauge
