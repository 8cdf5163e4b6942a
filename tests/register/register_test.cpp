// The register file: created on first use, migrated, refused when it is none, written all or
// nothing, its records never changed.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/utf8.h"
#include "register/calendar.h"
#include "register/gauge_register.h"
#include "support/fixture_database.h"
#include "support/run_program.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

using testing::ExecSql;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::TryExecSql;

GaugeRegister Opened(const std::filesystem::path& path) {
  auto opened = GaugeRegister::Open(path);
  if (auto* error = std::get_if<RegisterError>(&opened)) ADD_FAILURE() << Say(error->message);
  return std::move(std::get<GaugeRegister>(opened));
}

std::string ErrorOf(const std::variant<GaugeRegister, RegisterError>& opened) {
  const auto* error = std::get_if<RegisterError>(&opened);
  return error ? Say(error->message) : "";
}

GaugeEntry Ring(const std::string& number) {
  GaugeEntry gauge;
  gauge.number = number;
  gauge.thread = "M10×1.5-6g";
  gauge.kind = "通端螺纹环规";
  gauge.length = "大于14至32";
  return gauge;
}

InspectionRecord RecordOf(const std::string& number, const std::string& date) {
  InspectionRecord r;
  r.gauge_number = number;
  r.date = date;
  r.method = InspectionMethod::Balls;
  r.element = 0.9;
  r.readings = {{7.585, 8.9865, ""}, {7.589, 8.9905, "中间"}};
  r.thread = "M10×1.5-6g";
  r.kind = "通端螺纹环规";
  r.database_file = "公差表.db";
  r.database_hash = "0123456789abcdef";
  r.program_version = "0.2.0";
  r.limit_low = 8.983, r.limit_high = 8.989, r.wear_limit = 9.010, r.has_wear_limit = true;
  r.verdict = "worn";
  r.verdict_text = "合格（已磨损，未超磨损极限）";
  r.margin_um = 19.4;
  return r;
}

TEST(Calendar, DaysAndMonthsAsAKeeperCountsThem) {
  EXPECT_EQ(DayText(*ParseDay("2026-1-7")), "2026-01-07");
  EXPECT_EQ(DayText(*ParseDay("2026/12/07")), "2026-12-07");
  EXPECT_EQ(DayText(*ParseDay("1999-09-19")), "1999-09-19");
  EXPECT_EQ(DayText(*ParseDay("1900-01-01")), "1900-01-01");
  EXPECT_EQ(DayText(*ParseDay(" 2026.12.07 ")), "2026-12-07");
  for (const char* bad : {"2026-02-30", "2026-13-01", "2026-12", "07.12.2026", "2026-12-07x",
                          "2026-12/07", "", "昨天", "20261-12-07", "2026-123-07", "2026-12-070",
                          "1899-12-07", "2026-00-07", "2026-12-00"}) {
    EXPECT_FALSE(ParseDay(bad).has_value()) << bad;
  }
  EXPECT_EQ(DayText(AddMonths(*ParseDay("2026-01-31"), 1)), "2026-02-28");
  EXPECT_EQ(DayText(AddMonths(*ParseDay("2024-01-31"), 1)), "2024-02-29");
  EXPECT_EQ(DayText(AddMonths(*ParseDay("2026-12-07"), 12)), "2027-12-07");
  EXPECT_EQ(DayText(AddMonths(*ParseDay("2026-11-30"), 3)), "2027-02-28");
  EXPECT_EQ(DaysBetween(*ParseDay("2026-12-07"), *ParseDay("2027-12-07")), 365);
  EXPECT_EQ(DaysBetween(*ParseDay("2028-03-01"), *ParseDay("2028-02-28")), -2);
  EXPECT_EQ(DayText(AddDays(*ParseDay("2026-12-30"), 3)), "2027-01-02");
  // The trend's month axis goes back to days without drift.
  EXPECT_EQ(DayText(DayAtMonths(MonthsOf(*ParseDay("2031-05-17")))), "2031-05-17");
}

// What a file adds to every store's promises (the register's suite runs on both): made
// where the user's data folder will be, its folders too.
TEST(RegisterFile, CreatedOnFirstUseInItsFolder) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"子文件夹" / u8"量规台账.db";
  {
    GaugeRegister gauges = Opened(path);
    EXPECT_FALSE(gauges.read_only());
    ASSERT_FALSE(gauges.Add(Ring("TG-2024-017")).has_value());
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_TRUE(Opened(path).Find("TG-2024-017").has_value());
}

// A version-1 register as the first release wrote it: one 保管人 column named "holder", no
// uncertainty, and no guard on its records.
const char* const kVersion1 =
    "CREATE TABLE gauges (id INTEGER PRIMARY KEY, number TEXT NOT NULL UNIQUE,"
    " thread TEXT NOT NULL, kind TEXT NOT NULL, length TEXT NOT NULL DEFAULT '',"
    " maker TEXT NOT NULL DEFAULT '', serial TEXT NOT NULL DEFAULT '',"
    " since TEXT NOT NULL DEFAULT '', interval_months INTEGER NOT NULL DEFAULT 12,"
    " holder TEXT NOT NULL DEFAULT '', state TEXT NOT NULL DEFAULT '在用',"
    " notes TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE records (id INTEGER PRIMARY KEY, gauge_id INTEGER NOT NULL REFERENCES gauges(id),"
    " date TEXT NOT NULL, inspector TEXT NOT NULL DEFAULT '', temperature REAL NOT NULL DEFAULT 20,"
    " method TEXT NOT NULL, element REAL, element_certificate TEXT NOT NULL DEFAULT '',"
    " major REAL, notes TEXT NOT NULL DEFAULT '', replaces INTEGER REFERENCES records(id),"
    " thread TEXT NOT NULL, kind TEXT NOT NULL, length TEXT NOT NULL,"
    " database_file TEXT NOT NULL, database_hash TEXT NOT NULL, program_version TEXT NOT NULL,"
    " limit_low REAL, limit_high REAL, wear_limit REAL, has_wear_limit INTEGER NOT NULL,"
    " limits_note TEXT NOT NULL DEFAULT '', verdict TEXT NOT NULL, verdict_text TEXT NOT NULL,"
    " margin_um REAL, created TEXT NOT NULL);"
    "CREATE TABLE readings (record_id INTEGER NOT NULL, seq INTEGER NOT NULL, value REAL NOT NULL,"
    " pitch_diameter REAL NOT NULL, PRIMARY KEY (record_id, seq));"
    "CREATE TABLE check_results (record_id INTEGER NOT NULL, plug TEXT NOT NULL,"
    " passed INTEGER NOT NULL, PRIMARY KEY (record_id, plug));"
    "INSERT INTO gauges (number, thread, kind, holder) VALUES ('V1', 'M10×1.5-6H', '通端螺纹塞规', "
    "'李四');"
    "INSERT INTO records (gauge_id, date, method, element, thread, kind, length, database_file,"
    " database_hash, program_version, limit_low, limit_high, wear_limit, has_wear_limit, verdict,"
    " verdict_text, margin_um, created) VALUES (1, '2025-06-01', 'wires', 0.866, 'M10×1.5-6H',"
    " '通端螺纹塞规', '', 'a.db', '00', '0.1.0', 9.040, 9.052, 9.022, 1, 'new', "
    "'合格（新制范围内）',"
    " 2.5, '2025-06-01 10:00:00');"
    "INSERT INTO readings VALUES (1, 1, 10.345, 9.046);"
    "PRAGMA application_id = 1413960263; PRAGMA user_version = 1;";

TEST(RegisterFile, AVersion1FileIsCopiedAsideThenMigratedInPlace) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"量规台账.db";
  ExecSql(path, kVersion1);
  const std::string before = ReadBytes(path);
  GaugeRegister gauges = Opened(path);
  EXPECT_NE(Say(gauges.note()).find("版本 1"), std::string::npos) << Say(gauges.note());
  const auto backup = folder.path() / u8"量规台账.db.v1.bak";
  ASSERT_TRUE(std::filesystem::exists(backup));
  // The copy is the old file's content: it still opens as version 1 with its data.
  ExecSql(backup, "CREATE TEMP TABLE t AS SELECT holder FROM gauges WHERE holder = '李四'");
  EXPECT_EQ(gauges.Find("V1")->keeper, "李四");
  const auto records = gauges.RecordsOf("V1");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FALSE(records[0].uncertainty.has_value());
  ASSERT_EQ(records[0].readings.size(), 1u);
  // Migrated, the old records are guarded too; new ones carry U.
  EXPECT_NE(TryExecSql(path, "UPDATE records SET verdict = 'worn'"), 0);
  InspectionRecord r = RecordOf("V1", "2026-06-01");
  r.uncertainty = 1.5;
  const auto id = gauges.AddRecord(r);
  ASSERT_TRUE(std::holds_alternative<long long>(id));
  EXPECT_EQ(gauges.Record(std::get<long long>(id))->uncertainty, 1.5);
  EXPECT_FALSE(before.empty());
  // The old record joined the chain of hashes when it was migrated; the new one follows it.
  EXPECT_EQ(records[0].hash.size(), 64u);
  EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
  EXPECT_TRUE(gauges.MissingTriggers().empty());
}

// The same register as version 2 kept it: the 保管人 columns and U, and its records guarded
// against change, without the chain of hashes.
const std::string kVersion2 =
    std::string(kVersion1) +
    "ALTER TABLE gauges ADD COLUMN department TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE gauges ADD COLUMN keeper TEXT NOT NULL DEFAULT '';"
    "UPDATE gauges SET keeper = holder;"
    "ALTER TABLE records ADD COLUMN uncertainty REAL;"
    "INSERT INTO records (gauge_id, date, method, element, thread, kind, length, database_file,"
    " database_hash, program_version, limit_low, limit_high, wear_limit, has_wear_limit, verdict,"
    " verdict_text, margin_um, created, uncertainty) VALUES (1, '2026-06-01', 'wires', 0.866,"
    " 'M10×1.5-6H', '通端螺纹塞规', '', 'a.db', '00', '0.2.0', 9.040, 9.052, 9.022, 1, 'worn',"
    " '合格（已磨损，未超磨损极限）', 12.0, '2026-06-01 10:00:00', 1.0);"
    "INSERT INTO readings VALUES (2, 1, 10.333, 9.034), (2, 2, 10.335, 9.036);"
    "CREATE TRIGGER records_fixed BEFORE UPDATE ON records BEGIN"
    "  SELECT RAISE(ABORT, '检定记录不可修改'); END;"
    "CREATE TRIGGER records_kept BEFORE DELETE ON records BEGIN"
    "  SELECT RAISE(ABORT, '检定记录不可删除'); END;"
    "CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN"
    "  SELECT RAISE(ABORT, '检定记录不可修改'); END;"
    "CREATE TRIGGER readings_kept BEFORE DELETE ON readings BEGIN"
    "  SELECT RAISE(ABORT, '检定记录不可删除'); END;"
    "CREATE TRIGGER gauges_kept BEFORE DELETE ON gauges"
    "  WHEN EXISTS (SELECT 1 FROM records WHERE gauge_id = OLD.id) BEGIN"
    "  SELECT RAISE(ABORT, '有检定记录的量规不可删除，只能报废'); END;"
    "PRAGMA user_version = 2;";

TEST(RegisterFile, AVersion2FileWithItsGuardsIsChainedAndKeepsItsRecords) {
  TemporaryFolder folder;
  const auto path = folder.path() / u8"量规台账.db";
  ExecSql(path, kVersion2);
  GaugeRegister gauges = Opened(path);
  EXPECT_NE(Say(gauges.note()).find("从版本 2 升级到版本 3"), std::string::npos)
      << Say(gauges.note());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / u8"量规台账.db.v2.bak"));
  const auto records = gauges.RecordsOf("V1");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].uncertainty, 1.0);
  EXPECT_EQ(records[1].readings[1].pitch_diameter, 9.036);
  EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
  EXPECT_TRUE(gauges.MissingTriggers().empty());
  EXPECT_NE(TryExecSql(path, "INSERT OR REPLACE INTO readings VALUES (2, 1, 1, 1, '')"), 0);
  // The due list reads the plug's smaller reading of its last record.
  std::vector<RecordFacts> facts;
  gauges.ForEachGauge([&](GaugeEntry&, const std::vector<RecordFacts>& of) { facts = of; });
  ASSERT_EQ(facts.size(), 2u);
  EXPECT_EQ(facts[1].id, 2);
  EXPECT_EQ(facts[1].wear_side, 9.034);
}

TEST(RegisterFile, ANewerFileIsOnlyRead) {
  TemporaryFolder folder;
  const auto path = folder.path() / "r.db";
  {
    GaugeRegister gauges = Opened(path);
    ASSERT_FALSE(gauges.Add(Ring("N1")).has_value());
  }
  ExecSql(path, "PRAGMA user_version = 4");
  GaugeRegister gauges = Opened(path);
  EXPECT_TRUE(gauges.read_only());
  EXPECT_NE(Say(gauges.note()).find("较新版本"), std::string::npos);
  EXPECT_TRUE(gauges.Find("N1").has_value());
  const auto refused = gauges.Add(Ring("N2"));
  ASSERT_TRUE(refused.has_value());
  EXPECT_NE(Say(refused->message).find("只读"), std::string::npos);
}

TEST(RegisterFile, AFileThatIsNoRegisterIsRefusedAndLeftAlone) {
  TemporaryFolder folder;
  const auto text = folder.path() / u8"台账.db";
  { std::ofstream(text, std::ios::binary) << "编号,螺纹\nTG-1,M10\n"; }
  EXPECT_NE(ErrorOf(GaugeRegister::Open(text)).find("不是量规台账"), std::string::npos);
  EXPECT_EQ(ReadBytes(text), "编号,螺纹\nTG-1,M10\n");
  const auto tables = folder.path() / u8"公差表.db";
  ExecSql(tables, "CREATE TABLE 位置要素 (TPL REAL)");
  const std::string before = ReadBytes(tables);
  EXPECT_NE(ErrorOf(GaugeRegister::Open(tables)).find("另一种数据库"), std::string::npos);
  EXPECT_EQ(ReadBytes(tables), before);
  EXPECT_NE(ErrorOf(GaugeRegister::OpenExisting(folder.path() / u8"无.db")).find("不存在"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / u8"无.db"));
}

TEST(RegisterFile, AReadOnlyFolderLeavesTheRegisterAsItWas) {
  TemporaryFolder folder;
  const auto inside = folder.path() / "data";
  std::filesystem::create_directories(inside);
  {
    ReadOnlyFolder locked(Utf8(inside));
    EXPECT_NE(ErrorOf(GaugeRegister::Open(inside / "r.db")).find("无法创建"), std::string::npos);
  }
  const auto path = inside / "r.db";
  {
    GaugeRegister gauges = Opened(path);
    ASSERT_FALSE(gauges.Add(Ring("L1")).has_value());
  }
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  {
    ReadOnlyFolder locked(Utf8(inside));
    auto opened = GaugeRegister::Open(path);
    if (auto* gauges = std::get_if<GaugeRegister>(&opened)) {
      EXPECT_TRUE(
          std::holds_alternative<RegisterError>(gauges->AddRecord(RecordOf("L1", "2026-01-01"))));
    }
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  EXPECT_TRUE(Opened(path).RecordsOf("L1").empty());
}

}  // namespace
}  // namespace threadgauge
