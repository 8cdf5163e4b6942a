#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <variant>

#include "tolerance/access_reader.h"

namespace threadgauge {

// The limits of one reading of an Access file: the whole reading, every code page tried
// included, and the memory the reader may take.
struct AccessReadLimits {
  std::chrono::milliseconds time{10'000};
  std::uint64_t memory_bytes = std::uint64_t{2} << 30;
};

// The program that reads Access files for the others: beside the running program, or in
// the installed helper folder.
std::filesystem::path AccessReaderProgram();

// Reads the tables of an Access file as ReadAccessTables does, in a child process: a loop
// or a crash of the Access library on a damaged file ends that process, never the window
// or the command. A reading that runs out of time fails with OpenStatus::TimedOut, one
// whose reader breaks down with OpenStatus::ReaderFailed.
std::variant<AccessTables, ReadFailure> ReadAccessTablesApart(
    const std::filesystem::path& file, const AccessReadOptions& options = {},
    const AccessReadLimits& limits = {},
    const std::filesystem::path& reader = AccessReaderProgram());

// The tables in the form the reader hands them over, and back.
std::string EncodeAccessTables(const AccessTables& tables);
std::optional<AccessTables> DecodeAccessTables(std::string_view bytes);

}  // namespace threadgauge
