#include "tolerance/admin/user_database.h"

#include <system_error>

#include "tolerance/admin/database_files.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

// Copies `from` to `to` by way of a temporary file, so `to` is either as it was or whole.
std::optional<std::string> CopyInPlace(const std::filesystem::path& from,
                                       const std::filesystem::path& to) {
  const std::filesystem::path temporary = TemporaryBeside(to);
  std::error_code ec;
  std::filesystem::copy_file(from, temporary, ec);
  if (!ec) std::filesystem::rename(temporary, to, ec);
  if (!ec) return std::nullopt;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  return "无法写入 " + Utf8(to) + "：" + FileErrorReason(ec);
}

}  // namespace

std::filesystem::path BackupPath(const std::filesystem::path& database) {
  return database.parent_path() / PathFromUtf8(Utf8(database.filename()) + ".bak");
}

std::optional<std::string> SaveUserDatabase(const std::vector<TableData>& tables,
                                            const std::filesystem::path& database) {
  const std::filesystem::path folder = database.parent_path();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return "无法建立文件夹 " + Utf8(folder) + "：" + FileErrorReason(ec);

  // Written whole beside the database first; the database is not touched yet.
  const std::filesystem::path written = TemporaryBeside(database);
  if (auto error = WriteDatabaseFile(tables, written)) return error;
  const auto discard = [&] {
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
  };
  if (std::filesystem::exists(database, ec)) {
    if (auto error = CopyInPlace(database, BackupPath(database))) {
      discard();
      return error;
    }
  }
  std::filesystem::rename(written, database, ec);
  if (ec) {
    discard();
    return "无法写入 " + Utf8(database) + "：" + FileErrorReason(ec);
  }
  return std::nullopt;
}

std::optional<std::string> RestoreBackup(const std::filesystem::path& database) {
  const std::filesystem::path backup = BackupPath(database);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(backup, ec)) return "没有备份文件 " + Utf8(backup);
  return CopyInPlace(backup, database);
}

}  // namespace threadgauge
