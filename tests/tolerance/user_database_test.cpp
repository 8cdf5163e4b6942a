// Saving the user's tables: atomic, one backup, and nothing lost when saving fails.
#include "tables/user_database.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_program.h"
#include "tables/database_files.h"
#include "tolerance/schema.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

// The product tables, with one 位置要素 row whose TPL is `tpl`.
std::vector<TableData> Tables(const char* tpl) {
  std::vector<TableData> tables;
  for (const SchemaTable& schema : ProductSchema()) {
    tables.push_back({schema.name, schema.columns, schema.numeric, {}});
    if (schema.name == "位置要素") {
      tables.back().rows.push_back({std::nullopt, "50", tpl, "1", "1", "1", "1", "1", "1", "1"});
    }
  }
  return tables;
}

std::string SavedTpl(const std::filesystem::path& file) {
  auto read = ReadTablesFrom(file);
  if (!std::holds_alternative<TableSource>(read)) return "unreadable";
  for (const TableData& table : std::get<TableSource>(read).tables) {
    if (table.name == "位置要素" && !table.rows.empty()) return table.rows[0][2].value_or("");
  }
  return "none";
}

size_t FilesIn(const std::filesystem::path& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                           std::filesystem::directory_iterator()));
}

TEST(UserDatabase, SavesMakingTheFolderAndKeepsThreeGoodGenerations) {
  testing::TemporaryFolder home;
  const auto database = home.path() / "threadgauge" / u8"公差表" / u8"公差表.db";
  ASSERT_FALSE(SaveUserDatabase(Tables("4"), database));
  EXPECT_EQ(SavedTpl(database), "4");
  EXPECT_FALSE(std::filesystem::exists(BackupPath(database)));
  for (const char* tpl : {"5", "6", "7", "8"})
    ASSERT_FALSE(SaveUserDatabase(Tables(tpl), database));
  EXPECT_EQ(SavedTpl(database), "8");
  EXPECT_EQ(SavedTpl(BackupPath(database, 1)), "7");
  EXPECT_EQ(SavedTpl(BackupPath(database, 2)), "6");
  EXPECT_EQ(SavedTpl(BackupPath(database, 3)), "5");
  EXPECT_EQ(BackupPath(database).filename(), std::filesystem::u8path("公差表.db.bak"));
  EXPECT_EQ(BackupPath(database, 3).filename(), std::filesystem::u8path("公差表.db.bak3"));
  // Nothing else is left in the folder.
  EXPECT_EQ(FilesIn(database.parent_path()), 4u);

  ASSERT_FALSE(RestoreBackup(database));
  EXPECT_EQ(SavedTpl(database), "7");
}

// A file that is not a tolerance database never becomes a backup: it is set aside with the
// date, and the good generations stay byte for byte.
TEST(UserDatabase, ADamagedDatabaseIsSetAsideNeverRotated) {
  testing::TemporaryFolder home;
  const auto database = home.path() / u8"公差表.db";
  ASSERT_FALSE(SaveUserDatabase(Tables("4"), database));
  ASSERT_FALSE(SaveUserDatabase(Tables("5"), database));
  const std::string good_backup = testing::ReadBytes(BackupPath(database));
  const std::string damage(4096, 'x');
  std::ofstream(database, std::ios::binary | std::ios::trunc) << damage;
  EXPECT_EQ(LastGoodTables(database)->file, BackupPath(database));
  // The shipped tables hold no gauge rows: fewer than the user's last good ones.
  const auto lost = RowsLost(LastGoodTables(database)->tables, Tables(""));
  EXPECT_TRUE(lost.empty());  // one row each
  std::vector<TableData> empty = Tables("");
  for (TableData& t : empty) t.rows.clear();
  const auto emptied = RowsLost(LastGoodTables(database)->tables, empty);
  ASSERT_EQ(emptied.size(), 1u);
  EXPECT_EQ(emptied[0].table, "位置要素");
  EXPECT_EQ(emptied[0].before, 1u);
  EXPECT_EQ(emptied[0].after, 0u);

  ASSERT_FALSE(SaveUserDatabase(Tables("6"), database, "2026-12-07"));
  EXPECT_EQ(SavedTpl(database), "6");
  EXPECT_EQ(testing::ReadBytes(BackupPath(database)), good_backup);
  EXPECT_FALSE(std::filesystem::exists(BackupPath(database, 2)));
  EXPECT_EQ(testing::ReadBytes(home.path() / u8"公差表.db.damaged-2026-12-07"), damage);

  // Restoring over a damaged file sets that one aside too, under a name of its own.
  std::ofstream(database, std::ios::binary | std::ios::trunc) << damage;
  ASSERT_FALSE(RestoreBackup(database, "2026-12-07"));
  EXPECT_EQ(testing::ReadBytes(database), good_backup);
  EXPECT_EQ(testing::ReadBytes(BackupPath(database)), good_backup);
  EXPECT_EQ(testing::ReadBytes(home.path() / u8"公差表.db.damaged-2026-12-07-2"), damage);
}

TEST(UserDatabase, FailedSaveLeavesDatabaseAndBackupAsTheyWere) {
  testing::TemporaryFolder home;
  const auto folder = home.path() / u8"公差表";
  const auto database = folder / u8"公差表.db";
  ASSERT_FALSE(SaveUserDatabase(Tables("4"), database));
  ASSERT_FALSE(SaveUserDatabase(Tables("5"), database));
  const std::string before = testing::ReadBytes(database);
  const std::string backup = testing::ReadBytes(BackupPath(database));
  {
    ReadOnlyFolder read_only(Utf8(folder));
    const auto error = SaveUserDatabase(Tables("6"), database);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(Say(error).find(Utf8(folder)), std::string::npos) << Say(error);
    EXPECT_NE(Say(error).find("没有写入权限"), std::string::npos) << Say(error);
  }
  EXPECT_EQ(testing::ReadBytes(database), before);
  EXPECT_EQ(testing::ReadBytes(BackupPath(database)), backup);
  EXPECT_EQ(FilesIn(folder), 2u);

  // A file where the folder should be.
  std::ofstream(home.path() / u8"挡路", std::ios::binary) << "x";
  const auto blocked = SaveUserDatabase(Tables("6"), home.path() / u8"挡路" / u8"公差表.db");
  ASSERT_TRUE(blocked.has_value());
  EXPECT_NE(Say(blocked).find("同名的文件"), std::string::npos) << Say(blocked);
  EXPECT_TRUE(RestoreBackup(home.path() / u8"无.db").has_value());
}

}  // namespace
}  // namespace threadgauge
