#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// The tables of a store: an Access file (.mdb, .accdb), a folder of CSV files (one per
// table, named after it, header row = column names, UTF-8 or GBK), or an SQLite file.
std::variant<std::vector<TableData>, ReadFailure> ReadTablesFrom(
    const std::filesystem::path& source);

struct ImportOutcome {
  std::optional<std::string> error;                  // nothing was written
  std::vector<std::string> warnings;                 // what the source lacked
  std::vector<std::pair<std::string, size_t>> rows;  // rows per table written
};

// Writes a new tolerance database with exactly the product's tables and columns, filled
// from what the source holds of them. Built in a temporary file beside `out` and renamed
// over it only when complete, so a failed import leaves an existing file as it was.
ImportOutcome ImportDatabase(const std::filesystem::path& source, const std::filesystem::path& out,
                             bool force);

// One CSV per table (UTF-8, header row), in the form ImportDatabase reads back unchanged.
std::optional<std::string> ExportDatabase(const std::filesystem::path& database,
                                          const std::filesystem::path& folder, bool force);

// The same tables in CSV form, for one table.
std::string ToCsv(const TableData& table);

}  // namespace threadgauge
