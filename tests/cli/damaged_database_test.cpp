// Damaged, locked and unreadable tolerance files: no crash, a notice that names the
// problem, exit status 1, and the file's bytes unchanged. (Tables and cells that are
// missing or hold text are the lookups' cases.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <random>

#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Calculation(const fs::path& database) {
  return {"--diameter", "10",         "--pitch",     "1.5",     "--grade",
          "6",          "--position", "g",           "--gauge", "校止-止螺纹塞规",
          "--json",     "--database", Utf8(database)};
}

struct Damage {
  const char* name;
  std::function<void(const fs::path&)> make;  // writes the damaged file at the path
  const char* notice;                         // words the notices must hold
};

void CopyShipped(const fs::path& to) { fs::copy_file(testing::ShippedDatabase(), to); }

TEST(DamagedDatabase, EachFaultIsNamedAndNothingIsWritten) {
  const Damage damages[] = {
      {"missing", [](const fs::path&) {}, "找不到公差数据库文件"},
      {"empty file", [](const fs::path& f) { std::ofstream(f, std::ios::binary).flush(); },
       "公差数据库中没有表“外螺纹中径公差”"},
      {"random bytes",
       [](const fs::path& f) {
         std::mt19937 random(7);
         std::string bytes(8192, '\0');
         for (char& c : bytes) c = static_cast<char>(random());
         std::ofstream(f, std::ios::binary) << bytes;
       },
       "公差数据库文件已损坏或不是数据库文件"},
      {"truncated in the middle",
       [](const fs::path& f) {
         CopyShipped(f);
         fs::resize_file(f, fs::file_size(f) / 2);
       },
       "公差数据库文件已损坏"},
      {"no damage at all, in a folder with Chinese characters and a blank", CopyShipped,
       "\"Text2\": \"9.836\""},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    testing::TemporaryFolder folder;
    const fs::path file = folder.path() / fs::u8path("公差 表") / fs::u8path("公差表.db");
    fs::create_directories(file.parent_path());
    damage.make(file);
    const bool exists = fs::exists(file);
    const std::string before = exists ? testing::ReadBytes(file) : "";

    const CliRun run = RunCli(Calculation(file));
    EXPECT_EQ(run.exit, 1) << run.err;
    EXPECT_NE(run.out.find(damage.notice), std::string::npos) << run.out;
    EXPECT_EQ(fs::exists(file), exists);
    if (exists) {
      EXPECT_EQ(testing::ReadBytes(file), before);
    }
  }
}

// An Access file on which the Access library loops: the calculation and the check return
// within their time limit, name the file and say it could not be read, and write nothing.
TEST(DamagedDatabase, AnAccessFileThatLoopsEndsInItsTimeLimit) {
  testing::TemporaryFolder folder;
  const fs::path file = folder.path() / fs::u8path("公差表.mdb");
  fs::copy_file(testing::CarriedTestFile("damaged-loops.mdb"), file);
  const std::string before = testing::ReadBytes(file);
  const CliRun run = RunCli(Calculation(file));
  EXPECT_EQ(run.exit, 1) << run.err;
  // Ended by the time limit, or by the memory limit where the loop allocates faster.
  EXPECT_TRUE(run.out.find("未能在限定时间内读完") != std::string::npos ||
              run.out.find("读取程序出错，文件已损坏") != std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("公差表.mdb"), std::string::npos) << run.out;
  const CliRun check = RunCli({"db", "check", Utf8(file)});
  EXPECT_EQ(check.exit, 2);  // a file that cannot be read cannot be checked
  EXPECT_TRUE(check.err.find("秒仍未结束") != std::string::npos ||
              check.err.find("文件已损坏") != std::string::npos)
      << check.err;
  EXPECT_EQ(testing::ReadBytes(file), before);
}

TEST(DamagedDatabase, LockedByAnotherProgram) {
  testing::TemporaryFolder folder;
  const fs::path file = folder.path() / u8"公差表.db";
  CopyShipped(file);
  const std::string before = testing::ReadBytes(file);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(Utf8(file).c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const CliRun run = RunCli(Calculation(file));
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.out.find("公差数据库文件正被其他程序锁定"), std::string::npos) << run.out;
  EXPECT_EQ(testing::ReadBytes(file), before);
}

TEST(DamagedDatabase, NoReadPermission) {
  ASSERT_EQ(RunProgram({"setpriv", "--version"}).exit, 0) << "setpriv (Debian util-linux) missing";
  testing::TemporaryFolder folder;
  fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
  const fs::path file = folder.path() / u8"公差表.db";
  CopyShipped(file);
  fs::permissions(file, fs::perms::owner_read);  // no one but the owner may read
  const std::string before = testing::ReadBytes(file);
  // Run as an unprivileged user, since the owner (root in CI) may read anything.
  const CliRun run = RunCli(Calculation(file),
                            {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
  if (run.exit == 126 || run.exit == 127) {
    GTEST_SKIP() << "the program cannot be run as an unprivileged user here: " << run.err;
  }
  EXPECT_EQ(run.exit, 1) << run.err;
  EXPECT_NE(run.out.find("无法读取公差数据库文件"), std::string::npos) << run.out;
  EXPECT_EQ(testing::ReadBytes(file), before);
}

}  // namespace
}  // namespace threadgauge
