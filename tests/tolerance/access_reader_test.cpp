// Chinese Access 97 files read in the code page that their text is in, whatever their
// header records. (Files of the other Access versions: tests/shared.)
#include "tolerance/access_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/fixture_database.h"
#include "support/run_program.h"
#include "tolerance/lookups.h"
#include "words/file_words.h"

namespace threadgauge {
namespace {

// The GPL Access 97 file the project carries (tests/data/README.md).
std::filesystem::path TestFile(const char* name) { return testing::CarriedTestFile(name); }

using testing::ReadAccess;
using testing::TableNamed;

const std::vector<std::string> kBooklistColumns = {"书号", "书名",   "科目",
                                                   "作者", "发行者", "有关内容"};

// An Access 97 file from a Chinese system whose header records 1252: its Chinese column
// names are found under 936, and that is the code page its text is read in.
TEST(AccessCodePage, ChineseJet3FileIsReadInTheCodePageItsNamesAreFoundIn) {
  const auto file = TestFile("zh-jet3-booklist.mdb");
  const AccessTables read = ReadAccess(file, AccessReadOptions{std::nullopt, kBooklistColumns});
  ASSERT_EQ(read.code_page, (CodePageChoice{936, 1252}));
  EXPECT_EQ(DescribeCodePage(*read.code_page), "按代码页 936（GBK）读取；文件头记录的是 1252");
  const TableData* books = TableNamed(read, "Bookform");
  ASSERT_NE(books, nullptr);
  EXPECT_EQ(books->columns, kBooklistColumns);
  ASSERT_EQ(books->rows.size(), 2u);
  EXPECT_EQ(books->rows[0][1], "Jarod学习VB6");
  EXPECT_EQ(books->rows[0][2], "信息技术");
  EXPECT_EQ(books->rows[0][5], "记录Jarod的Vb6学习过程");

  // Forced to the header's code page, the same bytes are Latin-1 mojibake.
  const AccessTables forced = ReadAccess(file, AccessReadOptions{1252, kBooklistColumns});
  ASSERT_EQ(forced.code_page, (CodePageChoice{1252, 1252}));
  EXPECT_EQ(DescribeCodePage(*forced.code_page), "");
  ASSERT_NE(TableNamed(forced, "Bookform"), nullptr);
  EXPECT_EQ(TableNamed(forced, "Bookform")->columns.front(), "ÊéºÅ");
  EXPECT_NE(TableNamed(forced, "Bookform")->rows[0][2], "信息技术");

  // Looking for nothing, the header's code page is used, as before.
  EXPECT_EQ(ReadAccess(file).code_page, (CodePageChoice{1252, 1252}));
}

TEST(AccessCodePage, ToleranceTableNameFoundOnlyUnderGbkIsFound) {
  testing::TemporaryFolder folder;
  const auto file = testing::ChineseAccess97ToleranceFile(folder);
  const ToleranceDatabase db = ToleranceDatabase::Open(file);
  ASSERT_TRUE(db.is_open());
  ASSERT_TRUE(db.code_page());
  EXPECT_EQ(DescribeCodePage(*db.code_page()), "按代码页 936（GBK）读取；文件头记录的是 1252");
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
  ReadAccess(file, AccessReadOptions{std::nullopt, kBooklistColumns});
  EXPECT_EQ(std::getenv("MDB_JET3_CHARSET"), nullptr);
  SetEnvironment("MDB_JET3_CHARSET", "CP1252");
  EXPECT_EQ(ReadAccess(file, AccessReadOptions{std::nullopt, kBooklistColumns}).code_page->used,
            936);
  EXPECT_STREQ(std::getenv("MDB_JET3_CHARSET"), "CP1252");
  SetEnvironment("MDB_JET3_CHARSET", std::nullopt);
}

}  // namespace
}  // namespace threadgauge
