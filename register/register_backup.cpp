#include "register/register_backup.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "platform/utf8.h"
#include "register_schema.h"
#include "register_sql.h"
#include "words/file_words.h"

namespace threadgauge {
namespace {

constexpr int kNewestKept = 10;
constexpr int kMonthsKept = 12;

std::string Compact(const Day& day) {
  std::string text = DayText(day);
  std::erase(text, '-');
  return text;
}

std::optional<Day> DayOfName(const std::string& name, const std::string& stem) {
  // "<stem>-YYYYMMDD.db" and nothing else: other files in the folder are the user's.
  const std::string prefix = stem + "-";
  if (name.size() != prefix.size() + 11 || !name.starts_with(prefix) || !name.ends_with(".db")) {
    return std::nullopt;
  }
  const std::string digits = name.substr(prefix.size(), 8);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return ParseDay(digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2));
}

int MonthIndex(const Day& day) {
  return static_cast<int>(day.year()) * 12 + static_cast<int>(static_cast<unsigned>(day.month()));
}

std::filesystem::path Suffixed(const std::filesystem::path& path, const std::string& suffix) {
  std::filesystem::path result = path;
  result += suffix;
  return result;
}

// The first free name of "<path><suffix>", "<path><suffix>-2", ….
std::filesystem::path FreeName(const std::filesystem::path& path, const std::string& suffix) {
  std::filesystem::path name = Suffixed(path, suffix);
  for (int n = 2; std::filesystem::exists(name); ++n) {
    name = Suffixed(path, suffix + "-" + std::to_string(n));
  }
  return name;
}

}  // namespace

std::filesystem::path BackupFolder(const std::filesystem::path& register_path) {
  return register_path.parent_path() / u8"量规台账备份";
}

std::filesystem::path DailyBackupPath(const std::filesystem::path& register_path, const Day& day) {
  return BackupFolder(register_path) /
         PathFromUtf8(Utf8(register_path.stem()) + "-" + Compact(day) + ".db");
}

std::vector<BackupFile> BackupsOf(const std::filesystem::path& register_path) {
  std::vector<BackupFile> backups;
  std::error_code error;
  const std::string stem = Utf8(register_path.stem());
  for (std::filesystem::directory_iterator it(BackupFolder(register_path), error), end;
       !error && it != end; it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    if (const auto day = DayOfName(Utf8(it->path().filename()), stem)) {
      backups.push_back({it->path(), *day});
    }
  }
  std::sort(backups.begin(), backups.end(),
            [](const BackupFile& a, const BackupFile& b) { return a.day > b.day; });
  return backups;
}

std::vector<BackupFile> BackupsToDelete(const std::vector<BackupFile>& backups, const Day& today,
                                        const std::filesystem::path& keep_anyway) {
  std::vector<BackupFile> newest_first = backups;
  std::sort(newest_first.begin(), newest_first.end(),
            [](const BackupFile& a, const BackupFile& b) { return a.day > b.day; });
  std::set<int> months_seen;
  std::vector<BackupFile> deleted;
  for (size_t i = 0; i < newest_first.size(); ++i) {
    const BackupFile& backup = newest_first[i];
    const int age_in_months = MonthIndex(today) - MonthIndex(backup.day);
    const bool newest_of_month =
        age_in_months < kMonthsKept && months_seen.insert(MonthIndex(backup.day)).second;
    if (static_cast<int>(i) < kNewestKept || newest_of_month || backup.path == keep_anyway) {
      continue;
    }
    deleted.push_back(backup);
  }
  return deleted;
}

std::optional<std::string> BackupFault(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return "文件不存在";
  if (std::filesystem::file_size(file, error) == 0) return "是空文件（0 字节）";
  auto [db, code] = SqliteConnection::OpenReadOnlyShared(file, kRegisterBusyMs);
  if (!db) return "无法打开（" + DescribeEngineCode(code) + "）";
  const auto id = ReadInteger(*db, "PRAGMA application_id");
  if (!id) return "不是可读的 SQLite 数据库，或已损坏";
  if (*id != kRegisterApplicationId) return "不是量规台账";
  const auto version = ReadInteger(*db, "PRAGMA user_version").value_or(0);
  if (version < 1 || version > GaugeRegister::kVersion) {
    return "版本 " + std::to_string(version) + " 不是本程序能读的量规台账";
  }
  auto check = db->Prepare("PRAGMA integrity_check(1)");
  if (!check || check->Next() != SqliteStatement::Step::Row) return "文件已损坏";
  const std::string answer = TextOf(check->Read(0));
  if (answer != "ok") return "文件已损坏（" + answer + "）";
  return std::nullopt;
}

void PruneBackups(const std::filesystem::path& register_path, const Day& today) {
  const std::vector<BackupFile> backups = BackupsOf(register_path);
  std::filesystem::path newest_good;
  for (const BackupFile& backup : backups) {
    if (!BackupFault(backup.path)) {
      newest_good = backup.path;
      break;
    }
  }
  for (const BackupFile& old : BackupsToDelete(backups, today, newest_good)) {
    // A copy that cannot be deleted stays: keeping one copy too many loses nothing.
    std::error_code ignored;
    std::filesystem::remove(old.path, ignored);
  }
}

std::string RestoreHint(const std::filesystem::path& register_path) {
  const auto backups = BackupsOf(register_path);
  if (backups.empty()) {
    return "没有找到它的备份（" + Utf8(BackupFolder(register_path)) +
           "）；有别处的备份时可用 threadgauge-cli gauges restore 备份文件 恢复";
  }
  return "可从备份恢复：threadgauge-cli gauges restore " + Utf8(backups.front().path) +
         "（最新的备份，" + DayText(backups.front().day) + "；备份共 " +
         std::to_string(backups.size()) + " 份，在 " + Utf8(BackupFolder(register_path)) + "）";
}

std::variant<std::filesystem::path, RegisterError> RestoreRegister(
    const std::filesystem::path& backup, const std::filesystem::path& register_path,
    const Day& today) {
  if (auto fault = BackupFault(backup)) {
    return RegisterError{"备份 " + QuotedName(backup) + " 不能用来恢复：" + *fault +
                         "；量规台账未改动"};
  }
  std::error_code error;
  const std::filesystem::path wal = Suffixed(register_path, "-wal");
  std::filesystem::path kept;
  if (std::filesystem::exists(register_path, error)) {
    // The current file is copied byte for byte, with its WAL file, whatever state it is in.
    kept = FreeName(register_path, ".before-restore-" + Compact(today));
    std::filesystem::copy_file(register_path, kept, error);
    if (!error && std::filesystem::exists(wal)) {
      std::filesystem::copy_file(wal, Suffixed(kept, "-wal"), error);
    }
    if (error) {
      return RegisterError{"未能先把当前的量规台账保存为 " + QuotedName(kept) + "（" +
                           error.message() + "）；未恢复，量规台账未改动"};
    }
  }
  const std::filesystem::path incoming = FreeName(register_path, ".restoring");
  std::filesystem::copy_file(backup, incoming, error);
  if (error) {
    std::filesystem::remove(incoming, error);
    return RegisterError{"未能复制备份 " + QuotedName(backup) + "；量规台账未改动"};
  }
  // The old WAL and shared-memory files belong to the old file: left beside the restored
  // one, the engine would replay them into it.
  for (const char* suffix : {"-wal", "-shm"}) {
    std::filesystem::remove(Suffixed(register_path, suffix), error);
    if (error) {
      std::filesystem::remove(incoming, error);
      return RegisterError{"量规台账 " + QuotedName(register_path) +
                           " 正被使用，未能恢复；请先关闭其他打开它的程序"};
    }
  }
  std::filesystem::rename(incoming, register_path, error);
  if (error) {
    return RegisterError{"未能把备份放到 " + QuotedName(register_path) + "（" + error.message() +
                         "）；当前文件已保存为 " + QuotedName(kept)};
  }
  return kept;
}

}  // namespace threadgauge

namespace threadgauge {

std::optional<RegisterError> GaugeRegister::CopyTo(const std::filesystem::path& target) const {
  std::error_code error;
  if (std::filesystem::exists(target, error)) {
    return RegisterError{QuotedName(target) + " 已存在；备份不覆盖已有的文件"};
  }
  auto copy = db_.Prepare("VACUUM INTO ?");
  if (!copy) return EngineError(path_, db_.ErrorCode());
  copy->BindText(1, Utf8(target));
  if (copy->Next() == SqliteStatement::Step::Error) {
    const int code = copy->ErrorCode();
    std::filesystem::remove(target, error);  // a copy that broke off is no backup
    return RegisterError{"未能把量规台账复制为 " + QuotedName(target) + "（" +
                         DescribeEngineCode(code) + "）"};
  }
  return std::nullopt;
}

std::optional<RegisterError> GaugeRegister::BackUpBeforeTodaysFirstChange() {
  const Day today = today_();
  const std::filesystem::path target = DailyBackupPath(path_, today);
  std::error_code error;
  if (std::filesystem::exists(target, error)) return std::nullopt;
  // A register without a gauge has nothing to lose yet.
  if (ReadInteger(db_, "SELECT count(*) FROM gauges").value_or(0) == 0) return std::nullopt;
  std::filesystem::create_directories(target.parent_path(), error);
  if (auto failed = CopyTo(target)) {
    return RegisterError{"今天第一次修改量规台账之前须先备份，但" + failed->message +
                         "；未写入任何内容"};
  }
  PruneBackups(path_, today);
  return std::nullopt;
}

}  // namespace threadgauge
