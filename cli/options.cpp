#include "cli/options.h"

#include <utility>

#include "calculation/gauge_kind.h"
#include "tolerance/utf8.h"

namespace threadgauge {

std::string CliHelp() {
  std::string names;
  for (const GaugeKind* kind : GaugeKinds()) {
    names += (names.empty() ? "" : "、") + std::string(kind->name);
  }
  return "用法: threadgauge-cli --diameter 文本 --pitch 文本 --grade 文本 --position 文本\n"
    "                      --gauge 文本 [--length 文本] [--database 文件] [--json]\n"
    "\n"
    "按窗口中按“确定”的同样方式计算一种螺纹量规的工作尺寸。\n"
    "每个选项取窗口中对应输入框所输入或选择的文本；省略的选项即为空输入。\n"
    "\n"
    "  --diameter  公称直径 (Text1)，例如 10\n"
    "  --pitch     螺距 (Combo1)，例如 1.5\n"
    "  --grade     公差等级 (Combo2)：4 至 9\n"
    "  --position  公差带 (Combo3)：G、H（内螺纹），e、f、g、h（外螺纹）\n"
    "  --gauge     量规名称 (Combo4)：" + names + "\n"
    "  --length    螺纹部分长度 (Combo5)：小于或等于14、大于14至32、大于32至50、大于50至80\n"
    "  --database  公差数据库文件；默认为程序自己的 公差表/公差表.db\n"
    "  --json      输出一个 JSON 对象：{\"fields\": 各结果字段 (Text2…Text28，未写入为 \"\"),\n"
    "              \"visible\": 各可显示/隐藏控件, \"captions\": Label17 与 Label18,\n"
    "              \"notices\": 状态栏提示}\n"
    "  --help      显示本说明\n"
    "\n"
    "公差数据库的导入、导出和检查：threadgauge-cli db --help\n"
    "\n"
    "退出状态：0 所有结果均已算出；1 有提示（某些值在数据库中查不到，相应字段为空）；\n"
    "2 输入被拒绝（提示文字写到标准错误输出）。\n"
    "\n"
    "Usage: the same in English. Each option takes the text typed or picked in the window's\n"
    "matching input. Exit status 0: every result computed; 1: notices given (fields left\n"
    "empty for values missing from the database); 2: input rejected (message on stderr).\n";
}

std::pair<std::optional<CliOptions>, std::string> ParseCliOptions(
    const std::vector<std::string>& args) {
  CliOptions options;
  const std::pair<const char*, std::string FormInputs::*> texts[] = {
      {"--diameter", &FormInputs::Text1}, {"--pitch", &FormInputs::Combo1},
      {"--grade", &FormInputs::Combo2},   {"--position", &FormInputs::Combo3},
      {"--gauge", &FormInputs::Combo4},   {"--length", &FormInputs::Combo5}};
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (name == "--json" || name == "--help" || name == "-h") {
      if (value) return {std::nullopt, "选项 " + name + " 不带值"};
      (name == "--json" ? options.json : options.help) = true;
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) return {std::nullopt, "选项 " + name + " 缺少值"};
      value = args[++i];
    }
    bool known = false;
    for (const auto& [option, member] : texts) {
      if (name == option) {
        options.inputs.*member = *value;
        known = true;
      }
    }
    if (name == "--database") {
      options.database = PathFromUtf8(*value);
      known = true;
    }
    if (!known) return {std::nullopt, "未知选项：" + name + "（见 --help）"};
  }
  return {std::move(options), std::string()};
}

}  // namespace threadgauge
