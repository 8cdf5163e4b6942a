#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "register/calendar.h"
#include "register/gauge_register.h"

namespace threadgauge {

// The register's daily copies lie in the folder "量规台账备份" beside it, one a day, named
// after the register and the day: "量规台账-20261207.db".
std::filesystem::path BackupFolder(const std::filesystem::path& register_path);
std::filesystem::path DailyBackupPath(const std::filesystem::path& register_path, const Day& day);

struct BackupFile {
  std::filesystem::path path;
  Day day;
};
// The daily copies of the register, newest first.
std::vector<BackupFile> BackupsOf(const std::filesystem::path& register_path);

// Which daily copies to keep on `today`: the newest ten, the newest of each of the last
// twelve months, and whatever `keep_anyway` names (the newest copy that passes the check).
std::vector<BackupFile> BackupsToDelete(const std::vector<BackupFile>& backups, const Day& today,
                                        const std::filesystem::path& keep_anyway);
// Deletes what the rule lets go, after making sure the newest good copy stays.
void PruneBackups(const std::filesystem::path& register_path, const Day& today);

// Why a file cannot serve as the register, or nothing when it passes every check: it opens
// as a register of a version this program reads, and the engine's integrity check passes.
std::optional<Message> BackupFault(const std::filesystem::path& file);

// The way back from a damaged register, for the user: which command, where the copies lie.
Message RestoreHint(const std::filesystem::path& register_path);

// Puts the copy in the register's place. The copy is checked first; the current file (with
// its WAL file) is kept as "量规台账.db.before-restore-20261207" (-2 … when taken) before it
// is replaced, so restoring never loses it. The kept file's path.
std::variant<std::filesystem::path, RegisterError> RestoreRegister(
    const std::filesystem::path& backup, const std::filesystem::path& register_path,
    const Day& today);

}  // namespace threadgauge
