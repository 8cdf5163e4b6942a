// Access files of every version, made by others and carried by no licence the project
// could pass on, so read from the shared test data: read through libmdb and checked
// against Debian's mdb-export as an independent reader of the same files.
#include <gtest/gtest.h>

#include "platform/csv_reading.h"
#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "support/run_program.h"
#include "tolerance/access_reader.h"

namespace threadgauge {
namespace {

std::filesystem::path TestFile(const char* name) { return testing::SharedAccessFile(name); }

using testing::ReadAccess;
using testing::TableNamed;

// mdb-export's CSV of one table (header first), in a UTF-8 locale and in the code page the
// file records.
std::vector<CsvRow> MdbExport(const std::filesystem::path& file, const std::string& table) {
  const ProgramRun run = RunProgram({"mdb-export", Utf8(file), table},
                                    {{"LC_ALL", "C.UTF-8"}, {"MDB_JET3_CHARSET", std::nullopt}});
  EXPECT_EQ(run.exit, 0) << "mdb-export (Debian mdbtools) failed: " << run.err;
  return ParseCsv(run.out);
}

class AccessFile : public ::testing::TestWithParam<const char*> {};

TEST_P(AccessFile, EveryTableReadsAsMdbExportShowsIt) {
  const AccessTables read = ReadAccess(TestFile(GetParam()));
  ASSERT_FALSE(read.tables.empty());
  for (const TableData& table : read.tables) {
    SCOPED_TRACE(table.name);
    const std::vector<CsvRow> exported = MdbExport(TestFile(GetParam()), table.name);
    ASSERT_FALSE(exported.empty());
    ASSERT_EQ(exported.front(), table.columns);
    ASSERT_EQ(exported.size() - 1, table.rows.size());
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const CsvRow& expected = exported[r + 1];
      ASSERT_EQ(expected.size(), table.columns.size()) << "row " << r;
      for (size_t c = 0; c < table.columns.size(); ++c) {
        // Binary objects are not read; mdb-export writes their bytes.
        if (!table.rows[r][c] && !expected[c].empty() && !table.numeric[c]) {
          const bool binary = expected[c].find('\0') != std::string::npos ||
                              table.columns[c] == "Picture" || table.columns[c] == "Photo";
          if (binary) continue;
        }
        EXPECT_EQ(table.rows[r][c].value_or(""), expected[c])
            << "row " << r << " column " << table.columns[c];
      }
    }
  }
}

// Numbers are kept as numbers when the tables are copied into the engine.
TEST(AccessColumns, NumericColumnsAreMarked) {
  const AccessTables read = ReadAccess(TestFile("nwind.mdb"));
  const TableData* details = TableNamed(read, "Order Details");
  ASSERT_NE(details, nullptr);
  for (size_t c = 0; c < details->columns.size(); ++c) {
    EXPECT_TRUE(details->numeric[c]) << details->columns[c];  // ids, price, quantity, discount
  }
  const TableData* products = TableNamed(read, "Products");
  ASSERT_NE(products, nullptr);
  EXPECT_FALSE(products->numeric[1]) << products->columns[1];  // the product's name
}

INSTANTIATE_TEST_SUITE_P(TestData, AccessFile,
                         ::testing::Values("nwind.mdb", "DateTestDatabase.mdb",
                                           "ASampleDatabase.accdb"));

// Jet 4 stores UCS-2: no code page is chosen, and the Chinese names read as they are.
TEST(AccessCodePage, Jet4FileIsNotAffected) {
  const AccessTables read =
      ReadAccess(TestFile("zh-jet4-webbook.mdb"), AccessReadOptions{std::nullopt, {"书籍"}});
  EXPECT_FALSE(read.code_page.has_value());
  const TableData* books = TableNamed(read, "书籍");
  ASSERT_NE(books, nullptr);
  EXPECT_EQ(books->columns.front(), "商品编号");
  EXPECT_EQ(books->rows[0][1], "Visual Basic程序设计教程");
  EXPECT_EQ(books->rows[0][8], "高等教育出版社");
  ASSERT_NE(TableNamed(read, "正式购物单"), nullptr);
  EXPECT_EQ(TableNamed(read, "正式购物单")->rows.size(), 1u);
}

}  // namespace
}  // namespace threadgauge
