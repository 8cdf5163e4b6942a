#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "tolerance/file_stamp.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {

// Keeps the database of the latest calculation open, with the statements it has prepared,
// for as long as its file is unchanged: calculations in a row do no work twice, and every
// calculation still sees the file as it is now. Before each calculation it checks, cheaply,
// the file's identity, size and modification time, and for an SQLite file the engine's
// data version, which moves when another program commits a change; if anything moved, the
// file is opened afresh. An Access file is converted once and kept while it is unchanged.
class ToleranceSession {
 public:
  const ToleranceDatabase& Open(const std::filesystem::path& path);

  // How many times a file was opened (not kept) since the session began.
  size_t openings() const { return openings_; }

 private:
  struct Kept {
    ToleranceDatabase db;
    FileStamp stamp;
    std::optional<std::int64_t> data_version;
  };
  bool StillCurrent(const std::filesystem::path& path) const;

  std::optional<Kept> kept_;
  std::optional<ToleranceDatabase> unusable_;  // a file that could not be opened: never kept
  size_t openings_ = 0;
};

}  // namespace threadgauge
