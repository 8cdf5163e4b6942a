#include "tables/database_files.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/csv_field.h"
#include "platform/csv_reading.h"
#include "platform/file_stamp.h"
#include "platform/utf8.h"
#include "tables/table_store.h"
#include "tolerance/access_child.h"
#include "tolerance/access_reader.h"
#include "tolerance/schema.h"
#include "words/file_words.h"

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

std::vector<std::string> ProductTableNames() {
  std::vector<std::string> names;
  for (const SchemaTable& table : ProductSchema()) names.push_back(table.name);
  return names;
}

}  // namespace

std::filesystem::path TemporaryBeside(const std::filesystem::path& file) {
  std::random_device random;
  return file.parent_path() /
         PathFromUtf8(Utf8(file.filename()) + ".tmp-" + std::to_string(random()));
}

std::string FileErrorReason(const std::error_code& ec) {
  // Compared as conditions, so that a system's own code for the same reason says the same.
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
    return "没有写入权限";
  if (ec == std::errc::read_only_file_system) return "文件系统是只读的";
  if (ec == std::errc::no_space_on_device) return "磁盘已满";
  if (ec == std::errc::not_a_directory || ec == std::errc::file_exists)
    return "路径上有一个同名的文件";
  return ec.message();
}

std::variant<TableSource, ReadFailure> ReadTablesFrom(const std::filesystem::path& source,
                                                      std::optional<int> code_page) {
  std::error_code ec;
  if (std::filesystem::is_directory(source, ec)) {
    auto csv = ReadCsvFolder(source);
    if (auto* failure = std::get_if<ReadFailure>(&csv)) return *failure;
    return TableSource{std::move(std::get<std::vector<TableData>>(csv)), std::nullopt};
  }
  if (!std::filesystem::exists(source, ec)) return ReadFailure{"找不到 " + Utf8(source)};
  if (IsAccessFile(source)) {
    auto access = ReadAccessTablesApart(source, AccessReadOptions{code_page, ProductTableNames()});
    if (auto* failure = std::get_if<ReadFailure>(&access)) return *failure;
    auto& read = std::get<AccessTables>(access);
    return TableSource{std::move(read.tables), read.code_page};
  }
  auto sqlite = ReadSqliteTables(source);
  if (auto* failure = std::get_if<ReadFailure>(&sqlite)) return *failure;
  return TableSource{std::move(std::get<std::vector<TableData>>(sqlite)), std::nullopt};
}

std::variant<ProductTables, ReadFailure> ReadProductTables(const std::filesystem::path& source,
                                                           std::optional<int> code_page) {
  auto read = ReadTablesFrom(source, code_page);
  if (auto* failure = std::get_if<ReadFailure>(&read)) return *failure;
  const TableSource& found = std::get<TableSource>(read);
  const bool any = std::any_of(found.tables.begin(), found.tables.end(), [](const TableData& t) {
    return FindSchemaTable(t.name) != nullptr;
  });
  if (!any) {
    std::string message = "来源中没有任何一张公差表（表名须为“基本偏差”“位置要素”等）";
    if (found.code_page && !DescribeCodePage(*found.code_page).empty()) {
      message += "；" + DescribeCodePage(*found.code_page);
    }
    return ReadFailure{message};
  }
  ProductTables product;
  product.tables = ToProductTables(found.tables, product.warnings);
  product.code_page = found.code_page;
  return product;
}

std::optional<std::string> WriteDatabaseFile(const std::vector<TableData>& tables,
                                             const std::filesystem::path& out) {
  const std::filesystem::path temporary = TemporaryBeside(out);
  std::optional<std::string> error;
  {
    // Made first by the system, so that a folder that cannot be written says why.
    const std::error_code made = CreateNewFile(temporary);
    auto db = made ? std::nullopt : SqliteConnection::CreateFile(temporary);
    if (!db) {
      error = "无法在 " + Utf8(out.parent_path()) + " 中建立文件：" +
              (made ? FileErrorReason(made) : std::string("数据库引擎无法写入"));
    } else {
      std::optional<int> code = db->Exec("BEGIN");
      if (!code) code = WriteProductTables(*db, tables);
      if (!code) code = db->Exec("COMMIT");
      if (code) error = "写入 " + Utf8(temporary) + " 失败（" + DescribeEngineCode(*code) + "）";
    }
  }
  std::error_code ec;
  if (!error) {
    std::filesystem::rename(temporary, out, ec);
    if (ec) error = "无法把结果写到 " + Utf8(out) + "：" + FileErrorReason(ec);
  }
  if (error) std::filesystem::remove(temporary, ec);
  return error;
}

ImportOutcome ImportDatabase(const std::filesystem::path& source, const std::filesystem::path& out,
                             bool force, std::optional<int> code_page) {
  ImportOutcome outcome;
  std::error_code ec;
  if (std::filesystem::exists(out, ec) && !force) {
    outcome.error = Utf8(out) + " 已存在；要替换它请加 --force";
    return outcome;
  }
  auto read = ReadProductTables(source, code_page);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) {
    outcome.error = failure->message;
    return outcome;
  }
  ProductTables& product = std::get<ProductTables>(read);
  outcome.warnings = std::move(product.warnings);
  outcome.code_page = product.code_page;
  outcome.error = WriteDatabaseFile(product.tables, out);
  if (!outcome.error) {
    for (const TableData& table : product.tables) {
      outcome.rows.emplace_back(table.name, table.rows.size());
    }
  }
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

std::optional<std::string> ExportTables(const std::vector<TableData>& tables,
                                        const std::filesystem::path& folder, bool force) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return "无法建立文件夹 " + Utf8(folder) + "：" + ec.message();
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

std::optional<std::string> ExportDatabase(const std::filesystem::path& database,
                                          const std::filesystem::path& folder, bool force) {
  auto read = ReadTablesFrom(database);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) return failure->message;
  return ExportTables(std::get<TableSource>(read).tables, folder, force);
}

}  // namespace threadgauge
