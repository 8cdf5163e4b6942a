#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// The code page an Access 97 (Jet 3) file was read in, and the one its header records.
// Jet 3 stores text in the code page of the system that wrote it; files from Chinese
// systems with the "General" sort order record 1252 although their text is GBK.
struct CodePageChoice {
  int used = 0;
  int recorded = 0;  // 0 when the header records none
  friend bool operator==(const CodePageChoice&, const CodePageChoice&) = default;
};

struct AccessReadOptions {
  // Only this code page is tried, when given.
  std::optional<int> code_page;
  // Names (of tables or columns) the caller looks for. A Jet 3 file is read in the first
  // candidate code page under which one of them is found: the header's, then 936 (GBK),
  // then 950 (Big5). When none finds one, the header's is used.
  std::vector<std::string> expected_names;
};

struct AccessTables {
  std::vector<TableData> tables;            // every user table, rows in stored order
  std::optional<CodePageChoice> code_page;  // Jet 3 files only; Jet 4 and ACE store UCS-2
};

// Reads every user table of a Microsoft Access file (Access 97 / Jet 3, Access 2000-2003 /
// Jet 4, Access 2007+ / ACE). The file is only read.
std::variant<AccessTables, ReadFailure> ReadAccessTables(const std::filesystem::path& file,
                                                         const AccessReadOptions& options = {});

bool IsAccessFile(const std::filesystem::path& file);

}  // namespace threadgauge
