#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "register/ledger.h"

namespace threadgauge {

// The ledger as an Excel workbook, one sheet "量规台账" with a frozen header row; the
// interval as a number. The error, with the path, when it cannot be written.
std::optional<std::string> WriteLedgerXlsx(const std::vector<LedgerRow>& rows,
                                           const std::filesystem::path& file);

}  // namespace threadgauge
