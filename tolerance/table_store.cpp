#include "tolerance/table_store.h"

#include <algorithm>

#include "tolerance/number_text.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += (c == '"') ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::optional<std::string> Insert(
    const SqliteConnection& db, const std::string& table, const std::vector<std::string>& columns,
    const std::vector<std::vector<std::optional<std::string>>>& rows) {
  if (columns.empty()) return std::nullopt;
  std::string sql = "INSERT INTO " + Quoted(table) + " (";
  std::string marks;
  for (size_t i = 0; i < columns.size(); ++i) {
    sql += (i ? ", " : "") + Quoted(columns[i]);
    marks += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  auto [statement, error] = db.Prepare(sql);
  if (!statement) return error;
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
    if (statement->Next() == SqliteStatement::Step::Error) return statement->ErrorMessage();
  }
  return std::nullopt;
}

}  // namespace

const std::vector<SchemaTable>& ProductSchema() {
  static const std::vector<SchemaTable> schema = [] {
    std::vector<SchemaTable> tables;
    auto db = SqliteConnection::OpenInMemory();
    if (!db || db->Exec(ProductSchemaSql())) return tables;
    auto [names, error] =
        db->Prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    while (names && names->Next() == SqliteStatement::Step::Row) {
      SchemaTable table;
      table.name = names->Read(0).text;
      auto [info, info_error] = db->Prepare("SELECT name, type FROM pragma_table_info(?)");
      info->BindText(1, table.name);
      while (info->Next() == SqliteStatement::Step::Row) {
        table.columns.push_back(info->Read(0).text);
        table.numeric.push_back(info->Read(1).text == "REAL");
      }
      tables.push_back(std::move(table));
    }
    return tables;
  }();
  return schema;
}

std::optional<std::string> CopyTables(const SqliteConnection& db,
                                      const std::vector<TableData>& tables) {
  for (const TableData& table : tables) {
    std::string sql = "CREATE TABLE " + Quoted(table.name) + " (";
    for (size_t i = 0; i < table.columns.size(); ++i) {
      sql += (i ? ", " : "") + Quoted(table.columns[i]) +
             (i < table.numeric.size() && table.numeric[i] ? " REAL" : " TEXT");
    }
    sql += ")";
    if (auto error = db.Exec(sql)) return error;
    if (auto error = Insert(db, table.name, table.columns, table.rows)) return error;
  }
  return std::nullopt;
}

std::optional<std::string> CopyIntoProductSchema(const SqliteConnection& db,
                                                 const std::vector<TableData>& source,
                                                 std::vector<std::string>& warnings) {
  if (auto error = db.Exec(ProductSchemaSql())) return error;
  for (const SchemaTable& wanted : ProductSchema()) {
    const auto found = std::find_if(source.begin(), source.end(),
                                    [&](const TableData& t) { return t.name == wanted.name; });
    if (found == source.end()) {
      warnings.push_back("来源中没有表“" + wanted.name + "”，已建立空表");
      continue;
    }
    std::vector<std::string> columns;
    std::vector<size_t> from;
    for (const std::string& column : wanted.columns) {
      const auto at = std::find(found->columns.begin(), found->columns.end(), column);
      if (at == found->columns.end()) {
        warnings.push_back("表“" + wanted.name + "”的来源中没有列“" + column + "”，该列为空");
        continue;
      }
      columns.push_back(column);
      from.push_back(static_cast<size_t>(at - found->columns.begin()));
    }
    std::vector<std::vector<std::optional<std::string>>> rows;
    for (const auto& row : found->rows) {
      std::vector<std::optional<std::string>> picked;
      for (size_t i : from) picked.push_back(i < row.size() ? row[i] : std::nullopt);
      rows.push_back(std::move(picked));
    }
    if (auto error = Insert(db, wanted.name, columns, rows)) return error;
  }
  return std::nullopt;
}

std::variant<std::vector<TableData>, ReadFailure> ReadSqliteTables(
    const std::filesystem::path& file) {
  auto [db, status] = SqliteConnection::OpenReadOnly(file);
  if (!db) return ReadFailure{DescribeOpenStatus(status) + "：" + Utf8(file)};
  std::vector<TableData> tables;
  auto [names, error] =
      db->Prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
  if (!names) return ReadFailure{error};
  std::vector<std::string> table_names;
  while (names->Next() == SqliteStatement::Step::Row) table_names.push_back(names->Read(0).text);
  for (const std::string& name : table_names) {
    TableData table;
    table.name = name;
    auto [info, info_error] = db->Prepare("SELECT name, type FROM pragma_table_info(?)");
    if (!info) return ReadFailure{info_error};
    info->BindText(1, name);
    while (info->Next() == SqliteStatement::Step::Row) {
      table.columns.push_back(info->Read(0).text);
      table.numeric.push_back(info->Read(1).text == "REAL");
    }
    auto [rows, rows_error] = db->Prepare("SELECT * FROM " + Quoted(name) + " ORDER BY rowid");
    if (!rows) return ReadFailure{rows_error};
    for (;;) {
      const auto step = rows->Next();
      if (step == SqliteStatement::Step::Done) break;
      if (step == SqliteStatement::Step::Error) return ReadFailure{rows->ErrorMessage()};
      std::vector<std::optional<std::string>> row;
      for (int i = 0; i < rows->ColumnCount(); ++i) {
        const Cell cell = rows->Read(i);
        if (cell.kind == Cell::Kind::Null) {
          row.emplace_back(std::nullopt);
        } else if (cell.kind == Cell::Kind::Integer || cell.kind == Cell::Kind::Real) {
          row.emplace_back(PlainDecimal(cell.number));  // 17, not 17.0, in a spreadsheet
        } else {
          row.emplace_back(cell.text);
        }
      }
      table.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

}  // namespace threadgauge
