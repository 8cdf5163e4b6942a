#include "tolerance/tolerance_session.h"

namespace threadgauge {

bool ToleranceSession::StillCurrent(const std::filesystem::path& path) const {
  if (!kept_ || kept_->db.path() != path) return false;
  const std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp || !(*stamp == kept_->stamp)) return false;
  return kept_->db.DataVersion() == kept_->data_version;
}

const ToleranceDatabase& ToleranceSession::Open(const std::filesystem::path& path) {
  if (StillCurrent(path)) return kept_->db;
  kept_.reset();
  ++openings_;
  // Stamped before opening: a change made while the file is read shows at the next check.
  const std::optional<FileStamp> stamp = StampOf(path);
  ToleranceDatabase db = ToleranceDatabase::Open(path);
  if (!stamp || !db.is_open()) {
    unusable_ = std::move(db);
    return *unusable_;
  }
  const std::optional<std::int64_t> version = db.DataVersion();
  kept_ = Kept{std::move(db), *stamp, version};
  return kept_->db;
}

}  // namespace threadgauge
