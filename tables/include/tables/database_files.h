#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "tolerance/access_reader.h"
#include "tolerance/table_data.h"

namespace threadgauge {

// The tables a store holds, and the code page an Access 97 file was read in.
struct TableSource {
  std::vector<TableData> tables;
  std::optional<CodePageChoice> code_page;
};

// The tables of a store: an Access file (.mdb, .accdb), a folder of CSV files (one per
// table, named after it, header row = column names, UTF-8 or GBK), or an SQLite file.
// An Access 97 file is read in `code_page` when given, else in the code page under which
// the tolerance tables' names are found.
std::variant<TableSource, ReadFailure> ReadTablesFrom(const std::filesystem::path& source,
                                                      std::optional<int> code_page = {});

// The product's eight tables, with exactly their columns, filled from what a store holds
// of them; what it lacks is told in `warnings`. A store that holds none of the eight
// tables is refused: it is not a tolerance database.
struct ProductTables {
  std::vector<TableData> tables;
  std::vector<Message> warnings;
  std::optional<CodePageChoice> code_page;
};
std::variant<ProductTables, ReadFailure> ReadProductTables(const std::filesystem::path& source,
                                                           std::optional<int> code_page = {});

// Writes the product tables as a database file at `out`: built in a temporary file in the
// same folder and renamed over `out` only when complete, so a failure leaves `out` as it
// was. The error says what failed, with the path.
std::optional<Message> WriteDatabaseFile(const std::vector<TableData>& tables,
                                         const std::filesystem::path& out);

struct ImportOutcome {
  std::optional<Message> error;                      // nothing was written
  std::vector<Message> warnings;                     // what the source lacked
  std::vector<std::pair<std::string, size_t>> rows;  // rows per table written
  std::optional<CodePageChoice> code_page;
};

// Writes a new tolerance database with exactly the product's tables and columns, filled
// from what the source holds of them.
ImportOutcome ImportDatabase(const std::filesystem::path& source, const std::filesystem::path& out,
                             bool force, std::optional<int> code_page = {});

// One CSV per table (UTF-8, header row), in the form ImportDatabase reads back unchanged.
std::optional<Message> ExportTables(const std::vector<TableData>& tables,
                                    const std::filesystem::path& folder, bool force);
std::optional<Message> ExportDatabase(const std::filesystem::path& database,
                                      const std::filesystem::path& folder, bool force);

// A file name beside `file` that no one else uses, for writing a file whole before it is
// renamed over `file`.
std::filesystem::path TemporaryBeside(const std::filesystem::path& file);

// Why a file operation failed, in the words of the program's messages.
Message FileErrorReason(const std::error_code& error);

// The same tables in CSV form, for one table.
std::string ToCsv(const TableData& table);

}  // namespace threadgauge
