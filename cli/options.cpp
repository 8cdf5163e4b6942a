#include "cli/options.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <utility>

#include "calculation/designation.h"
#include "calculation/gauge_kind.h"
#include "cli/cli11_reading.h"
#include "platform/utf8.h"
#include "tolerance/thread_class.h"
#include "words/calculation_words.h"
#include "words/designation_words.h"

namespace threadgauge {

std::string CliHelp() {
  std::string names;
  for (const GaugeKind* kind : GaugeKinds()) {
    names += (names.empty() ? "" : "、") + std::string(kind->name);
  }
  return "用法:\n"
         "  threadgauge-cli --diameter 文本 --pitch 文本 --grade 文本 --position 文本\n"
         "                  --gauge 文本 [--length 文本] [--database 文件] [--json]\n"
         "  threadgauge-cli --thread 螺纹标记 --gauge 文本 [--length 文本] [--database 文件] "
         "[--json]\n"
         "  threadgauge-cli sheet 螺纹标记 [--length 文本] [--database 文件]\n"
         "                  [--format text|json|csv|pdf] [--out 文件]\n"
         "  threadgauge-cli batch …      整个系列的量规尺寸表（threadgauge-cli batch --help）\n"
         "  threadgauge-cli db …         公差数据库的导入、导出和检查（threadgauge-cli db "
         "--help）\n"
         "  threadgauge-cli gauges …     量规台账：登记、列出、到期、导入导出（gauges --help）\n"
         "  threadgauge-cli inspect …    一次检定：读数、判定和记录（inspect --help）\n"
         "  threadgauge-cli record …     检定记录的 PDF（record --help）\n"
         "\n"
         "按窗口中按“确定”的同样方式计算一种螺纹量规的工作尺寸。\n"
         "每个选项取窗口中对应输入框所输入或选择的文本；省略的选项即为空输入。\n"
         "\n"
         "  --diameter  公称直径 (Text1)，例如 10\n"
         "  --pitch     螺距 (Combo1)，例如 1.5\n"
         "  --grade     公差等级 (Combo2)：4 至 9\n"
         "  --position  公差带 (Combo3)：G、H（内螺纹），e、f、g、h（外螺纹）\n"
         "              ISO 965-1 的公差带：" +
         DescribeClasses() +
         "\n"
         "  --thread    螺纹标记，代替上面四项，例如 M10×1.5-6H、M12-6g（不写螺距时取粗牙螺距）\n"
         "  --gauge     量规名称 (Combo4)：" +
         names +
         "\n"
         "  --length    螺纹部分长度 (Combo5)：小于或等于14、大于14至32、大于32至50、大于50至80\n"
         "  --database  公差数据库文件；默认按 db where 所示的顺序查找\n"
         "  --json      输出一个 JSON 对象：{\"fields\": 各结果字段 (Text2…Text28，未写入为 "
         "\"\"),\n"
         "              \"visible\": 各可显示/隐藏控件, \"captions\": Label17 与 Label18,\n"
         "              \"notices\": 状态栏提示, \"database\": 所用的公差数据库}\n"
         "  --help      显示本说明\n"
         "  --version   显示程序的版本和下一次计算要用的公差数据库\n"
         "\n"
         "sheet：一个螺纹的全套量规（内螺纹两种塞规；外螺纹两种环规及六种校对塞规），与窗口\n"
         "“查询→本螺纹全套量规…”相同。默认输出文字；json 为一个对象 {\"thread\", \"gauges\",\n"
         "\"notices\", \"database\"}；csv 为带 BOM 的 UTF-8；pdf 须用 --out 指定文件。\n"
         "\n"
         "退出状态：0 所有结果均已算出；1 有提示（某些值在数据库中查不到，相应字段为空）；\n"
         "2 输入或螺纹标记无法识别（提示文字写到标准错误输出）。\n"
         "\n"
         "Usage: the same in English. Each option takes the text typed or picked in the window's\n"
         "matching input; --thread takes a designation such as M10x1.5-6H instead of the four\n"
         "thread inputs. \"sheet\" computes every gauge of one thread. Exit status 0: every\n"
         "result computed; 1: notices given; 2: input or designation not understood.\n";
}

std::pair<std::optional<CliOptions>, std::string> ParseCliOptions(
    const std::vector<std::string>& args) {
  CliOptions options;
  CLI::App app;
  std::optional<std::string> database;
  bool thread_inputs_given = false;
  const std::pair<const char*, std::string CalculationInputs::*> texts[] = {
      {"--diameter", &CalculationInputs::nominal_diameter},
      {"--pitch", &CalculationInputs::pitch},
      {"--grade", &CalculationInputs::grade},
      {"--position", &CalculationInputs::position},
      {"--gauge", &CalculationInputs::gauge_name},
      {"--length", &CalculationInputs::length_range}};
  for (const auto& [name, member] : texts) app.add_option(name, options.inputs.*member);
  app.add_option("--database", database);
  app.add_option("--thread", options.thread);
  app.add_flag("--json", options.json);
  app.add_flag("--version", options.version);
  std::ostringstream out, err;
  const Reading read = ReadArguments(app, args, "", out, err);
  if (read.done && read.exit == 0) {
    options.help = true;
    return {std::move(options), std::string()};
  }
  if (read.done) {
    std::string message = err.str();
    if (!message.empty() && message.back() == '\n') message.pop_back();
    return {std::nullopt, message};
  }
  if (database) options.database = PathFromUtf8(*database);
  for (const char* name : {"--diameter", "--pitch", "--grade", "--position"}) {
    thread_inputs_given = thread_inputs_given || app.count(name) > 0;
  }
  if (options.thread) {
    if (thread_inputs_given) {
      return {std::nullopt, "--thread 不能与 --diameter、--pitch、--grade、--position 同时使用"};
    }
    const auto parsed = ParseDesignation(*options.thread);
    if (const auto* error = std::get_if<DesignationError>(&parsed)) {
      return {std::nullopt, DescribeDesignationError(*error)};
    }
    const Designation& thread = std::get<Designation>(parsed);
    if (!thread.thread_class) {
      return {std::nullopt, "螺纹标记中没有公差带；例如 " + thread.text + "-6H"};
    }
    if (options.inputs.gauge_name.empty())
      return {std::nullopt, DescribeRejection(Rejection::NoGaugeName)};
    options.request = RequestFor(thread, FindGaugeKind(options.inputs.gauge_name),
                                 options.inputs.gauge_name, options.inputs.length_range);
    options.request->reading_notes = ReadingNotices(thread, *options.thread);
  }
  return {std::move(options), std::string()};
}

}  // namespace threadgauge
