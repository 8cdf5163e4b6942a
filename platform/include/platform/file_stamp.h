#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

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

// What an SQLite file's header tells of its state: bytes 24 … 39 (the change counter, which
// every commit in rollback-journal mode moves, the page count and the free-list), which the
// engine itself compares to know whether another program changed the file; and whether
// the file is in WAL mode, where commits leave the header alone until a checkpoint.
struct SqliteHeader {
  std::array<unsigned char, 16> state{};
  bool wal = false;
  std::uint32_t ChangeCounter() const;
  friend bool operator==(const SqliteHeader&, const SqliteHeader&) = default;
};
std::optional<SqliteHeader> ReadSqliteHeader(const std::filesystem::path& path);

// A file kept open for reading its first bytes again and again, without opening it each
// time. (Which file the path names now is told by its stamp, not by this handle.)
class HeldFile {
 public:
  static std::optional<HeldFile> Open(const std::filesystem::path& path);
  bool ReadStart(unsigned char* bytes, size_t count) const;

  HeldFile(HeldFile&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  HeldFile& operator=(HeldFile&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile();

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit HeldFile(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kNone;
};
std::optional<SqliteHeader> ReadSqliteHeader(const HeldFile& file);

// Makes a new, empty file where none is; the system's reason when it cannot.
std::error_code CreateNewFile(const std::filesystem::path& path);

}  // namespace threadgauge
