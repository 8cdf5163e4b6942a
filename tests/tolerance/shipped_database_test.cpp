// The shipped database holds the ISO 965-1 tables exactly as the shared source gives them.
// (That its gauge tables are empty is the database check's case.)
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/csv_reading.h"
#include "platform/utf8.h"
#include "support/fixture_database.h"
#include "tolerance/schema.h"
#include "tolerance/table_names.h"
#include "tolerance/thread_class.h"
#include "words/designation_words.h"

namespace threadgauge {
namespace {

// All rows of a table as text, in stored order; NULL as "".
std::vector<std::vector<std::string>> TableRows(const std::string& table,
                                                const std::vector<std::string>& columns) {
  sqlite3* db = nullptr;
  EXPECT_EQ(
      sqlite3_open_v2(Utf8(testing::ShippedDatabase()).c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
      SQLITE_OK);
  std::string sql = "SELECT ";
  for (size_t i = 0; i < columns.size(); ++i) sql += (i ? ", \"" : "\"") + columns[i] + "\"";
  sql += " FROM \"" + table + "\" ORDER BY rowid";
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
  std::vector<std::vector<std::string>> rows;
  while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
      const auto* text = sqlite3_column_text(stmt, i);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

// The same number written two ways ("+17" and "17.0") compares equal; empty stays empty.
bool SameCell(const std::string& source, const std::string& stored) {
  if (source.empty() || stored.empty()) return source.empty() && stored.empty();
  return std::stod(source) == std::stod(stored);
}

struct TableMapping {
  const char* source_file;
  const char* table;
  std::vector<std::string> source_columns;  // indexes into the source row, as names
  std::vector<std::string> table_columns;
};

class ShippedTable : public ::testing::TestWithParam<TableMapping> {};

TEST_P(ShippedTable, HoldsEverySourceRowInOrder) {
  const TableMapping& m = GetParam();
  const auto path = std::filesystem::u8path(THREADGAUGE_ISO_DATA) / m.source_file;
  ASSERT_TRUE(std::filesystem::exists(path)) << "shared ISO data missing: " << path;
  const auto all = ParseCsv(testing::ReadBytes(path));
  const CsvRow& header = all.front();
  std::vector<size_t> index;
  for (const auto& name : m.source_columns) {
    index.push_back(
        static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin()));
  }
  const auto stored = TableRows(m.table, m.table_columns);
  ASSERT_EQ(stored.size(), all.size() - 1);
  for (size_t r = 1; r < all.size(); ++r) {
    for (size_t c = 0; c < index.size(); ++c) {
      const std::string source = index[c] < all[r].size() ? all[r][index[c]] : "";
      EXPECT_TRUE(SameCell(source, stored[r - 1][c]))
          << m.table << " row " << r << " column " << m.table_columns[c] << ": source '" << source
          << "' stored '" << stored[r - 1][c] << "'";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Iso965, ShippedTable,
    ::testing::Values(TableMapping{"fundamental_deviation.csv",
                                   "基本偏差",
                                   {"P_mm", "EI_G_um", "EI_H_um", "es_e_um", "es_f_um", "es_g_um",
                                    "es_h_um"},
                                   {"P", "EI(G)", "EI(H)", "es(e)", "es(f)", "es(g)", "es(h)"}},
                      TableMapping{"td2_internal.csv",
                                   "内螺纹中径公差",
                                   {"D_over_mm", "D_upto_mm", "P_mm", "grade4_um", "grade5_um",
                                    "grade6_um", "grade7_um", "grade8_um", "no grade 9"},
                                   {"D下限", "D上限", "P", "4", "5", "6", "7", "8", "9"}},
                      TableMapping{"td2_external.csv",
                                   "外螺纹中径公差",
                                   {"d_over_mm", "d_upto_mm", "P_mm", "grade4_um", "grade5_um",
                                    "grade6_um", "grade7_um", "grade8_um", "grade9_um"},
                                   {"D下限", "D上限", "P", "4", "5", "6", "7", "8", "9"}}),
    [](const auto& info) { return std::to_string(info.index); });

// The names the lookups, the check and the editor use are spelled once; each must name a
// column of the schema the database is built from.
TEST(TableNames, EveryListedNameResolvesInTheSchema) {
  for (const names::NamedColumn& named : names::kNamedColumns) {
    const SchemaTable* table = FindSchemaTable(named.table);
    ASSERT_NE(table, nullptr) << named.table;
    EXPECT_NE(std::find(table->columns.begin(), table->columns.end(), named.column),
              table->columns.end())
        << named.table << " / " << named.column;
  }
  const SchemaTable* gauge = FindSchemaTable(names::kGaugeTable);
  ASSERT_NE(gauge, nullptr);
  for (const char* column : names::kGaugeColumns) {
    EXPECT_NE(std::find(gauge->columns.begin(), gauge->columns.end(), column), gauge->columns.end())
        << column;
  }
  for (const char* table : names::kUserGaugeTables) EXPECT_NE(FindSchemaTable(table), nullptr);
  // The grades of the alphabet that the window offers are columns of both tables.
  for (const char* table :
       {names::kInternalPitchDiameterTable, names::kExternalPitchDiameterTable}) {
    for (const char* grade : GradesOf(true)) {
      const auto& columns = FindSchemaTable(table)->columns;
      EXPECT_NE(std::find(columns.begin(), columns.end(), grade), columns.end()) << grade;
    }
  }
}

// One alphabet of classes: ISO 965-1 has TD2 in grades 4 … 8 and Td2 in grades 3 … 9.
TEST(ThreadClasses, TheStandardsAlphabet) {
  for (const char* good : {"4H", "8H", "4G", "3h", "9g", "5e", " 6f "}) {
    EXPECT_TRUE(ParseThreadClass(good).has_value()) << good;
  }
  for (const char* bad : {"3H", "9H", "9G", "2g", "6X", "6", "H", "66H", "6 H", ""}) {
    EXPECT_FALSE(ParseThreadClass(bad).has_value()) << bad;
  }
  EXPECT_EQ(ParseThreadClass("6g")->Text(), "6g");
  EXPECT_TRUE(IsInternal(*ParsePosition("G")));
  EXPECT_FALSE(IsInternal(*ParsePosition("h")));
  EXPECT_FALSE(ParsePosition("g ").has_value());
  EXPECT_EQ(DescribeClasses(), "内螺纹 G、H 配公差等级 4–8；外螺纹 e、f、g、h 配公差等级 3–9");
}

}  // namespace
}  // namespace threadgauge
