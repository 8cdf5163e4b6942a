#include "tables/table_store.h"

#include <algorithm>

#include "platform/number_text.h"
#include "platform/problems.h"
#include "platform/utf8.h"
#include "tolerance/schema.h"
#include "words/file_words.h"

namespace threadgauge {

std::vector<TableData> ToProductTables(const std::vector<TableData>& source,
                                       std::vector<Message>& warnings) {
  std::vector<TableData> tables;
  for (const SchemaTable& wanted : ProductSchema()) {
    TableData table{wanted.name, wanted.columns, wanted.numeric, {}};
    const auto found = std::find_if(source.begin(), source.end(),
                                    [&](const TableData& t) { return t.name == wanted.name; });
    if (found == source.end()) {
      warnings.push_back({MessageCode::SourceLacksTable, {wanted.name}});
      tables.push_back(std::move(table));
      continue;
    }
    std::vector<std::optional<size_t>> from;
    for (const std::string& column : wanted.columns) {
      const auto at = std::find(found->columns.begin(), found->columns.end(), column);
      if (at == found->columns.end()) {
        warnings.push_back({MessageCode::SourceLacksColumn, {wanted.name, column}});
        from.emplace_back(std::nullopt);
      } else {
        from.emplace_back(static_cast<size_t>(at - found->columns.begin()));
      }
    }
    for (const auto& row : found->rows) {
      std::vector<std::optional<std::string>> picked;
      for (const auto& i : from) picked.push_back(i && *i < row.size() ? row[*i] : std::nullopt);
      table.rows.push_back(std::move(picked));
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

std::optional<int> WriteProductTables(const SqliteConnection& db,
                                      const std::vector<TableData>& tables) {
  if (auto error = db.Exec(ProductSchemaSql())) return error;
  for (const TableData& table : tables) {
    if (FindSchemaTable(table.name) == nullptr) continue;
    if (auto error = InsertRows(db, table.name, table.columns, table.rows)) return error;
  }
  return std::nullopt;
}

std::variant<std::vector<TableData>, ReadFailure> ReadSqliteTables(
    const std::filesystem::path& file) {
  auto [db, status] = SqliteConnection::OpenReadOnly(file);
  if (!db) {
    return ReadFailure{
        {MessageCode::DatabaseUnopenable, {std::to_string(static_cast<int>(status)), Utf8(file)}}};
  }
  std::vector<TableData> tables;
  for (SchemaTable& schema : ReadSchema(*db)) {
    TableData table{
        std::move(schema.name), std::move(schema.columns), std::move(schema.numeric), {}};
    auto rows = db->Prepare("SELECT * FROM " + QuotedName(table.name) + " ORDER BY rowid");
    const auto failed = [&](int code) {
      return ReadFailure{{MessageCode::TableReadFailed, {table.name, std::to_string(code)}}};
    };
    if (!rows) return failed(db->ErrorCode());
    for (;;) {
      const auto step = rows->Next();
      if (step == SqliteStatement::Step::Done) break;
      if (step == SqliteStatement::Step::Error) return failed(rows->ErrorCode());
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
