#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// The backup kept of the user's database: one generation, "公差表.db.bak".
std::filesystem::path BackupPath(const std::filesystem::path& database);

// Saves the product tables as the user's database. The folder is made when missing; the
// tables are written to a temporary file in the same folder, the previous file (if any) is
// copied to the backup, and the temporary file is renamed over the database. When any step
// fails the database and its backup are as they were, and the error names the path and
// the reason.
std::optional<std::string> SaveUserDatabase(const std::vector<TableData>& tables,
                                            const std::filesystem::path& database);

// Puts the backup in the database's place, the same way.
std::optional<std::string> RestoreBackup(const std::filesystem::path& database);

}  // namespace threadgauge
