#include "tolerance/admin/database_files.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "tolerance/access_reader.h"
#include "tolerance/admin/csv.h"
#include "tolerance/admin/table_store.h"
#include "tolerance/schema.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

std::optional<std::string> ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::variant<std::vector<TableData>, ReadFailure> ReadCsvFolder(
    const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".csv") files.push_back(entry.path());
  }
  if (ec) return ReadFailure{"无法读取文件夹 " + Utf8(folder)};
  std::sort(files.begin(), files.end());
  std::vector<TableData> tables;
  for (const auto& file : files) {
    auto bytes = ReadFile(file);
    if (!bytes) return ReadFailure{"无法读取 " + Utf8(file)};
    if (!IsValidUtf8(*bytes)) {
      bytes = ConvertToUtf8(*bytes, "GBK");
      if (!bytes) return ReadFailure{Utf8(file) + " 既不是 UTF-8 也不是 GBK 编码的文本"};
    }
    const auto rows = ParseCsv(*bytes);
    if (rows.empty()) return ReadFailure{Utf8(file) + " 没有标题行（列名）"};
    TableData table;
    table.name = Utf8(file.stem());
    table.columns = rows.front();
    table.numeric.assign(table.columns.size(), false);
    for (size_t r = 1; r < rows.size(); ++r) {
      if (rows[r].size() != table.columns.size()) {
        return ReadFailure{Utf8(file) + " 第 " + std::to_string(r + 1) + " 行有 " +
                           std::to_string(rows[r].size()) + " 个单元格，标题行有 " +
                           std::to_string(table.columns.size()) + " 个"};
      }
      std::vector<std::optional<std::string>> row;
      for (const std::string& cell : rows[r]) {
        row.emplace_back(cell.empty() ? std::nullopt : std::optional<std::string>(cell));
      }
      table.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

std::string CsvField(const std::string& text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return text;
  std::string out = "\"";
  for (char c : text) out += (c == '"') ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& file) {
  std::random_device random;
  return file.parent_path() / (file.filename().string() + ".import-" + std::to_string(random()));
}

}  // namespace

std::variant<std::vector<TableData>, ReadFailure> ReadTablesFrom(
    const std::filesystem::path& source) {
  std::error_code ec;
  if (std::filesystem::is_directory(source, ec)) return ReadCsvFolder(source);
  if (!std::filesystem::exists(source, ec)) return ReadFailure{"找不到 " + Utf8(source)};
  if (IsAccessFile(source)) return ReadAccessTables(source);
  return ReadSqliteTables(source);
}

ImportOutcome ImportDatabase(const std::filesystem::path& source, const std::filesystem::path& out,
                             bool force) {
  ImportOutcome outcome;
  std::error_code ec;
  if (std::filesystem::exists(out, ec) && !force) {
    outcome.error = Utf8(out) + " 已存在；要替换它请加 --force";
    return outcome;
  }
  auto read = ReadTablesFrom(source);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    outcome.error = failure->message;
    return outcome;
  }
  const auto& tables = std::get<std::vector<TableData>>(read);
  const bool any = std::any_of(tables.begin(), tables.end(), [](const TableData& table) {
    return std::any_of(ProductSchema().begin(), ProductSchema().end(),
                       [&](const SchemaTable& wanted) { return wanted.name == table.name; });
  });
  if (!any) {
    outcome.error = "来源中没有任何一张公差表（表名须为“基本偏差”“位置要素”等）";
    return outcome;
  }

  const std::filesystem::path temporary = TemporaryBeside(out);
  {
    auto db = SqliteConnection::CreateFile(temporary);
    if (!db) {
      outcome.error = "无法创建 " + Utf8(temporary);
      return outcome;
    }
    std::optional<std::string> error = db->Exec("BEGIN");
    if (!error) error = WriteProductTables(*db, ToProductTables(tables, outcome.warnings));
    if (!error) error = db->Exec("COMMIT");
    if (error) {
      outcome.error = "写入失败：" + *error;
    }
  }
  if (!outcome.error) {
    auto written = ReadSqliteTables(temporary);
    if (auto* done = std::get_if<std::vector<TableData>>(&written)) {
      for (const TableData& table : *done) outcome.rows.emplace_back(table.name, table.rows.size());
    }
    std::filesystem::rename(temporary, out, ec);
    if (ec) outcome.error = "无法把结果写到 " + Utf8(out) + "：" + ec.message();
  }
  if (outcome.error) std::filesystem::remove(temporary, ec);
  return outcome;
}

std::string ToCsv(const TableData& table) {
  std::string csv;
  for (size_t i = 0; i < table.columns.size(); ++i)
    csv += (i ? "," : "") + CsvField(table.columns[i]);
  csv += "\n";
  for (const auto& row : table.rows) {
    for (size_t i = 0; i < row.size(); ++i)
      csv += (i ? "," : "") + (row[i] ? CsvField(*row[i]) : "");
    csv += "\n";
  }
  return csv;
}

std::optional<std::string> ExportDatabase(const std::filesystem::path& database,
                                          const std::filesystem::path& folder, bool force) {
  auto read = ReadTablesFrom(database);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) return failure->message;
  const auto& tables = std::get<std::vector<TableData>>(read);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return "无法建立文件夹 " + Utf8(folder);
  for (const TableData& table : tables) {
    if (std::filesystem::exists(folder / PathFromUtf8(table.name + ".csv"), ec) && !force) {
      return Utf8(folder / PathFromUtf8(table.name + ".csv")) + " 已存在；要替换请加 --force";
    }
  }
  for (const TableData& table : tables) {
    std::ofstream out(folder / PathFromUtf8(table.name + ".csv"), std::ios::binary);
    out << ToCsv(table);
    if (!out) return "无法写入 " + Utf8(folder / PathFromUtf8(table.name + ".csv"));
  }
  return std::nullopt;
}

}  // namespace threadgauge
