#include "tolerance/lookups.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "platform/utf8.h"
#include "support/fixture_database.h"

namespace threadgauge {
namespace {

using testing::FixtureDatabase;

TEST(ScanRangeFirstMatch, SharedBoundaryTakesTheEarlierRow) {
  FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 外螺纹中径公差 (D下限, D上限, P, "6") VALUES
      (5, 10, 1.5, 132), (10, 20, 1.5, 140), (20, 40, 1.5, 150);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  const auto T = [&](double d) {
    return LookupPitchDiameterTolerance(db, PitchDiameterTable::External, 1.5, d, "6").value;
  };
  EXPECT_EQ(T(10).value(), 132);  // upper bound of the first row, lower of the second
  EXPECT_EQ(T(5).value(), 132);   // bounds are inclusive
  EXPECT_EQ(T(20).value(), 140);
  EXPECT_EQ(T(10.000001).value(), 140);
  EXPECT_EQ(T(40).value(), 150);
  EXPECT_EQ(T(4.999).failure().kind, LookupFailureKind::NoRangeHolds);
  EXPECT_EQ(T(40.5).failure().kind, LookupFailureKind::NoRangeHolds);
  EXPECT_EQ(T(40.5).failure().key, "P = 1.5, d = 40.5");
  // No row at all for the pitch is told apart from no range holding d.
  EXPECT_EQ(LookupPitchDiameterTolerance(db, PitchDiameterTable::External, 2, 10, "6")
                .value.failure()
                .kind,
            LookupFailureKind::NoRow);
  EXPECT_TRUE(LookupPitchDiameterTolerance(db, PitchDiameterTable::External, 1.5, 10, "6")
                  .warnings.empty());
}

// Standards print the first row of a range table as "above — up to 50": an empty or dashed
// bound is 0 and needs no word; any other text is read by its leading number, and said.
TEST(ScanRangeFirstMatch, BoundsAsTheStandardPrintsThem) {
  struct Case {
    const char* lower;
    double T;
    double TPL;        // of the row found; 0 when no row holds T
    const char* told;  // the text the notice quotes, or "" for none
  };
  const Case cases[] = {
      {"NULL", 0, 4, ""},  {"''", 30, 4, ""},         {"' '", 0, 4, ""},
      {"'-'", 30, 4, ""},  {"'—'", 30, 4, ""},        {"'–'", 30, 4, ""},
      {"'－'", 30, 4, ""}, {"'——'", 30, 4, ""},       {"' 12 '", 12, 4, ""},
      {"'12'", 11, 0, ""}, {"'约12'", 11, 4, "约12"}, {"'20以上'", 11, 0, "20以上"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lower);
    FixtureDatabase fixture;
    fixture.Exec(std::string(R"sql(INSERT INTO 位置要素 VALUES ()sql") + c.lower +
                 R"sql(, 50, 4, 1, 1, 1, 1, 1, 1, 1), (50, 80, 6, 1, 1, 1, 1, 1, 1, 1);)sql");
    const auto db = ToleranceDatabase::Open(fixture.path());
    const GaugeToleranceRow row = LookupGaugeTolerances(db, c.T);
    if (c.TPL == 0) {
      EXPECT_EQ(row.TPL.failure().kind, LookupFailureKind::NoRangeHolds);
    } else {
      EXPECT_EQ(row.TPL.value(), c.TPL);
    }
    if (*c.told == '\0') {
      EXPECT_TRUE(row.warnings.empty());
      continue;
    }
    ASSERT_EQ(row.warnings.size(), 1u);
    const LookupFailure& told = row.warnings.front();
    EXPECT_EQ(told.kind, LookupFailureKind::BoundReadAsNumber);
    EXPECT_EQ(told.table, "位置要素");
    EXPECT_EQ(told.column, "TD2/Td2下限");
    EXPECT_EQ(told.key, "第 1 行");
    EXPECT_EQ(told.cell_text, c.told);
    EXPECT_EQ(told.read_as, std::string(c.told) == "约12" ? 0 : 20);
  }
}

TEST(ScanRangeFirstMatch, RowsAreWalkedInStoredOrderAndDisorderIsTold) {
  FixtureDatabase fixture;
  // Stored out of order: the scan does not sort, it takes the first row that holds T.
  fixture.Exec(R"sql(INSERT INTO 位置要素 ("TD2/Td2下限", "TD2/Td2上限", TPL, ZPL, ZR, m, TCP, TR,
      WGO环规, WNG环规) VALUES
      (100, 200, 12, 20, 8, 14, 9, 6, 24, 21),
      (50, 150, 99, 99, 99, 99, 99, 99, 99, 99);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  const GaugeToleranceRow row = LookupGaugeTolerances(db, 120);
  EXPECT_EQ(row.TPL.value(), 12);
  EXPECT_EQ(row.ZPL.value(), 20);
  EXPECT_EQ(row.ZR.value(), 8);
  EXPECT_EQ(row.m.value(), 14);
  EXPECT_EQ(row.TCP.value(), 9);
  EXPECT_EQ(row.TR.value(), 6);
  EXPECT_EQ(row.WGO.value(), 24);
  EXPECT_EQ(row.WNG.value(), 21);
  ASSERT_EQ(row.warnings.size(), 1u);
  EXPECT_EQ(row.warnings[0].kind, LookupFailureKind::RangesOutOfOrder);
  EXPECT_EQ(LookupGaugeTolerances(db, 60).TPL.value(), 99);
  const GaugeToleranceRow none = LookupGaugeTolerances(db, 600);
  EXPECT_EQ(none.TPL.failure().kind, LookupFailureKind::NoRangeHolds);
  EXPECT_EQ(none.WNG.failure().kind, LookupFailureKind::NoRangeHolds);
}

// P is bound as the written condition "[P] = 2" would compare it: a whole pitch as an
// integer, so that a pitch kept as text ('2', as an Access file may store it) is found.
TEST(Lookups, PitchMatchesAsTheWrittenConditionWould) {
  FixtureDatabase fixture(FixtureDatabase::Start::Empty);
  fixture.Exec(R"sql(CREATE TABLE 基本偏差 (P TEXT, "es(g)" REAL);
                  INSERT INTO 基本偏差 VALUES ('2', -38), ('1.5', -32), ('0.45', -20);
                  CREATE TABLE 半角公差 (P REAL, "完整螺纹牙形的半角公差          Tα1/2(′)" TEXT);
                  INSERT INTO 半角公差 VALUES (2, '±9'), (1.5, '±10');)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  EXPECT_EQ(LookupFundamentalDeviation(db, 2, "es(g)").value(), -38);
  EXPECT_EQ(LookupFundamentalDeviation(db, 1.5, "es(g)").value(), -32);
  EXPECT_EQ(LookupFundamentalDeviation(db, 0.45, "es(g)").value(), -20);
  EXPECT_EQ(LookupHalfAngleTolerance(db, 2, HalfAngleProfile::Complete).value(), "±9");
  EXPECT_EQ(LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Complete).value(), "±10");
  EXPECT_EQ(LookupFundamentalDeviation(db, 1.25, "es(g)").failure().key, "P = 1.25");
}

TEST(QueryFirstRow, TwoRowsForOnePitchGiveTheFirst) {
  FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 半角公差 VALUES (1.5, '±10', '±15'), (1.5, '±99', '±99');
                  INSERT INTO 基本偏差 (P, "es(g)") VALUES (1.5, -32), (1.5, -99);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  EXPECT_EQ(LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Complete).value(), "±10");
  EXPECT_EQ(LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Truncated).value(), "±15");
  EXPECT_EQ(LookupFundamentalDeviation(db, 1.5, "es(g)").value(), -32);
}

TEST(Lookups, MissingTablesAndColumnsAreNamed) {
  FixtureDatabase fixture(FixtureDatabase::Start::Empty);
  fixture.Exec(R"sql(CREATE TABLE 基本偏差 (P REAL, "es(g)" REAL);
                  INSERT INTO 基本偏差 VALUES (1.5, -32);
                  CREATE TABLE 外螺纹中径公差 (P REAL, "6" REAL);
                  INSERT INTO 外螺纹中径公差 VALUES (1.5, 132);
                  CREATE TABLE 半角公差 (Pitch REAL);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());

  const auto table = LookupPitchTolerance(db, "大于14至32").failure();
  EXPECT_EQ(table.kind, LookupFailureKind::TableMissing);
  EXPECT_EQ(table.table, "螺距公差");

  // A position is only a column name; "es(G)" is not "es(g)".
  const auto column = LookupFundamentalDeviation(db, 1.5, "es(G)").failure();
  EXPECT_EQ(column.kind, LookupFailureKind::ColumnMissing);
  EXPECT_EQ(column.column, "es(G)");

  const auto key = LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Complete).failure();
  EXPECT_EQ(key.kind, LookupFailureKind::ColumnMissing);
  EXPECT_EQ(key.column, "P");

  const auto bounds =
      LookupPitchDiameterTolerance(db, PitchDiameterTable::External, 1.5, 10, "6").value.failure();
  EXPECT_EQ(bounds.kind, LookupFailureKind::ColumnMissing);
  EXPECT_EQ(bounds.column, "D上限");

  EXPECT_EQ(LookupGaugeTolerances(db, 100).TPL.failure().kind, LookupFailureKind::TableMissing);
}

// Another program writing the file after it was opened: told as a lock, with the engine's code.
TEST(Lookups, FileLockedAfterOpeningIsTold) {
  FixtureDatabase fixture;
  const auto db = ToleranceDatabase::Open(fixture.path());
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(Utf8(fixture.path()).c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  const auto locked = LookupFundamentalDeviation(db, 1.5, "es(g)");
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  ASSERT_FALSE(locked.ok());
  EXPECT_EQ(locked.failure().kind, LookupFailureKind::EngineError);
  EXPECT_EQ(locked.failure().engine_fault, EngineFault::Locked);
  EXPECT_EQ(locked.failure().engine_code & 0xff, SQLITE_BUSY);
}

TEST(Lookups, CellsMustHoldNumbersWhereNumbersBelong) {
  FixtureDatabase fixture;
  fixture.Exec(R"sql(INSERT INTO 基本偏差 (P, "es(e)", "es(f)", "es(g)", "es(h)", "EI(G)", "EI(H)")
      VALUES (1.5, 'abc', NULL, ' -32 ', '', '12µm', 1e308);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  const auto fd = [&](const char* column) { return LookupFundamentalDeviation(db, 1.5, column); };
  EXPECT_EQ(fd("es(e)").failure().kind, LookupFailureKind::NotANumber);
  EXPECT_EQ(fd("es(e)").failure().cell_text, "abc");
  EXPECT_EQ(fd("es(f)").failure().kind, LookupFailureKind::EmptyCell);
  EXPECT_EQ(fd("es(g)").value(), -32);
  EXPECT_EQ(fd("es(h)").failure().kind, LookupFailureKind::EmptyCell);
  EXPECT_EQ(fd("EI(G)").failure().kind, LookupFailureKind::NotANumber);
  EXPECT_EQ(fd("EI(H)").value(), 1e308);
}

TEST(Lookups, StoredWireAndBallDiameters) {
  FixtureDatabase fixture;
  fixture.Exec(
      R"sql(INSERT INTO 圆柱螺纹塞规 VALUES (1.5, '0.895'), (2, ''), (2.5, 'abc'), (3, NULL);
                  INSERT INTO 测球直径 VALUES (1.5, '0.8955');)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  EXPECT_EQ(*LookupWireDiameter(db, 1.5).value(), 0.895);
  EXPECT_FALSE(LookupWireDiameter(db, 2).value().has_value());     // empty: best size
  EXPECT_FALSE(LookupWireDiameter(db, 3).value().has_value());     // NULL: best size
  EXPECT_FALSE(LookupWireDiameter(db, 1.75).value().has_value());  // no row: best size
  EXPECT_EQ(LookupWireDiameter(db, 2.5).failure().kind, LookupFailureKind::NotANumber);
  EXPECT_EQ(*LookupBallDiameter(db, 1.5).value(), 0.8955);
}

// A user's table may keep the half-angle tolerances in a numeric column (an Access import):
// they are shown as the plain decimals they hold, never as an empty cell.
TEST(Lookups, HalfAngleToleranceStoredAsANumberIsShown) {
  FixtureDatabase fixture(FixtureDatabase::Start::Empty);
  fixture.Exec(R"sql(CREATE TABLE 半角公差 ("P" REAL,
                      "完整螺纹牙形的半角公差          Tα1/2(′)" REAL,
                      "截短螺纹牙形的半角公差         Tα2/2(′)" INTEGER);
                    INSERT INTO 半角公差 VALUES (1.5, 10.5, 15);)sql");
  const auto db = ToleranceDatabase::Open(fixture.path());
  EXPECT_EQ(LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Complete).value(), "10.5");
  EXPECT_EQ(LookupHalfAngleTolerance(db, 1.5, HalfAngleProfile::Truncated).value(), "15");
}

TEST(Lookups, LengthRangeIsBoundNeverPastedIntoSql) {
  FixtureDatabase fixture;
  fixture.Exec(
      R"sql(INSERT INTO 螺距公差 VALUES ('小于或等于14', 0.004), ('大于14至32', 0.005);)sql");
  const std::string before = testing::ReadBytes(fixture.path());
  const auto db = ToleranceDatabase::Open(fixture.path());
  EXPECT_EQ(LookupPitchTolerance(db, "大于14至32").value(), 0.005);
  for (const char* typed : {"' OR '1'='1", "大于14至32'; DROP TABLE 螺距公差; --", "", "'"}) {
    const auto looked = LookupPitchTolerance(db, typed);
    ASSERT_FALSE(looked.ok()) << typed;
    EXPECT_EQ(looked.failure().kind, LookupFailureKind::NoRow) << typed;
  }
  EXPECT_EQ(LookupPitchTolerance(db, "小于或等于14").value(), 0.004);
  EXPECT_EQ(testing::ReadBytes(fixture.path()), before);
}

}  // namespace
}  // namespace threadgauge
