#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// The backups kept of the user's database: the last three good generations,
// "公差表.db.bak" (the newest), "公差表.db.bak2" and "公差表.db.bak3".
inline constexpr int kBackupGenerations = 3;
std::filesystem::path BackupPath(const std::filesystem::path& database, int generation = 1);

// Where a damaged database is set aside when it is replaced, never deleted:
// "公差表.db.damaged-2026-12-07" (with "-2", "-3", … when that name is taken).
std::filesystem::path DamagedPath(const std::filesystem::path& database, const std::string& date);

// Today's date as the file names carry it: "2026-12-07".
std::string TodayText();

// The user's last good tables: the database when it opens as a tolerance database, else
// the newest backup that does; nothing when none does.
struct GoodTables {
  std::filesystem::path file;
  std::vector<TableData> tables;
};
std::optional<GoodTables> LastGoodTables(const std::filesystem::path& database);

// The gauge tables (those users fill in) that have fewer rows after than before.
struct RowLoss {
  std::string table;
  size_t before = 0, after = 0;
};
std::vector<RowLoss> RowsLost(const std::vector<TableData>& before,
                              const std::vector<TableData>& after);

// Saves the product tables as the user's database. The folder is made when missing; the
// tables are written whole to a temporary file in the same folder, then the database in
// place is moved out of the way: into the backups when it is a good tolerance database (the
// older generations move down, the oldest of three goes), or aside as damaged when it is
// not (a damaged file never becomes a backup); then the temporary file is renamed into the
// database's place. When a step fails, nothing is lost, and the error names the path and
// the reason.
std::optional<Message> SaveUserDatabase(const std::vector<TableData>& tables,
                                        const std::filesystem::path& database,
                                        const std::string& today = TodayText());

// Puts the newest backup that opens as a tolerance database in the database's place, the
// same way.
std::optional<Message> RestoreBackup(const std::filesystem::path& database,
                                     const std::string& today = TodayText());

}  // namespace threadgauge
