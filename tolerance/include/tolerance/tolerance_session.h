#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/file_stamp.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {

// Keeps the database of the latest calculation open, with the statements it has prepared,
// for as long as its file is unchanged: calculations in a row do no work twice, and every
// calculation still sees the file as it is now. Before each calculation it checks an
// SQLite file's identity, size and modification time and its header's change counter,
// which every commit of another program moves; in WAL mode, where commits leave the header
// as it is, also the engine's data version. (In rollback-journal mode the engine's data
// version moves exactly when those header bytes do, since they are what the engine compares,
// so asking it costs a lock cycle of the file and tells nothing more.) For an Access file
// it checks the content's hash, since its stamp may stay the same when it is overwritten.
// If anything moved, the file is opened afresh. An Access file that could not be read is
// remembered by its hash, so the next calculation answers at once with the same reason.
class ToleranceSession {
 public:
  explicit ToleranceSession(AccessReadLimits access_limits = {}) : access_limits_(access_limits) {}

  const ToleranceDatabase& Open(const std::filesystem::path& path);

  // Lets go of the file, so that it can be replaced (Windows keeps an open file in place);
  // the next calculation opens it again.
  void Close();

  // How many times a file was opened (not kept) since the session began.
  size_t openings() const { return openings_; }

 private:
  struct Kept {
    ToleranceDatabase db;
    FileStamp stamp;
    std::optional<std::int64_t> data_version;
    std::optional<SqliteHeader> header;    // SQLite files
    std::optional<HeldFile> held;          // read for the header at every check
    std::optional<std::uint64_t> content;  // Access files
  };
  bool StillCurrent(const std::filesystem::path& path) const;

  std::optional<Kept> kept_;
  std::optional<ToleranceDatabase> unusable_;  // a file that could not be opened: never kept
  // The Access file whose reading failed, by path and content hash.
  std::optional<std::pair<std::filesystem::path, std::uint64_t>> failed_access_;
  size_t openings_ = 0;
  AccessReadLimits access_limits_;
};

}  // namespace threadgauge
