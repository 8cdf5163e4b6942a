#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace threadgauge::testing {

// A tolerance database with every table filled: the shipped ISO 965-1 tables, and the five
// gauge tables with values made up for testing (not from any standard) for every pitch of
// the pitch list and TD2/Td2 from 0 to 1000 µm. For benchmarks and fuzzing, which need the
// gauge formulas to run with numbers. The error when it cannot be written.
std::optional<std::string> WriteFilledDatabase(const std::filesystem::path& shipped,
                                               const std::filesystem::path& out);

}  // namespace threadgauge::testing
