#include "tolerance/tolerance_session.h"

#include "tolerance/access_reader.h"

namespace threadgauge {

bool ToleranceSession::StillCurrent(const std::filesystem::path& path) const {
  if (!kept_ || kept_->db.path() != path) return false;
  if (kept_->content) return ContentHash(path) == kept_->content;
  const std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp || !(*stamp == kept_->stamp)) return false;
  const std::optional<SqliteHeader> header =
      kept_->held ? ReadSqliteHeader(*kept_->held) : std::nullopt;
  if (!header || header != kept_->header) return false;
  return !header->wal || kept_->db.DataVersion() == kept_->data_version;
}

const ToleranceDatabase& ToleranceSession::Open(const std::filesystem::path& path) {
  if (StillCurrent(path)) return kept_->db;
  kept_.reset();
  const bool access = IsAccessFile(path);
  // Taken before opening: a change made while the file is read shows at the next check.
  const std::optional<FileStamp> stamp = StampOf(path);
  const std::optional<std::uint64_t> content = access ? ContentHash(path) : std::nullopt;
  if (access && content && failed_access_ && failed_access_->first == path &&
      failed_access_->second == *content && unusable_ && unusable_->path() == path) {
    return *unusable_;
  }
  std::optional<HeldFile> held = access ? std::nullopt : HeldFile::Open(path);
  const std::optional<SqliteHeader> header = held ? ReadSqliteHeader(*held) : std::nullopt;
  ++openings_;
  ToleranceDatabase db = ToleranceDatabase::Open(path, access_limits_);
  if (!stamp || !db.is_open()) {
    if (access && content) failed_access_.emplace(path, *content);
    unusable_ = std::move(db);
    return *unusable_;
  }
  failed_access_.reset();
  const std::optional<std::int64_t> version = db.DataVersion();
  kept_ = Kept{std::move(db), *stamp, version, header, std::move(held), content};
  return kept_->db;
}

void ToleranceSession::Close() {
  kept_.reset();
  unusable_.reset();
}

}  // namespace threadgauge
