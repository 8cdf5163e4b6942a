#include "cli/cli11_reading.h"
#include "cli/paper_gui.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "platform/utf8.h"
#include "report/record_page.h"

namespace threadgauge {

const char* const kRecordHelp =
    "用法: threadgauge-cli record 记录号 --format pdf --out 文件 [--register 文件]\n"
    "\n"
    "一次检定的记录（检定记录），A4 纵向 PDF：量规、螺纹、公差数据库（文件及内容校验）、\n"
    "极限、每个读数及其中径、结论及余量、判定规则、下次检定日期和签字栏。\n"
    "\n"
    "退出状态：0 已写出；1 未能写出；2 输入有误。\n";

int RunRecordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> id_text, file;
  std::string format;
  app.add_option("id", id_text);
  app.add_option("--format", format);
  app.add_option("--out", file);
  const Reading read = ReadArguments(app, args, kRecordHelp, out, err);
  if (read.done) return read.exit;
  if (!id_text) {
    err << "缺少记录号，例如 threadgauge-cli record 12 --format pdf --out 记录.pdf\n";
    return 2;
  }
  if (format != "pdf" || !file) {
    err << "record 须有 --format pdf 和 --out 文件\n";
    return 2;
  }
  const auto id = WholeNumberOption("记录号", *id_text, err);
  if (!id) return 2;
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  const bool damaged = gauges->damage().has_value();
  const auto page = RecordPageFor(*gauges, *id);
  if (!page) {
    err << "量规台账中没有记录 " << *id_text << "\n";
    return damaged ? 1 : 2;
  }
  if (auto failed = DrawWithQt([&] { return WriteRecordPdf(*page, PathFromUtf8(*file)); })) {
    err << *failed << "\n";
    return 1;
  }
  out << "已写出记录 " << page->record.id << "：" << *file << "\n";
  if (page->chain_broken) {
    err << "记录 " << page->record.id << " 与量规台账的校验链不符：存入后被改动，或其前的记录被删改"
        << "（threadgauge-cli gauges verify）\n";
    return 1;
  }
  return ReadStatus(*gauges, damaged, 0, err);
}

}  // namespace threadgauge
