#pragma once

#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

#include "tolerance/table_data.h"

namespace threadgauge {

// Reads every user table of a Microsoft Access file (Access 97 / Jet 3, Access 2000-2003 /
// Jet 4, Access 2007+ / ACE), rows in stored order. Jet 4 and ACE store text as UCS-2; Jet 3
// stores it in the code page of the system that wrote the file: the one the file records,
// else `code_page` when given, else 936 (GBK, as written on a Chinese system).
std::variant<std::vector<TableData>, ReadFailure> ReadAccessTables(
    const std::filesystem::path& file, std::optional<int> code_page = std::nullopt);

bool IsAccessFile(const std::filesystem::path& file);

}  // namespace threadgauge
