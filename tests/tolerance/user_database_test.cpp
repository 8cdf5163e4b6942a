// Saving the user's tables: atomic, one backup, and nothing lost when saving fails.
#include "tolerance/admin/user_database.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"
#include "support/run_program.h"
#include "tolerance/admin/database_files.h"
#include "tolerance/schema.h"

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

TEST(UserDatabase, SavesMakingTheFolderAndKeepsOneBackup) {
  testing::TemporaryFolder home;
  const auto database = home.path() / "threadgauge" / "公差表" / "公差表.db";
  ASSERT_FALSE(SaveUserDatabase(Tables("4"), database));
  EXPECT_EQ(SavedTpl(database), "4");
  EXPECT_FALSE(std::filesystem::exists(BackupPath(database)));
  ASSERT_FALSE(SaveUserDatabase(Tables("5"), database));
  ASSERT_FALSE(SaveUserDatabase(Tables("6"), database));
  EXPECT_EQ(SavedTpl(database), "6");
  EXPECT_EQ(SavedTpl(BackupPath(database)), "5");
  EXPECT_EQ(BackupPath(database).filename(), std::filesystem::u8path("公差表.db.bak"));
  // Nothing else is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(database.parent_path()),
                          std::filesystem::directory_iterator()),
            2);

  ASSERT_FALSE(RestoreBackup(database));
  EXPECT_EQ(SavedTpl(database), "5");
}

TEST(UserDatabase, FailedSaveLeavesDatabaseAndBackupAsTheyWere) {
  testing::TemporaryFolder home;
  const auto folder = home.path() / "公差表";
  const auto database = folder / "公差表.db";
  ASSERT_FALSE(SaveUserDatabase(Tables("4"), database));
  ASSERT_FALSE(SaveUserDatabase(Tables("5"), database));
  const std::string before = testing::ReadBytes(database);
  const std::string backup = testing::ReadBytes(BackupPath(database));
  {
    ReadOnlyFolder read_only(folder.string());
    const auto error = SaveUserDatabase(Tables("6"), database);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(folder.string()), std::string::npos) << *error;
    EXPECT_NE(error->find("没有写入权限"), std::string::npos) << *error;
  }
  EXPECT_EQ(testing::ReadBytes(database), before);
  EXPECT_EQ(testing::ReadBytes(BackupPath(database)), backup);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            2);

  // A file where the folder should be.
  std::ofstream(home.path() / "挡路", std::ios::binary) << "x";
  const auto blocked = SaveUserDatabase(Tables("6"), home.path() / "挡路" / "公差表.db");
  ASSERT_TRUE(blocked.has_value());
  EXPECT_NE(blocked->find("同名的文件"), std::string::npos) << *blocked;
  EXPECT_TRUE(RestoreBackup(home.path() / "无.db").has_value());
}

}  // namespace
}  // namespace threadgauge
