#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sqlite/sqlite_database.h"
#include "tolerance/table_data.h"

namespace threadgauge {

// The eight tables and their columns as the tolerance database holds them (the same text
// the shipped database is built from).
const std::string& ProductSchemaSql();

struct SchemaTable {
  std::string name;
  std::vector<std::string> columns;
  std::vector<bool> numeric;  // REAL columns: the store keeps numbers there
};

// The tables of a database with their columns, in the order they were created.
std::vector<SchemaTable> ReadSchema(const SqliteConnection& db);

// The product's eight tables, in the order of the schema.
const std::vector<SchemaTable>& ProductSchema();
const SchemaTable* FindSchemaTable(const std::string& name);

// Creates each table with its own columns (numbers as REAL, the rest TEXT) and copies the
// rows in their stored order. No index: rows come back in that order.
// The engine's result code when it fails.
std::optional<int> CopyTables(const SqliteConnection& db, const std::vector<TableData>& tables);

// Writes the rows into an existing table by column name, NULL where a row has no cell.
std::optional<int> InsertRows(const SqliteConnection& db, const std::string& table,
                              const std::vector<std::string>& columns,
                              const std::vector<std::vector<std::optional<std::string>>>& rows);

// A table or column name as SQL writes it: in double quotes, inner quotes doubled.
std::string QuotedName(const std::string& name);

}  // namespace threadgauge
