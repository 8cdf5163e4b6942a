#include <fstream>
#include <iterator>
#include <set>

#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "platform/utf8.h"
#include "register/ledger.h"
#include "register/record_import.h"
#include "tolerance/tolerance_database.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

struct ImportArgs {
  RegisterOptions where;
  std::optional<std::string> file;
  bool good_rows = false;
};

// The file argument and --good-rows; nothing when the command is answered already.
std::optional<int> ReadImportArgs(const Arguments& args, ImportArgs& a, const char* example,
                                  std::ostream& out, std::ostream& err) {
  CLI::App app;
  a.where.AddTo(app);
  app.add_option("file", a.file);
  app.add_flag("--good-rows", a.good_rows);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!a.file) {
    err << "缺少 CSV 文件，例如 " << example << "\n";
    return 2;
  }
  return std::nullopt;
}

// Problems are listed; nothing is written unless every row is good or the good rows were
// asked for. The exit status.
int Report(const std::vector<Message>& problems, size_t good, bool good_rows, const char* what,
           std::ostream& err) {
  for (const Message& problem : problems) err << Say(problem) << "\n";
  if (!problems.empty() && !good_rows) {
    err << problems.size() << " 行有错，未导入任何" << what
        << "（改正后重新导入，或加 --good-rows 只导入无错的 " << good << " 行）\n";
    return 2;
  }
  return 0;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& typed, std::ostream& err) {
  std::ifstream in(PathFromUtf8(typed), std::ios::binary);
  if (!in) {
    err << "无法读取 " << typed << "\n";
    return std::nullopt;
  }
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int GaugesImport(const Arguments& args, std::ostream& out, std::ostream& err) {
  ImportArgs a;
  if (auto answered = ReadImportArgs(args, a, "threadgauge-cli gauges import 台账.csv", out, err)) {
    return *answered;
  }
  const auto bytes = ReadWholeFile(*a.file, err);
  if (!bytes) return 2;
  int exit = 0;
  auto gauges = OpenRegister(a.where, true, err, exit);
  if (!gauges) return exit;
  std::set<std::string> registered;
  for (const GaugeEntry& gauge : gauges->Gauges()) registered.insert(gauge.number);
  const auto read_file = ReadLedgerCsv(*bytes, Today(), registered);
  if (const auto* wrong = std::get_if<Message>(&read_file)) {
    err << *a.file << "：" << Say(*wrong) << "\n";
    return 2;
  }
  const LedgerImport& ledger = std::get<LedgerImport>(read_file);
  out << "按 " << ledger.encoding << " 编码读取 " << *a.file << "\n";
  for (const std::string& column : ledger.ignored_columns) out << "未使用的列：" << column << "\n";
  if (const int refused = Report(ledger.problems, ledger.good.size(), a.good_rows, "量规", err)) {
    return refused;
  }
  if (auto failed = gauges->AddAll(ledger.good)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << "已导入 " << ledger.good.size() << " 件量规\n";
  return ledger.problems.empty() ? 0 : 1;
}

int GaugesImportRecords(const Arguments& args, std::ostream& out, std::ostream& err) {
  ImportArgs a;
  if (auto answered =
          ReadImportArgs(args, a, "threadgauge-cli gauges import-records 检定记录.csv", out, err)) {
    return *answered;
  }
  const auto bytes = ReadWholeFile(*a.file, err);
  if (!bytes) return 2;
  int exit = 0;
  auto gauges = OpenRegister(a.where, false, err, exit);
  if (!gauges) return exit;
  const ToleranceDatabase db = ToleranceDatabase::Open(a.where.DatabasePath());
  LimitsCache limits(db);
  const auto read_file = ReadRecordsCsv(*bytes, *gauges, limits, Today());
  if (const auto* wrong = std::get_if<Message>(&read_file)) {
    err << *a.file << "：" << Say(*wrong) << "\n";
    return 2;
  }
  RecordImport history = std::get<RecordImport>(read_file);
  out << "按 " << history.encoding << " 编码读取 " << *a.file << "\n";
  for (const std::string& column : history.ignored_columns) out << "未使用的列：" << column << "\n";
  if (const int refused =
          Report(history.problems, history.good.size(), a.good_rows, "检定记录", err)) {
    return refused;
  }
  const DatabaseStamp stamp = StampOf(db);
  for (InspectionRecord& record : history.good) Stamp(record, stamp);
  const auto stored = gauges->AddRecords(history.good);
  if (const auto* failed = std::get_if<RegisterError>(&stored)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << "已导入 " << history.good.size() << " 条检定记录（标为“导入”）\n";
  return history.problems.empty() ? 0 : 1;
}

}  // namespace threadgauge
