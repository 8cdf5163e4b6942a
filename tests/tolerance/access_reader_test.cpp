// Chinese Access 97 files read in the code page that their text is in, whatever their
// header records. (Files of the other Access versions: tests/shared.)
#include "tolerance/access_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"
#include "support/run_program.h"
#include "tolerance/lookups.h"

namespace threadgauge {
namespace {

// The GPL Access 97 file the project carries (tests/data/README.md).
std::filesystem::path TestFile(const char* name) { return testing::CarriedTestFile(name); }

AccessTables Read(const std::filesystem::path& file, const AccessReadOptions& options = {}) {
  auto read = ReadAccessTables(file, options);
  EXPECT_TRUE(std::holds_alternative<AccessTables>(read)) << file;
  if (!std::holds_alternative<AccessTables>(read)) return {};
  return std::get<AccessTables>(std::move(read));
}

const TableData* Table(const AccessTables& read, const std::string& name) {
  for (const TableData& table : read.tables) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

const std::vector<std::string> kBooklistColumns = {"书号", "书名",   "科目",
                                                   "作者", "发行者", "有关内容"};

// An Access 97 file from a Chinese system whose header records 1252: its Chinese column
// names are found under 936, and that is the code page its text is read in.
TEST(AccessCodePage, ChineseJet3FileIsReadInTheCodePageItsNamesAreFoundIn) {
  const auto file = TestFile("zh-jet3-booklist.mdb");
  const AccessTables read = Read(file, AccessReadOptions{std::nullopt, kBooklistColumns});
  ASSERT_EQ(read.code_page, (CodePageChoice{936, 1252}));
  EXPECT_EQ(DescribeCodePage(*read.code_page), "按代码页 936（GBK）读取；文件头记录的是 1252");
  const TableData* books = Table(read, "Bookform");
  ASSERT_NE(books, nullptr);
  EXPECT_EQ(books->columns, kBooklistColumns);
  ASSERT_EQ(books->rows.size(), 2u);
  EXPECT_EQ(books->rows[0][1], "Jarod学习VB6");
  EXPECT_EQ(books->rows[0][2], "信息技术");
  EXPECT_EQ(books->rows[0][5], "记录Jarod的Vb6学习过程");

  // Forced to the header's code page, the same bytes are Latin-1 mojibake.
  const AccessTables forced = Read(file, AccessReadOptions{1252, kBooklistColumns});
  ASSERT_EQ(forced.code_page, (CodePageChoice{1252, 1252}));
  EXPECT_EQ(DescribeCodePage(*forced.code_page), "");
  ASSERT_NE(Table(forced, "Bookform"), nullptr);
  EXPECT_EQ(Table(forced, "Bookform")->columns.front(), "ÊéºÅ");
  EXPECT_NE(Table(forced, "Bookform")->rows[0][2], "信息技术");

  // Looking for nothing, the header's code page is used, as before.
  EXPECT_EQ(Read(file).code_page, (CodePageChoice{1252, 1252}));
}

TEST(AccessCodePage, ToleranceTableNameFoundOnlyUnderGbkIsFound) {
  testing::TemporaryFolder folder;
  const auto file = testing::ChineseAccess97ToleranceFile(folder);
  const ToleranceDatabase db = ToleranceDatabase::Open(file);
  ASSERT_TRUE(db.is_open());
  EXPECT_EQ(db.ReadingNote(), "按代码页 936（GBK）读取；文件头记录的是 1252");
  // The table is there; it only lacks the tolerance columns.
  const GaugeToleranceRow row = LookupGaugeTolerances(db, 100);
  EXPECT_EQ(row.TPL.failure().kind, LookupFailureKind::ColumnMissing);
  EXPECT_EQ(LookupFundamentalDeviation(db, 1.5, "es(g)").failure().kind,
            LookupFailureKind::TableMissing);
}

// libmdb reads its Jet 3 character set from the environment; trying candidates must leave
// the process's environment as it was.
TEST(AccessCodePage, TryingCodePagesLeavesTheEnvironmentAlone) {
  const auto file = TestFile("zh-jet3-booklist.mdb");
  SetEnvironment("MDB_JET3_CHARSET", std::nullopt);
  Read(file, AccessReadOptions{std::nullopt, kBooklistColumns});
  EXPECT_EQ(std::getenv("MDB_JET3_CHARSET"), nullptr);
  SetEnvironment("MDB_JET3_CHARSET", "CP1252");
  EXPECT_EQ(Read(file, AccessReadOptions{std::nullopt, kBooklistColumns}).code_page->used, 936);
  EXPECT_STREQ(std::getenv("MDB_JET3_CHARSET"), "CP1252");
  SetEnvironment("MDB_JET3_CHARSET", std::nullopt);
}

}  // namespace
}  // namespace threadgauge
