#include "cli/register_commands.h"
#include "gauges_subcommands.h"

namespace threadgauge {

const char* const kGaugesHelp =
    "用法: threadgauge-cli gauges add --number 编号 --thread 螺纹标记 --gauge 量规名称\n"
    "                             [--length 文本或毫米数] [--interval 月数] [--maker 文字]\n"
    "                             [--serial 文字] [--since 日期] [--department 文字]\n"
    "                             [--keeper 文字] [--notes 文字]\n"
    "       threadgauge-cli gauges list [--state 状态] [--due-within 天数] [--on 日期]\n"
    "                             [--format text|json|csv]\n"
    "       threadgauge-cli gauges show 编号 [--format text|json]\n"
    "       threadgauge-cli gauges retire 编号\n"
    "       threadgauge-cli gauges set-state 编号 在用|停用|封存|报废\n"
    "       threadgauge-cli gauges import 文件.csv [--good-rows]\n"
    "       threadgauge-cli gauges import-records 文件.csv [--good-rows]\n"
    "       threadgauge-cli gauges export --format csv|xlsx --out 文件\n"
    "       threadgauge-cli gauges backup [--to 文件]\n"
    "       threadgauge-cli gauges restore 备份文件\n"
    "       threadgauge-cli gauges verify\n"
    "       threadgauge-cli gauges settings [--organisation 单位名称]\n"
    "       threadgauge-cli gauges history 编号\n"
    "       threadgauge-cli gauges migrate --from 文件或URI --to URI或文件\n"
    "以上均可加 --register 文件或服务器（量规台账，默认为环境变量 THREADGAUGE_REGISTER，\n"
    "再默认为用户数据文件夹中的 量规台账.db）和 --database 文件（公差数据库）。服务器写作\n"
    "postgresql://主机:端口/库名 或 service=名；密码取自 libpq 的密码文件或 PGPASSWORD。\n"
    "history 列出服务器上一件量规的每次变更（谁、何时、哪一栏、改前、改后）。migrate 把\n"
    "整个台账（量规、检定记录、读数、校对塞规结果）一次复制到空的台账，再核对两边的条数和\n"
    "记录的校验链；源台账不改动。\n"
    "\n"
    "量规台账：每件量规一行（编号唯一）。状态为 在用、停用、封存 或 报废；有检定记录的量规\n"
    "不删除，只报废。下次检定日期为上次合格的检定（没有时为启用日期）加检定周期；磨损趋势\n"
    "（三次以上检定）预计更早达到磨损极限时取那一天。检定不合格或不能判定的量规、从未检定\n"
    "且没有启用日期的量规，在处理前一直列为到期。--due-within 列出在用且在 --on（默认\n"
    "今天）之后若干天内到期或已过期的量规。\n"
    "import 读 UTF-8 或 GBK 编码的 CSV，第 1 行为列标题（编号、螺纹、量规、螺纹部分长度、\n"
    "制造厂、出厂编号、启用日期、检定周期(月)、使用部门、保管人、状态、备注）；\n"
    "import-records 读检定历史（编号、检定日期、检定员、方法、测针或钢球直径、读数，\n"
    "可有不确定度、证书号、备注），每行按现在的公差表判定并标为“导入”。有错的行全部\n"
    "列出，整个文件无错才写入，加 --good-rows 则只写入无错的行。\n"
    "每天第一次修改之前，台账先复制到旁边的“量规台账备份”文件夹（保留最近 10 份和一年内\n"
    "每月一份）；backup 立即复制，restore 检查备份后替换台账（原文件保留为\n"
    "量规台账.db.before-restore-日期）。verify 检查文件、保护记录的触发器和记录的校验链。\n"
    "\n"
    "退出状态：0 完成；1 未能写入、有行未导入、台账已损坏或校验不符；2 输入有误（未写入\n"
    "任何内容）。\n";

int RunGaugesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "缺少子命令：add、list、show、retire、set-state、import、import-records、export、"
           "backup、restore、verify、settings、history 或 migrate（见 --help）\n";
    return 2;
  }
  const std::string& command = args[0];
  const Arguments rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h") {
    out << kGaugesHelp;
    return 0;
  }
  using Subcommand = int (*)(const Arguments&, std::ostream&, std::ostream&);
  const std::pair<const char*, Subcommand> subcommands[] = {{"add", GaugesAdd},
                                                            {"list", GaugesList},
                                                            {"show", GaugesShow},
                                                            {"retire", GaugesRetire},
                                                            {"set-state", GaugesSetState},
                                                            {"import", GaugesImport},
                                                            {"import-records", GaugesImportRecords},
                                                            {"export", GaugesExport},
                                                            {"backup", GaugesBackup},
                                                            {"restore", GaugesRestore},
                                                            {"verify", GaugesVerify},
                                                            {"settings", GaugesSettings},
                                                            {"migrate", GaugesMigrate},
                                                            {"history", GaugesHistory}};
  for (const auto& [name, run] : subcommands) {
    if (command == name) return run(rest, out, err);
  }
  err << "未知命令：gauges " << command << "（见 --help）\n";
  return 2;
}

}  // namespace threadgauge
