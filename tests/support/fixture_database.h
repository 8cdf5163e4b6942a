#pragma once

#include <filesystem>
#include <string>

namespace threadgauge::testing {

// A database file written by a test: either empty or with the product's eight tables
// (the schema the shipped database is built from), filled by the test's own SQL.
class FixtureDatabase {
 public:
  enum class Start { Empty, ProductSchema };
  explicit FixtureDatabase(Start start = Start::ProductSchema);
  ~FixtureDatabase();
  FixtureDatabase(const FixtureDatabase&) = delete;
  FixtureDatabase& operator=(const FixtureDatabase&) = delete;

  void Exec(const std::string& sql);
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path folder_;
  std::filesystem::path path_;
};

// A fresh empty folder below the system's temporary folder, removed with the object.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);

// Runs SQL on any database file, as another program editing it would.
void ExecSql(const std::filesystem::path& file, const std::string& sql);

// The shipped database in the build tree.
std::filesystem::path ShippedDatabase();

}  // namespace threadgauge::testing
