#include "cli/db_commands.h"

#include <charconv>
#include <filesystem>
#include <optional>

#include "calculation/thread_series.h"
#include "cli/cli11_reading.h"
#include "platform/data_location.h"
#include "platform/utf8.h"
#include "tables/database_check.h"
#include "tables/database_files.h"
#include "words/file_words.h"
#include "words/message_words.h"

namespace threadgauge {

const char* const kDbHelp =
    "用法:\n"
    "  threadgauge-cli db where\n"
    "      下一次计算要用的公差数据库文件，以及依次查找过的位置（存在/不存在）。\n"
    "  threadgauge-cli db import 来源 --out 文件 [--force] [--code-page N]\n"
    "      来源为 .mdb/.accdb 文件，或每表一个 CSV 文件的文件夹（文件名即表名，第一行为列名，\n"
    "      UTF-8 或 GBK 编码）。写出只含程序所需八张表及其列的公差数据库；目标已存在时须加\n"
    "      --force。先写临时文件再改名，导入失败时原文件不变。\n"
    "  threadgauge-cli db export 文件 --to 文件夹 [--force]\n"
    "      每张表写一个 CSV（UTF-8，第一行为列名），可在电子表格中编辑后再导入。\n"
    "  threadgauge-cli db check [文件] [--code-page N]\n"
    "      "
    "检查公差数据库（不给文件时检查下一次计算要用的那个）是否完整：缺少的表和列、各表行数、范围表的"
    "顺序/间隙/重叠、\n"
    "      查不到量规公差的 TD2/Td2、缺少的螺距、非数值和空单元格。\n"
    "      退出状态 0 表示数据库完整，1 表示有缺项，2 表示无法读取或用法错误。\n"
    "  --code-page N  Access 97 文件按代码页 N 读取（如 936 即 GBK，950 即 Big5）；\n"
    "      不给时按文件头记录的代码页、936、950 的顺序，取能找到公差表表名的那一个。\n";

namespace {

struct DbArgs {
  std::vector<std::string> positional;
  std::optional<std::string> out, to;
  std::optional<int> code_page;
  bool force = false;
};

// Nothing when the command ends here: `exit` then says how (0 after --help).
std::optional<DbArgs> Parse(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, int& exit) {
  exit = 2;
  DbArgs parsed;
  CLI::App app;
  std::optional<std::string> code_page;
  app.add_option("files", parsed.positional);
  app.add_option("--out", parsed.out);
  app.add_option("--to", parsed.to);
  app.add_option("--code-page", code_page);
  app.add_flag("--force", parsed.force);
  const Reading read = ReadArguments(app, args, kDbHelp, out, err);
  if (read.done) {
    exit = read.exit;
    return std::nullopt;
  }
  if (code_page) {
    int number = 0;
    const auto [end, ec] =
        std::from_chars(code_page->data(), code_page->data() + code_page->size(), number);
    if (ec != std::errc() || end != code_page->data() + code_page->size() || number <= 0) {
      err << "--code-page 须为代码页的编号，例如 936\n";
      return std::nullopt;
    }
    parsed.code_page = number;
  }
  return parsed;
}

void TellCodePage(const std::optional<CodePageChoice>& code_page, std::ostream& out) {
  if (!code_page) return;
  const std::string note = DescribeCodePage(*code_page);
  if (!note.empty()) out << "注意：" << note << "\n";
}

int Where(const DbArgs& a, std::ostream& out, std::ostream& err) {
  if (!a.positional.empty()) {
    err << kDbHelp;
    return 2;
  }
  const DatabaseLocation location = LocateDatabase(DataPlaces::OfThisProgram());
  out << Utf8(location.path) << "\n";
  for (const auto& place : location.looked_at) {
    out << "  " << (place.exists ? "存在    " : "不存在  ") << Utf8(place.path) << "\n";
  }
  return 0;
}

int Import(const DbArgs& a, std::ostream& out, std::ostream& err) {
  if (a.positional.size() != 1 || !a.out) {
    err << kDbHelp;
    return 2;
  }
  const ImportOutcome outcome =
      ImportDatabase(PathFromUtf8(a.positional[0]), PathFromUtf8(*a.out), a.force, a.code_page);
  TellCodePage(outcome.code_page, out);
  for (const Message& warning : outcome.warnings) out << "注意：" << Say(warning) << "\n";
  if (outcome.error) {
    err << "导入失败：" << Say(*outcome.error) << "\n";
    return 1;
  }
  for (const auto& [table, rows] : outcome.rows) out << "表“" << table << "”：" << rows << " 行\n";
  out << "已写出 " << *a.out << "\n";
  return 0;
}

int Export(const DbArgs& a, std::ostream& out, std::ostream& err) {
  if (a.positional.size() != 1 || !a.to) {
    err << kDbHelp;
    return 2;
  }
  if (const auto error =
          ExportDatabase(PathFromUtf8(a.positional[0]), PathFromUtf8(*a.to), a.force)) {
    err << "导出失败：" << Say(*error) << "\n";
    return 1;
  }
  out << "已导出到 " << *a.to << "\n";
  return 0;
}

int Check(const DbArgs& a, std::ostream& out, std::ostream& err) {
  if (a.positional.size() > 1) {
    err << kDbHelp;
    return 2;
  }
  // Without a file: the one the next calculation would use.
  const std::string file = a.positional.empty()
                               ? Utf8(LocateDatabase(DataPlaces::OfThisProgram()).path)
                               : a.positional[0];
  auto read = ReadTablesFrom(PathFromUtf8(file), a.code_page);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    err << "无法检查：" << Say(failure->message) << "\n";
    return 2;
  }
  const TableSource& source = std::get<TableSource>(read);
  const CheckReport report = CheckDatabase(source.tables, ShippedCheckKeys());
  out << "公差数据库 " << file << "\n";
  TellCodePage(source.code_page, out);
  for (const std::string& line : report.lines) out << line << "\n";
  out << (report.complete ? "结论：数据库完整。\n"
                          : "结论：数据库不完整，标 ✗ 的项目会使相应的量规尺寸查不到。\n");
  return report.complete ? 0 : 1;
}

}  // namespace

CheckKeys ShippedCheckKeys() { return CheckKeys{PitchesToCover(), LengthRangesToCover()}; }

int RunDbCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || args[0] == "--help") {
    (args.empty() ? err : out) << kDbHelp;
    return args.empty() ? 2 : 0;
  }
  int exit = 2;
  const auto parsed = Parse({args.begin() + 1, args.end()}, out, err, exit);
  if (!parsed) return exit;
  if (args[0] == "where") return Where(*parsed, out, err);
  if (args[0] == "import") return Import(*parsed, out, err);
  if (args[0] == "export") return Export(*parsed, out, err);
  if (args[0] == "check") return Check(*parsed, out, err);
  err << "未知命令：db " << args[0] << "\n" << kDbHelp;
  return 2;
}

}  // namespace threadgauge
