// Access files read through libmdb, checked against Debian's mdb-export as an independent
// reader of the same files.
#include "tolerance/access_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "support/fixture_database.h"
#include "tolerance/admin/csv.h"
#include "tolerance/lookups.h"

namespace threadgauge {
namespace {

std::filesystem::path TestFile(const char* name) {
  return std::filesystem::u8path(THREADGAUGE_TEST_DATA) / "mdb" / name;
}

// mdb-export's CSV of one table (header first), or nothing when it cannot be run.
std::optional<std::vector<CsvRow>> MdbExport(const std::filesystem::path& file,
                                             const std::string& table) {
  // In a UTF-8 locale, and without the code page this process may have chosen for itself.
  const std::string command = "env -u MDB_JET3_CHARSET LC_ALL=C.UTF-8 mdb-export '" +
                              file.string() + "' '" + table + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, n);
  if (text.empty()) return std::nullopt;
  return ParseCsv(text);
}

class AccessFile : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(TestFile(GetParam()))) {
      GTEST_SKIP() << "test databases not found at " << TestFile(GetParam());
    }
    if (std::system("mdb-export --version > /dev/null 2>&1") != 0) {
      GTEST_SKIP() << "mdb-export (Debian mdbtools) is not installed";
    }
  }
};

TEST_P(AccessFile, EveryTableReadsAsMdbExportShowsIt) {
  const auto read = ReadAccessTables(TestFile(GetParam()));
  ASSERT_TRUE(std::holds_alternative<std::vector<TableData>>(read));
  const auto& tables = std::get<std::vector<TableData>>(read);
  ASSERT_FALSE(tables.empty());
  for (const TableData& table : tables) {
    SCOPED_TRACE(table.name);
    const auto exported = MdbExport(TestFile(GetParam()), table.name);
    ASSERT_TRUE(exported.has_value());
    ASSERT_EQ(exported->front(), table.columns);
    ASSERT_EQ(exported->size() - 1, table.rows.size());
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const CsvRow& expected = (*exported)[r + 1];
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

INSTANTIATE_TEST_SUITE_P(TestData, AccessFile,
                         ::testing::Values("nwind.mdb", "DateTestDatabase.mdb",
                                           "ASampleDatabase.accdb"));

TEST(AccessCodePage, Jet3TextReadsInTheGivenCodePage) {
  const auto file = TestFile("nwind.mdb");
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "test databases not found";
  const auto names = [&](std::optional<int> code_page) {
    std::vector<std::string> out;
    const auto read = ReadAccessTables(file, code_page);
    for (const auto& t : std::get<std::vector<TableData>>(read)) out.push_back(t.name);
    return out;
  };
  const auto has = [](const std::vector<std::string>& v, const std::string& name) {
    return std::find(v.begin(), v.end(), name) != v.end();
  };
  // The file records Western code page 1252, and that is what is used when none is given.
  EXPECT_TRUE(has(names(std::nullopt), "Umsätze"));
  EXPECT_TRUE(has(names(1252), "Umsätze"));
  EXPECT_FALSE(has(names(936), "Umsätze"));  // the same bytes read as GBK are other text
}

TEST(AccessLookups, AccessFileWithoutToleranceTablesGivesTableNotices) {
  const auto file = TestFile("DateTestDatabase.mdb");
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "test databases not found";
  const auto before = testing::ReadBytes(file);
  const auto db = ToleranceDatabase::Open(file);
  ASSERT_TRUE(db.is_open());
  EXPECT_EQ(LookupFundamentalDeviation(db, 1.5, "es(g)").failure().kind,
            LookupFailureKind::TableMissing);
  EXPECT_EQ(testing::ReadBytes(file), before);
}

}  // namespace
}  // namespace threadgauge
