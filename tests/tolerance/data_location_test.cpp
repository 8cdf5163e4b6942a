#include "platform/data_location.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

void Touch(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file).flush();
}

TEST(DataLocation, UsersDatabaseThenAccessDatabaseThenTheShippedOne) {
  testing::TemporaryFolder root;
  const auto bin = root.path() / "bin";
  const auto user = root.path() / u8"数据" / "threadgauge";
  const auto folder = bin / std::filesystem::u8path("公差表");
  const auto beside = folder / std::filesystem::u8path("公差表.db");
  const auto access = folder / std::filesystem::u8path("公差表.mdb");
  const auto installed = root.path() / "share" / "threadgauge" / std::filesystem::u8path("公差表") /
                         std::filesystem::u8path("公差表.db");
  const auto users =
      user / std::filesystem::u8path("公差表") / std::filesystem::u8path("公差表.db");
  const DataPlaces places{bin, user};
  EXPECT_EQ(UserDatabasePath(user), users);

  const DatabaseLocation none = LocateDatabase(places);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.path, beside);
  ASSERT_EQ(none.looked_at.size(), 4u);
  EXPECT_EQ(none.looked_at[0].path, users);
  EXPECT_EQ(none.looked_at[1].path, access);
  EXPECT_EQ(none.looked_at[2].path, beside);
  EXPECT_EQ(none.looked_at[3].path, installed);

  Touch(installed);
  EXPECT_EQ(LocateDatabase(places).path, installed);
  Touch(beside);
  EXPECT_EQ(LocateDatabase(places).path, beside);
  Touch(access);
  EXPECT_EQ(LocateDatabase(places).path, access);
  Touch(users);
  const DatabaseLocation all = LocateDatabase(places);
  EXPECT_TRUE(all.found);
  EXPECT_EQ(all.path, users);
  for (const auto& place : all.looked_at) EXPECT_TRUE(place.exists) << place.path;
  // Without a user folder the user's database is not looked for.
  EXPECT_EQ(LocateDatabase(DataPlaces{bin, std::nullopt}).path, access);
}

TEST(DataLocation, UserFolderFollowsXdgDataHomeAsQtDoes) {
  const char* home = std::getenv("HOME");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> saved = xdg ? std::optional<std::string>(xdg) : std::nullopt;
  SetEnvironment("XDG_DATA_HOME", "/srv/用户 数据");
  EXPECT_EQ(UserDataDirectory(), std::filesystem::u8path("/srv/用户 数据") / "threadgauge");
  SetEnvironment("XDG_DATA_HOME", "relative/path");  // not absolute: ignored
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(UserDataDirectory(), std::filesystem::path(home) / ".local" / "share" / "threadgauge");
  SetEnvironment("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(UserDataDirectory(), std::filesystem::path(home) / ".local" / "share" / "threadgauge");
  SetEnvironment("XDG_DATA_HOME", saved);
}

}  // namespace
}  // namespace threadgauge
