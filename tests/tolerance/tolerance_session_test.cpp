// A session keeps the database open while its file is unchanged, and sees every change.
#include "tolerance/tolerance_session.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "tolerance/lookups.h"

namespace threadgauge {
namespace {

double EsG(const ToleranceDatabase& db) {
  return LookupFundamentalDeviation(db, 1.5, "es(g)").value();
}

TEST(ToleranceSession, KeepsTheFileOpenUntilItChanges) {
  testing::FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 基本偏差 (P, "es(g)") VALUES (1.5, -32);)sql");
  ToleranceSession session;
  EXPECT_EQ(EsG(session.Open(fixture.path())), -32);
  EXPECT_EQ(EsG(session.Open(fixture.path())), -32);
  EXPECT_EQ(session.openings(), 1u);

  // A row changed in place by another program.
  testing::ExecSql(fixture.path(), R"sql(UPDATE 基本偏差 SET "es(g)" = -33;)sql");
  EXPECT_EQ(EsG(session.Open(fixture.path())), -33);
  EXPECT_EQ(session.openings(), 2u);

  // The file replaced by another of the same size, as a save by rename does.
  testing::TemporaryFolder folder;
  const auto other = folder.path() / "other.db";
  std::filesystem::copy_file(fixture.path(), other);
  testing::ExecSql(other, R"sql(UPDATE 基本偏差 SET "es(g)" = -34;)sql");
  ASSERT_EQ(std::filesystem::file_size(other), std::filesystem::file_size(fixture.path()));
  std::filesystem::rename(other, fixture.path());
  EXPECT_EQ(EsG(session.Open(fixture.path())), -34);

  // Another file, then a file that cannot be opened: never kept, tried afresh each time.
  testing::FixtureDatabase second;
  second.Exec(R"sql(INSERT INTO 基本偏差 (P, "es(g)") VALUES (1.5, -40);)sql");
  EXPECT_EQ(EsG(session.Open(second.path())), -40);
  const auto missing = folder.path() / u8"无.db";
  EXPECT_EQ(session.Open(missing).status(), OpenStatus::FileMissing);
  std::filesystem::copy_file(second.path(), missing);
  EXPECT_EQ(EsG(session.Open(missing)), -40);
}

TEST(ToleranceSession, AccessFileIsConvertedOnceAndSeenWhenReplaced) {
  testing::TemporaryFolder folder;
  const auto chinese = testing::ChineseAccess97ToleranceFile(folder);
  const auto file = folder.path() / u8"用户.mdb";
  std::filesystem::copy_file(testing::CarriedTestFile("zh-jet3-booklist.mdb"), file);
  ToleranceSession session;
  EXPECT_EQ(LookupGaugeTolerances(session.Open(file), 100).TPL.failure().kind,
            LookupFailureKind::TableMissing);
  session.Open(file);
  EXPECT_EQ(session.openings(), 1u);
  std::filesystem::remove(file);  // MinGW's copy_file does not overwrite
  std::filesystem::copy_file(chinese, file);
  EXPECT_EQ(LookupGaugeTolerances(session.Open(file), 100).TPL.failure().kind,
            LookupFailureKind::ColumnMissing);  // the table is there now
  EXPECT_EQ(session.openings(), 2u);
}

// A change committed by another program is seen even when the file's time is put back (a
// copy that keeps times, a coarse clock): the header's change counter tells. In WAL mode a
// commit leaves the file and its header alone; the engine's data version tells.
TEST(ToleranceSession, SeesCommitsThroughTheHeaderAndInWalMode) {
  testing::FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 基本偏差 (P, "es(g)") VALUES (1.5, -32);)sql");
  ToleranceSession session;
  EXPECT_EQ(EsG(session.Open(fixture.path())), -32);
  const auto time = std::filesystem::last_write_time(fixture.path());
  testing::ExecSql(fixture.path(), R"sql(UPDATE 基本偏差 SET "es(g)" = -33;)sql");
  std::filesystem::last_write_time(fixture.path(), time);
  EXPECT_EQ(EsG(session.Open(fixture.path())), -33);

  fixture.Exec("PRAGMA journal_mode = WAL;");
  EXPECT_EQ(EsG(session.Open(fixture.path())), -33);
  const auto opened = session.openings();
  EXPECT_EQ(EsG(session.Open(fixture.path())), -33);
  EXPECT_EQ(session.openings(), opened);
  // The writer stays connected, so its commit stays in the WAL file, not the database file.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(Utf8(fixture.path()).c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, R"sql(UPDATE 基本偏差 SET "es(g)" = -34;)sql", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  EXPECT_EQ(EsG(session.Open(fixture.path())), -34);
  sqlite3_close(writer);
}

#ifdef _WIN32
// Whether another file can be put in the file's place, as a save does: Windows refuses it
// while any program holds the file open without letting it be deleted.
bool Held(const std::filesystem::path& file) {
  const auto other = file.parent_path() / u8"其他.db";
  std::filesystem::copy_file(file, other, std::filesystem::copy_options::overwrite_existing);
  std::error_code refused;
  std::filesystem::rename(other, file, refused);
  std::filesystem::remove(other);
  return static_cast<bool>(refused);
}
#else
// Whether this process holds the file open, as the system lists its open files.
bool Held(const std::filesystem::path& file) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    const auto target = std::filesystem::read_symlink(entry.path(), ec);
    if (!ec && target == file) return true;
  }
  return false;
}
#endif

// A save replaces the file; on Windows an open file cannot be replaced, so the session
// lets go of it first and opens it again at the next calculation.
TEST(ToleranceSession, ClosedItHoldsNoHandleOnTheFile) {
  testing::FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 基本偏差 (P, "es(g)") VALUES (1.5, -32);)sql");
  const auto file = std::filesystem::canonical(fixture.path());
  ToleranceSession session;
  EXPECT_EQ(EsG(session.Open(file)), -32);
  EXPECT_TRUE(Held(file));
  session.Close();
  EXPECT_FALSE(Held(file));
  EXPECT_EQ(EsG(session.Open(file)), -32);
  EXPECT_EQ(session.openings(), 2u);
}

}  // namespace
}  // namespace threadgauge
