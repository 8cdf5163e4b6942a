#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sqlite/sqlite_database.h"
#include "tolerance/table_data.h"

namespace threadgauge {

// The product's tables filled, by column name, with what the source holds of them. What
// the source lacks is told in `warnings`; other tables are ignored.
std::vector<TableData> ToProductTables(const std::vector<TableData>& source,
                                       std::vector<Message>& warnings);

// Creates the product's tables and copies the product tables into them; the engine's
// result code when it fails.
std::optional<int> WriteProductTables(const SqliteConnection& db,
                                      const std::vector<TableData>& tables);

// Every table of an SQLite file, read whole in stored order.
std::variant<std::vector<TableData>, ReadFailure> ReadSqliteTables(
    const std::filesystem::path& file);

}  // namespace threadgauge
