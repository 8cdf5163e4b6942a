#include "tolerance/schema.h"

#include <algorithm>

namespace threadgauge {

std::string QuotedName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += (c == '"') ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::vector<SchemaTable> ReadSchema(const SqliteConnection& db) {
  std::vector<SchemaTable> tables;
  auto names = db.Prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
  if (!names) return tables;
  auto info = db.Prepare("SELECT name, type FROM pragma_table_info(?)");
  if (!info) return tables;
  while (names->Next() == SqliteStatement::Step::Row) {
    SchemaTable table;
    table.name = names->Read(0).text;
    info->Reset();
    info->BindText(1, table.name);
    while (info->Next() == SqliteStatement::Step::Row) {
      table.columns.push_back(info->Read(0).text);
      table.numeric.push_back(info->Read(1).text == "REAL");
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

const std::vector<SchemaTable>& ProductSchema() {
  static const std::vector<SchemaTable> schema = [] {
    auto db = SqliteConnection::OpenInMemory();
    if (!db || db->Exec(ProductSchemaSql())) return std::vector<SchemaTable>();
    return ReadSchema(*db);
  }();
  return schema;
}

const SchemaTable* FindSchemaTable(const std::string& name) {
  const auto& schema = ProductSchema();
  const auto at = std::find_if(schema.begin(), schema.end(),
                               [&](const SchemaTable& t) { return t.name == name; });
  return at == schema.end() ? nullptr : &*at;
}

std::optional<int> InsertRows(const SqliteConnection& db, const std::string& table,
                              const std::vector<std::string>& columns,
                              const std::vector<std::vector<std::optional<std::string>>>& rows) {
  if (columns.empty()) return std::nullopt;
  std::string sql = "INSERT INTO " + QuotedName(table) + " (";
  std::string marks;
  for (size_t i = 0; i < columns.size(); ++i) {
    sql += (i ? ", " : "") + QuotedName(columns[i]);
    marks += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  auto statement = db.Prepare(sql);
  if (!statement) return db.ErrorCode();
  for (const auto& row : rows) {
    statement->Reset();
    for (size_t i = 0; i < columns.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      if (i < row.size() && row[i]) {
        statement->BindText(index, *row[i]);
      } else {
        statement->BindNull(index);
      }
    }
    if (statement->Next() == SqliteStatement::Step::Error) return statement->ErrorCode();
  }
  return std::nullopt;
}

std::optional<int> CopyTables(const SqliteConnection& db, const std::vector<TableData>& tables) {
  for (const TableData& table : tables) {
    std::string sql = "CREATE TABLE " + QuotedName(table.name) + " (";
    for (size_t i = 0; i < table.columns.size(); ++i) {
      sql += (i ? ", " : "") + QuotedName(table.columns[i]) +
             (i < table.numeric.size() && table.numeric[i] ? " REAL" : " TEXT");
    }
    sql += ")";
    if (auto error = db.Exec(sql)) return error;
    if (auto error = InsertRows(db, table.name, table.columns, table.rows)) return error;
  }
  return std::nullopt;
}

}  // namespace threadgauge
