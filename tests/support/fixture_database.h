#pragma once

#include <filesystem>
#include <string>

#include "tolerance/access_reader.h"

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
// The same, giving the engine's result code (0 when it ran) and its message.
int TryExecSql(const std::filesystem::path& file, const std::string& sql,
               std::string* message = nullptr);

// The shipped database in the build tree.
std::filesystem::path ShippedDatabase();

// A test file the project carries in tests/data (see the README there).
std::filesystem::path CarriedTestFile(const char* name);

// The tables of an Access file read in this process; the calling test fails when it cannot
// be read.
AccessTables ReadAccess(const std::filesystem::path& file, const AccessReadOptions& options = {});
const TableData* TableNamed(const AccessTables& read, const std::string& name);

// A shared Access test file; the calling test fails when it is missing.
std::filesystem::path SharedAccessFile(const char* name);

// A user's 公差表.mdb as written on a Chinese system: the shared Access 97 file whose
// header records code page 1252 while its text is GBK, with its table renamed, in GBK, to
// "位置要素". Made in `folder` from the shared file, never kept.
std::filesystem::path ChineseAccess97ToleranceFile(const TemporaryFolder& folder);

}  // namespace threadgauge::testing
