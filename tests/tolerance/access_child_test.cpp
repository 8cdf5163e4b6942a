// Access files are read in a child process: a file that loops or crashes the Access
// library ends that process, never the program that asked, and says so.
#include "tolerance/access_child.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"
#include "tolerance/tolerance_session.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

TEST(AccessChild, ReadsWhatTheLibraryReadsInProcess) {
  const auto file = testing::CarriedTestFile("zh-jet3-booklist.mdb");
  const auto apart = ReadAccessTablesApart(file, {std::nullopt, {"书名"}});
  const auto here = ReadAccessTables(file, {std::nullopt, {"书名"}});
  ASSERT_TRUE(std::holds_alternative<AccessTables>(apart))
      << Say(std::get<ReadFailure>(apart).message);
  const AccessTables& a = std::get<AccessTables>(apart);
  EXPECT_EQ(a.tables, std::get<AccessTables>(here).tables);
  EXPECT_EQ(a.code_page, (CodePageChoice{936, 1252}));
  ASSERT_EQ(a.tables.size(), 1u);
  EXPECT_EQ(a.tables[0].rows.at(0).at(1), "Jarod学习VB6");
}

TEST(AccessChild, TablesPassWholeThroughTheHandOver) {
  AccessTables tables;
  tables.tables.push_back({"位置要素",
                           {"a", "b:c"},
                           {true, false},
                           {{"1", std::nullopt}, {"", std::string("x\0:y", 4)}}});
  tables.tables.push_back({"空", {}, {}, {}});
  const auto back = DecodeAccessTables(EncodeAccessTables(tables));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->tables, tables.tables);
  EXPECT_FALSE(back->code_page.has_value());
  // A hand-over cut short or with bytes after it is no table.
  const std::string whole = EncodeAccessTables(tables);
  EXPECT_FALSE(DecodeAccessTables(whole.substr(0, whole.size() - 1)).has_value());
  EXPECT_FALSE(DecodeAccessTables(whole + "0:").has_value());
  EXPECT_FALSE(DecodeAccessTables("99999999999999:").has_value());
}

TEST(AccessChild, ALoopingFileIsStoppedAndACrashIsTold) {
  // A copy of the Access 97 test file with 20 bytes damaged, on which the Access library
  // loops without end (its own mdb-export too).
  const auto loops = testing::CarriedTestFile("damaged-loops.mdb");
  // Stopped by its time limit, or by its memory limit when the loop allocates faster (as
  // under the sanitizers): either way the reader ends, and the reason is told.
  const auto stopped = ReadAccessTablesApart(loops, {}, {std::chrono::milliseconds(1500)});
  ASSERT_TRUE(std::holds_alternative<ReadFailure>(stopped));
  const ReadFailure& failure = std::get<ReadFailure>(stopped);
  EXPECT_TRUE(failure.status == OpenStatus::TimedOut || failure.status == OpenStatus::ReaderFailed);
  EXPECT_TRUE(Say(failure.message).find("秒仍未结束") != std::string::npos ||
              Say(failure.message).find("文件已损坏") != std::string::npos)
      << Say(failure.message);

  const auto crashed = ReadAccessTablesApart(testing::CarriedTestFile("zh-jet3-booklist.mdb"), {},
                                             {}, THREADGAUGE_CRASHING_READER);
  ASSERT_TRUE(std::holds_alternative<ReadFailure>(crashed));
  EXPECT_EQ(std::get<ReadFailure>(crashed).status, OpenStatus::ReaderFailed);
  // A file the reader can say something about (not an Access file at all): its words.
  testing::TemporaryFolder folder;
  const auto not_access = folder.path() / u8"表.mdb";
  std::ofstream(not_access, std::ios::binary) << std::string(4096, 'x');
  const auto refused = ReadAccessTablesApart(not_access);
  ASSERT_TRUE(std::holds_alternative<ReadFailure>(refused));
  EXPECT_EQ(std::get<ReadFailure>(refused).status, OpenStatus::NotADatabase);
  EXPECT_EQ(Say(std::get<ReadFailure>(refused).message), "不是可读的 Access 数据库文件");
  const auto missing_reader = ReadAccessTablesApart(
      testing::CarriedTestFile("zh-jet3-booklist.mdb"), {}, {}, "/nonexistent/reader");
  EXPECT_EQ(std::get<ReadFailure>(missing_reader).status, OpenStatus::NotReadable);
}

// The window's path: the damaged file is told once as such, and remembered by its content,
// so the next press answers at once; a repaired file in its place is read again.
TEST(AccessChild, TheSessionRemembersAFileThatFailed) {
  testing::TemporaryFolder folder;
  const auto file = folder.path() / u8"公差表.mdb";
  std::filesystem::copy_file(testing::CarriedTestFile("damaged-loops.mdb"), file);
  ToleranceSession session(AccessReadLimits{std::chrono::milliseconds(1500)});
  const OpenStatus first = session.Open(file).status();
  EXPECT_TRUE(first == OpenStatus::TimedOut || first == OpenStatus::ReaderFailed);
  EXPECT_EQ(session.Open(file).status(), first);
  EXPECT_EQ(session.openings(), 1u);
  std::filesystem::copy_file(testing::CarriedTestFile("zh-jet3-booklist.mdb"), file,
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_TRUE(session.Open(file).is_open());
  EXPECT_EQ(session.openings(), 2u);
}

// A copy that keeps the size and the time (cp -p, an unzip, FAT's two-second clock) leaves
// the stamp as it was; the content still tells.
TEST(AccessChild, AnMdbOverwrittenWithTheSameStampIsSeen) {
  testing::TemporaryFolder folder;
  const auto file = folder.path() / u8"公差表.mdb";
  std::filesystem::copy_file(testing::CarriedTestFile("zh-jet3-booklist.mdb"), file);
  const auto time = std::filesystem::last_write_time(file);
  ToleranceSession session;
  EXPECT_TRUE(session.Open(file).is_open());
  std::string bytes = testing::ReadBytes(file);
  const size_t at = bytes.find("Jarod");
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 'K';
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  std::filesystem::last_write_time(file, time);
  EXPECT_TRUE(session.Open(file).is_open());
  EXPECT_EQ(session.openings(), 2u);
  EXPECT_TRUE(session.Open(file).is_open());
  EXPECT_EQ(session.openings(), 2u);
}

}  // namespace
}  // namespace threadgauge
