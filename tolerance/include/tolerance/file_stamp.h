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

// Makes a new, empty file where none is; the system's reason when it cannot.
std::error_code CreateNewFile(const std::filesystem::path& path);

}  // namespace threadgauge
