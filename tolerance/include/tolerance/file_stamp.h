#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

namespace threadgauge {

// What tells one state of a file from another without reading it: which file it is (a file
// put in its place by a rename is another), its size and its modification time.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t file = 0;  // the file's number on its device
  std::uintmax_t size = 0;
  std::int64_t modified_ns = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Nothing when there is no file at the path.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// A hash of the file's whole content: a file overwritten in place with the same size and
// modification time (a copy that keeps times, an unzip, FAT's two-second clock) still gives
// another hash. Nothing when the file cannot be read.
std::optional<std::uint64_t> ContentHash(const std::filesystem::path& path);

// The change counter in an SQLite file's header, which every committed change moves.
std::optional<std::uint32_t> SqliteChangeCounter(const std::filesystem::path& path);

// Makes a new, empty file where none is; the system's reason when it cannot.
std::error_code CreateNewFile(const std::filesystem::path& path);

}  // namespace threadgauge
