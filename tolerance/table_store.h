#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tolerance/sqlite_database.h"
#include "tolerance/table_data.h"

namespace threadgauge {

// The eight tables and their columns as the tolerance database holds them (the same text
// the shipped database is built from).
const std::string& ProductSchemaSql();

struct SchemaTable {
  std::string name;
  std::vector<std::string> columns;
  std::vector<bool> numeric;
};
const std::vector<SchemaTable>& ProductSchema();

// Creates each table with its own columns (numbers as REAL, the rest TEXT) and copies the
// rows in their stored order. No index: rows come back in that order.
std::optional<std::string> CopyTables(const SqliteConnection& db,
                                      const std::vector<TableData>& tables);

// Creates the product's tables and copies into them, by column name, what the source
// holds of them. What the source lacks is told in `warnings`; other tables are ignored.
std::optional<std::string> CopyIntoProductSchema(const SqliteConnection& db,
                                                 const std::vector<TableData>& source,
                                                 std::vector<std::string>& warnings);

// Every table of an SQLite file, read whole in stored order.
std::variant<std::vector<TableData>, ReadFailure> ReadSqliteTables(
    const std::filesystem::path& file);

}  // namespace threadgauge
