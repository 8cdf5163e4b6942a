#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calculation/batch.h"

namespace threadgauge {

// The columns of a series table: the thread, the gauge, the ten fields, the notices.
std::vector<std::string> BatchColumns();

// CSV, UTF-8 with a byte-order mark; JSON Lines, one object per row.
std::string BatchCsv(const std::vector<BatchRow>& rows);
std::string BatchJsonLine(const BatchRow& row);

// An Excel workbook: one sheet per tolerance class with a frozen header row; the fields'
// numbers written as numbers in the window's decimals ("0.000", "0.0000"), the notices in
// the last column. The error, with the path, when it cannot be written.
std::optional<std::string> WriteBatchXlsx(const std::vector<BatchRow>& rows,
                                          const std::filesystem::path& file);

}  // namespace threadgauge
