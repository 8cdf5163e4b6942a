#include "register/register_backup.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "platform/utf8.h"
#include "register_file.h"
#include "register_schema.h"
#include "register_sql.h"

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

std::optional<Message> BackupFault(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return Message{MessageCode::BackupMissing};
  if (std::filesystem::file_size(file, error) == 0) return Message{MessageCode::BackupEmpty};
  auto [db, code] = SqliteConnection::OpenReadOnlyShared(file, kRegisterBusyMs);
  if (!db) return Message{MessageCode::BackupUnopenable, {std::to_string(code)}};
  const auto id = ReadInteger(*db, "PRAGMA application_id");
  if (!id) return Message{MessageCode::BackupNotDatabase};
  if (*id != kRegisterApplicationId) return Message{MessageCode::BackupNotRegister};
  const auto version = ReadInteger(*db, "PRAGMA user_version").value_or(0);
  if (version < 1 || version > GaugeRegister::kVersion) {
    return Message{MessageCode::BackupVersion, {std::to_string(version)}};
  }
  auto check = db->Prepare("PRAGMA integrity_check(1)");
  if (!check || check->Next() != SqliteStatement::Step::Row)
    return Message{MessageCode::BackupDamaged};
  const std::string answer = TextOf(check->Read(0));
  if (answer != "ok") return Message{MessageCode::BackupDamaged, {answer}};
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

Message RestoreHint(const std::filesystem::path& register_path) {
  const auto backups = BackupsOf(register_path);
  if (backups.empty()) {
    return {MessageCode::NoBackupFound, {Utf8(BackupFolder(register_path))}};
  }
  return {MessageCode::RestoreFromNewest,
          {Utf8(backups.front().path), DayText(backups.front().day), std::to_string(backups.size()),
           Utf8(BackupFolder(register_path))}};
}

std::variant<std::filesystem::path, RegisterError> RestoreRegister(
    const std::filesystem::path& backup, const std::filesystem::path& register_path,
    const Day& today) {
  if (auto fault = BackupFault(backup)) {
    return RegisterError{{MessageCode::BackupUnusable, {Utf8(backup)}, {*fault}}};
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
      return RegisterError{{MessageCode::RestoreKeepFailed, {Utf8(kept), error.message()}}};
    }
  }
  const std::filesystem::path incoming = FreeName(register_path, ".restoring");
  std::filesystem::copy_file(backup, incoming, error);
  if (error) {
    std::filesystem::remove(incoming, error);
    return RegisterError{{MessageCode::RestoreCopyFailed, {Utf8(backup)}}};
  }
  // The old WAL and shared-memory files belong to the old file: left beside the restored
  // one, the engine would replay them into it.
  for (const char* suffix : {"-wal", "-shm"}) {
    std::filesystem::remove(Suffixed(register_path, suffix), error);
    if (error) {
      std::filesystem::remove(incoming, error);
      return RegisterError{{MessageCode::RestoreInUse, {Utf8(register_path)}}};
    }
  }
  std::filesystem::rename(incoming, register_path, error);
  if (error) {
    return RegisterError{
        {MessageCode::RestorePlaceFailed, {Utf8(register_path), error.message(), Utf8(kept)}}};
  }
  return kept;
}

}  // namespace threadgauge

namespace threadgauge {

std::optional<RegisterError> RegisterFile::CopyTo(const std::filesystem::path& target) const {
  std::error_code error;
  if (std::filesystem::exists(target, error)) {
    return RegisterError{{MessageCode::CopyTargetExists, {Utf8(target)}}};
  }
  auto copy = db_.Prepare("VACUUM INTO ?");
  if (!copy) return EngineError(path_, db_.ErrorCode());
  copy->BindText(1, Utf8(target));
  if (copy->Next() == SqliteStatement::Step::Error) {
    const int code = copy->ErrorCode();
    std::filesystem::remove(target, error);  // a copy that broke off is no backup
    return RegisterError{{MessageCode::CopyFailed, {Utf8(target), std::to_string(code)}}};
  }
  return std::nullopt;
}

std::optional<RegisterError> RegisterFile::BackUpBeforeTodaysFirstChange() {
  const Day today = today_();
  const std::filesystem::path target = DailyBackupPath(path_, today);
  std::error_code error;
  if (std::filesystem::exists(target, error)) return std::nullopt;
  // A register without a gauge has nothing to lose yet.
  if (ReadInteger(db_, "SELECT count(*) FROM gauges").value_or(0) == 0) return std::nullopt;
  std::filesystem::create_directories(target.parent_path(), error);
  if (auto failed = CopyTo(target)) {
    return RegisterError{{MessageCode::DailyBackupFailed, {}, {failed->message}}};
  }
  PruneBackups(path_, today);
  return std::nullopt;
}

}  // namespace threadgauge
