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
  if (ec) return ReadFailure{{MessageCode::FolderUnreadable, {Utf8(folder)}}};
  std::sort(files.begin(), files.end());
  std::vector<TableData> tables;
  for (const auto& file : files) {
    auto bytes = ReadFile(file);
    if (!bytes) return ReadFailure{{MessageCode::FileUnreadable, {Utf8(file)}}};
    if (!IsValidUtf8(*bytes)) {
      bytes = ConvertToUtf8(*bytes, "GBK");
      if (!bytes) return ReadFailure{{MessageCode::FileNotUtf8OrGbkText, {Utf8(file)}}};
    }
    const auto rows = ParseCsv(*bytes);
    if (rows.empty()) return ReadFailure{{MessageCode::CsvWithoutHeadings, {Utf8(file)}}};
    TableData table;
    table.name = Utf8(file.stem());
    table.columns = rows.front();
    table.numeric.assign(table.columns.size(), false);
    for (size_t r = 1; r < rows.size(); ++r) {
      if (rows[r].size() != table.columns.size()) {
        return ReadFailure{{MessageCode::CsvRowWidth,
                            {Utf8(file), std::to_string(r + 1), std::to_string(rows[r].size()),
                             std::to_string(table.columns.size())}}};
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

Message FileErrorReason(const std::error_code& ec) {
  // Compared as conditions, so that a system's own code for the same reason says the same.
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
    return {MessageCode::NoWritePermission};
  if (ec == std::errc::read_only_file_system) return {MessageCode::ReadOnlyFileSystem};
  if (ec == std::errc::no_space_on_device) return {MessageCode::DiskFull};
  if (ec == std::errc::not_a_directory || ec == std::errc::file_exists)
    return {MessageCode::SameNamedFileInPath};
  return {MessageCode::SystemReason, {ec.message()}};
}

std::variant<TableSource, ReadFailure> ReadTablesFrom(const std::filesystem::path& source,
                                                      std::optional<int> code_page) {
  std::error_code ec;
  if (std::filesystem::is_directory(source, ec)) {
    auto csv = ReadCsvFolder(source);
    if (auto* failure = std::get_if<ReadFailure>(&csv)) return *failure;
    return TableSource{std::move(std::get<std::vector<TableData>>(csv)), std::nullopt};
  }
  if (!std::filesystem::exists(source, ec))
    return ReadFailure{{MessageCode::SourceMissing, {Utf8(source)}}};
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
    Message message{MessageCode::NoToleranceTables};
    if (found.code_page) message.args.push_back(DescribeCodePage(*found.code_page));
    return ReadFailure{message};
  }
  ProductTables product;
  product.tables = ToProductTables(found.tables, product.warnings);
  product.code_page = found.code_page;
  return product;
}

std::optional<Message> WriteDatabaseFile(const std::vector<TableData>& tables,
                                         const std::filesystem::path& out) {
  const std::filesystem::path temporary = TemporaryBeside(out);
  std::optional<Message> error;
  {
    // Made first by the system, so that a folder that cannot be written says why.
    const std::error_code made = CreateNewFile(temporary);
    auto db = made ? std::nullopt : SqliteConnection::CreateFile(temporary);
    if (!db) {
      error = Message{MessageCode::FileUncreatableIn,
                      {Utf8(out.parent_path())},
                      {made ? FileErrorReason(made) : Message{MessageCode::EngineCannotWrite}}};
    } else {
      std::optional<int> code = db->Exec("BEGIN");
      if (!code) code = WriteProductTables(*db, tables);
      if (!code) code = db->Exec("COMMIT");
      if (code) error = Message{MessageCode::WriteFailed, {Utf8(temporary), std::to_string(*code)}};
    }
  }
  std::error_code ec;
  if (!error) {
    std::filesystem::rename(temporary, out, ec);
    if (ec) error = Message{MessageCode::ResultUnplaceable, {Utf8(out)}, {FileErrorReason(ec)}};
  }
  if (error) std::filesystem::remove(temporary, ec);
  return error;
}

ImportOutcome ImportDatabase(const std::filesystem::path& source, const std::filesystem::path& out,
                             bool force, std::optional<int> code_page) {
  ImportOutcome outcome;
  std::error_code ec;
  if (std::filesystem::exists(out, ec) && !force) {
    outcome.error = Message{MessageCode::OutputExists, {Utf8(out)}};
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

std::optional<Message> ExportTables(const std::vector<TableData>& tables,
                                    const std::filesystem::path& folder, bool force) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    return Message{MessageCode::FolderUncreatable,
                   {Utf8(folder)},
                   {{MessageCode::SystemReason, {ec.message()}}}};
  }
  for (const TableData& table : tables) {
    if (std::filesystem::exists(folder / PathFromUtf8(table.name + ".csv"), ec) && !force) {
      return Message{MessageCode::CsvExists, {Utf8(folder / PathFromUtf8(table.name + ".csv"))}};
    }
  }
  for (const TableData& table : tables) {
    std::ofstream out(folder / PathFromUtf8(table.name + ".csv"), std::ios::binary);
    out << ToCsv(table);
    if (!out) {
      return Message{MessageCode::FileUnwritable,
                     {Utf8(folder / PathFromUtf8(table.name + ".csv"))}};
    }
  }
  return std::nullopt;
}

std::optional<Message> ExportDatabase(const std::filesystem::path& database,
                                      const std::filesystem::path& folder, bool force) {
  auto read = ReadTablesFrom(database);
  if (const auto* failure = std::get_if<ReadFailure>(&read)) return failure->message;
  return ExportTables(std::get<TableSource>(read).tables, folder, force);
}

}  // namespace threadgauge
