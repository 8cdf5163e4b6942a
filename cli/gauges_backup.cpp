#include "cli/cli11_reading.h"
#include "cli/register_access.h"
#include "cli/register_commands.h"
#include "gauges_subcommands.h"
#include "platform/utf8.h"
#include "register/register_backup.h"
#include "register/register_location.h"
#include "words/message_words.h"

namespace threadgauge {

int GaugesBackup(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> to;
  app.add_option("--to", to);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  int exit = 0;
  auto gauges = OpenRegister(where, false, err, exit);
  if (!gauges) return exit;
  std::filesystem::path target;
  if (!to && gauges->on_server()) {
    err << "服务器上的量规台账请用 --to 文件 指定备份到哪个文件\n";
    return 2;
  }
  if (to) {
    target = PathFromUtf8(*to);
  } else {
    // Today's copy in the backup folder; a second copy the same day is numbered.
    const std::filesystem::path daily = DailyBackupPath(gauges->path(), Today());
    target = daily;
    for (int n = 2; std::filesystem::exists(target); ++n) {
      target =
          daily.parent_path() / PathFromUtf8(Utf8(daily.stem()) + "-" + std::to_string(n) + ".db");
    }
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
  }
  if (auto failed = gauges->CopyTo(target)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  out << "已把量规台账备份到 " << Utf8(target) << "\n";
  if (gauges->damage()) {
    err << "注意：量规台账已损坏，这份备份同样不完整\n";
    return 1;
  }
  return 0;
}

int GaugesRestore(const Arguments& args, std::ostream& out, std::ostream& err) {
  CLI::App app;
  RegisterOptions where;
  where.AddTo(app);
  std::optional<std::string> file;
  app.add_option("file", file);
  const Reading read = ReadArguments(app, args, kGaugesHelp, out, err);
  if (read.done) return read.exit;
  if (!file) {
    err << "缺少备份文件，例如 threadgauge-cli gauges restore 量规台账备份/量规台账-20261207.db\n";
    return 2;
  }
  if (where.Named() && IsServerAddress(*where.Named())) {
    err << "restore 只替换本机的量规台账文件；服务器上的台账由数据库管理员恢复\n";
    return 2;
  }
  const auto register_path = where.RegisterPath(err);
  if (!register_path) return 2;
  const auto restored = RestoreRegister(PathFromUtf8(*file), *register_path, Today());
  if (const auto* failed = std::get_if<RegisterError>(&restored)) {
    err << Say(failed->message) << "\n";
    return 1;
  }
  const auto& kept = std::get<std::filesystem::path>(restored);
  out << "已用 " << *file << " 恢复量规台账 " << Utf8(*register_path) << "\n";
  if (!kept.empty()) out << "恢复前的文件保留为 " << Utf8(kept) << "\n";
  return 0;
}

}  // namespace threadgauge
