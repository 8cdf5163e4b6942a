#include "tolerance/data_location.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"

namespace threadgauge {
namespace {

void Touch(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file).flush();
}

TEST(DataLocation, UsersAccessDatabaseComesFirstThenTheShippedOne) {
  testing::TemporaryFolder root;
  const auto bin = root.path() / "bin";
  const auto folder = bin / std::filesystem::u8path("公差表");
  const auto installed = root.path() / "share" / "threadgauge" / std::filesystem::u8path("公差表") /
                         std::filesystem::u8path("公差表.db");

  DatabaseLocation none = LocateDatabase(bin);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.path, folder / std::filesystem::u8path("公差表.db"));

  Touch(installed);
  EXPECT_EQ(LocateDatabase(bin).path, installed);

  Touch(folder / std::filesystem::u8path("公差表.db"));
  EXPECT_EQ(LocateDatabase(bin).path, folder / std::filesystem::u8path("公差表.db"));

  Touch(folder / std::filesystem::u8path("公差表.mdb"));
  const DatabaseLocation mdb = LocateDatabase(bin);
  EXPECT_TRUE(mdb.found);
  EXPECT_EQ(mdb.path, folder / std::filesystem::u8path("公差表.mdb"));
}

}  // namespace
}  // namespace threadgauge
