#include "tables/user_database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "platform/utf8.h"
#include "tables/database_files.h"
#include "tolerance/table_names.h"

namespace threadgauge {
namespace {

std::filesystem::path Beside(const std::filesystem::path& database, const std::string& suffix) {
  return database.parent_path() / PathFromUtf8(Utf8(database.filename()) + suffix);
}

std::optional<std::vector<TableData>> ToleranceTablesOf(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  auto read = ReadProductTables(file);
  if (auto* product = std::get_if<ProductTables>(&read)) return std::move(product->tables);
  return std::nullopt;
}

Message Failed(const std::filesystem::path& file, const std::error_code& ec) {
  return {MessageCode::FileUnwritableBecause, {Utf8(file)}, {FileErrorReason(ec)}};
}

// Copies `from` to `to` by way of a temporary file, so `to` is either as it was or whole.
std::optional<Message> CopyInPlace(const std::filesystem::path& from,
                                   const std::filesystem::path& to) {
  const std::filesystem::path temporary = TemporaryBeside(to);
  std::error_code ec;
  std::filesystem::copy_file(from, temporary, ec);
  if (!ec) std::filesystem::rename(temporary, to, ec);
  if (!ec) return std::nullopt;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  return Failed(to, ec);
}

// Moves the database in place out of the way of a new one: a good one into the backups,
// a damaged one aside. The database itself stays until the new file is renamed over it.
std::optional<Message> MakeWay(const std::filesystem::path& database, const std::string& today) {
  std::error_code ec;
  if (!std::filesystem::exists(database, ec)) return std::nullopt;
  if (!ToleranceTablesOf(database)) {
    const std::filesystem::path aside = DamagedPath(database, today);
    std::filesystem::copy_file(database, aside, ec);
    return ec ? std::optional(Failed(aside, ec)) : std::nullopt;
  }
  for (int generation = kBackupGenerations - 1; generation >= 1; --generation) {
    const std::filesystem::path older = BackupPath(database, generation);
    if (!std::filesystem::exists(older, ec)) continue;
    std::filesystem::rename(older, BackupPath(database, generation + 1), ec);
    if (ec) return Failed(BackupPath(database, generation + 1), ec);
  }
  return CopyInPlace(database, BackupPath(database));
}

// Puts the complete file `written` in the database's place.
std::optional<Message> Replace(const std::filesystem::path& written,
                               const std::filesystem::path& database, const std::string& today) {
  const auto discard = [&] {
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
  };
  if (auto error = MakeWay(database, today)) {
    discard();
    return error;
  }
  std::error_code ec;
  std::filesystem::rename(written, database, ec);
  if (ec) {
    discard();
    return Failed(database, ec);
  }
  return std::nullopt;
}

}  // namespace

std::filesystem::path BackupPath(const std::filesystem::path& database, int generation) {
  return Beside(database, generation == 1 ? ".bak" : ".bak" + std::to_string(generation));
}

std::filesystem::path DamagedPath(const std::filesystem::path& database, const std::string& date) {
  std::filesystem::path aside = Beside(database, ".damaged-" + date);
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(aside, ec); ++n) {
    aside = Beside(database, ".damaged-" + date + "-" + std::to_string(n));
  }
  return aside;
}

std::string TodayText() {
  const auto today = std::chrono::year_month_day(
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(today.year()),
                static_cast<unsigned>(today.month()), static_cast<unsigned>(today.day()));
  return text;
}

std::optional<GoodTables> LastGoodTables(const std::filesystem::path& database) {
  if (auto tables = ToleranceTablesOf(database)) return GoodTables{database, std::move(*tables)};
  for (int generation = 1; generation <= kBackupGenerations; ++generation) {
    const std::filesystem::path backup = BackupPath(database, generation);
    if (auto tables = ToleranceTablesOf(backup)) return GoodTables{backup, std::move(*tables)};
  }
  return std::nullopt;
}

std::vector<RowLoss> RowsLost(const std::vector<TableData>& before,
                              const std::vector<TableData>& after) {
  std::vector<RowLoss> lost;
  for (const char* name : names::kUserGaugeTables) {
    const auto rows = [&](const std::vector<TableData>& tables) -> size_t {
      const auto at = std::find_if(tables.begin(), tables.end(),
                                   [&](const TableData& t) { return t.name == name; });
      return at == tables.end() ? 0 : at->rows.size();
    };
    if (rows(after) < rows(before)) lost.push_back({name, rows(before), rows(after)});
  }
  return lost;
}

std::optional<Message> SaveUserDatabase(const std::vector<TableData>& tables,
                                        const std::filesystem::path& database,
                                        const std::string& today) {
  const std::filesystem::path folder = database.parent_path();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Message{MessageCode::FolderUncreatable, {Utf8(folder)}, {FileErrorReason(ec)}};
  // Written whole beside the database first; the database is not touched yet.
  const std::filesystem::path written = TemporaryBeside(database);
  if (auto error = WriteDatabaseFile(tables, written)) return error;
  return Replace(written, database, today);
}

std::optional<Message> RestoreBackup(const std::filesystem::path& database,
                                     const std::string& today) {
  for (int generation = 1; generation <= kBackupGenerations; ++generation) {
    const std::filesystem::path backup = BackupPath(database, generation);
    if (!ToleranceTablesOf(backup)) continue;
    const std::filesystem::path written = TemporaryBeside(database);
    std::error_code ec;
    std::filesystem::copy_file(backup, written, ec);
    if (ec) return Failed(written, ec);
    return Replace(written, database, today);
  }
  return Message{MessageCode::NoUsableBackup, {Utf8(BackupPath(database))}};
}

}  // namespace threadgauge
