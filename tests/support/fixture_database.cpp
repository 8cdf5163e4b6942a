#include "support/fixture_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/utf8.h"

namespace threadgauge::testing {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Absolute as the programs print them: on Windows the build's paths gain their drive.
std::filesystem::path ShippedDatabase() {
  return std::filesystem::absolute(std::filesystem::u8path(THREADGAUGE_TEST_DATABASE));
}

std::filesystem::path SharedAccessFile(const char* name) {
  const auto file = std::filesystem::u8path(THREADGAUGE_TEST_DATA) / "mdb" / name;
  EXPECT_TRUE(std::filesystem::exists(file)) << "test data missing: " << file;
  return file;
}

AccessTables ReadAccess(const std::filesystem::path& file, const AccessReadOptions& options) {
  auto read = ReadAccessTables(file, options);
  EXPECT_TRUE(std::holds_alternative<AccessTables>(read)) << file;
  if (!std::holds_alternative<AccessTables>(read)) return {};
  return std::get<AccessTables>(std::move(read));
}

const TableData* TableNamed(const AccessTables& read, const std::string& name) {
  for (const TableData& table : read.tables) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

std::filesystem::path CarriedTestFile(const char* name) {
  return std::filesystem::absolute(std::filesystem::u8path(THREADGAUGE_CARRIED_TEST_DATA) / name);
}

std::filesystem::path ChineseAccess97ToleranceFile(const TemporaryFolder& folder) {
  std::string bytes = ReadBytes(CarriedTestFile("zh-jet3-booklist.mdb"));
  const size_t at = bytes.find("Bookform");
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) bytes.replace(at, 8, "\xCE\xBB\xD6\xC3\xD2\xAA\xCB\xD8");
  const auto file = folder.path() / std::filesystem::u8path("公差表.mdb");
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

TemporaryFolder::TemporaryFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("threadgauge-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

FixtureDatabase::FixtureDatabase(Start start) {
  static std::atomic<int> counter{0};
  std::random_device random;
  folder_ = std::filesystem::temp_directory_path() /
            ("threadgauge-fixture-" + std::to_string(random()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(folder_);
  path_ = folder_ / u8"公差表.db";
  if (start == Start::ProductSchema) {
    Exec(ReadBytes(std::filesystem::u8path(THREADGAUGE_SCHEMA_SQL)));
  } else {
    Exec("PRAGMA user_version = 0");
  }
}

FixtureDatabase::~FixtureDatabase() {
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void FixtureDatabase::Exec(const std::string& sql) { ExecSql(path_, sql); }

int TryExecSql(const std::filesystem::path& file, const std::string& sql, std::string* message) {
  sqlite3* db = nullptr;
  if (sqlite3_open(Utf8(file).c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return SQLITE_CANTOPEN;
  }
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (message) *message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  return rc;
}

void ExecSql(const std::filesystem::path& file, const std::string& sql) {
  std::string message;
  ASSERT_EQ(TryExecSql(file, sql, &message), SQLITE_OK) << message << "\n" << sql;
}

}  // namespace threadgauge::testing
