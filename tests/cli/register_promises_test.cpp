// What a keeper relies on, from the command line as a process: a failed gauge stays due
// until it is dealt with, a new gauge is judged against its zone, damage is said and never
// written over, a forged record is named, history comes in from a spreadsheet, and the long
// record runs onto further pages.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <regex>

#include "platform/utf8.h"
#include "register/calendar.h"
#include "support/file_damage.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

using testing::ReadBytes;

class RegisterPromises : public ::testing::Test {
 protected:
  void SetUp() override { testing::FillComplete(tables_); }

  CliRun Run(std::vector<std::string> args) const {
    args.insert(args.end(), {"--register", Utf8(Register()), "--database", Utf8(tables_.path())});
    return RunCli(args);
  }
  std::filesystem::path Register() const { return folder_.path() / u8"量规台账.db"; }
  void Add(const std::string& number, const std::string& thread, const std::string& gauge,
           std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"gauges", "add",     "--number", number,     "--thread",
                                     thread,   "--gauge", gauge,      "--length", "20"};
    args.insert(args.end(), more.begin(), more.end());
    const CliRun run = Run(args);
    ASSERT_EQ(run.exit, 0) << run.err;
  }
  std::string Sql(const std::string& query) const {
    sqlite3* db = nullptr;
    sqlite3_open(Utf8(Register()).c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr);
    std::string answer;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0)) {
      answer = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return answer;
  }
  std::string Today() const { return DayText(threadgauge::Today()); }
  std::string AYearOn() const { return DayText(AddMonths(threadgauge::Today(), 12)); }

  testing::FixtureDatabase tables_;
  testing::TemporaryFolder folder_;
};

// GO plug M10×1.5-6H: new 9.040 … 9.052, wear limit 9.022; wires 0.866: d2 = M − 1.2989619.
const char* const kGoPlug = "通端螺纹塞规";

TEST_F(RegisterPromises, AFailedGaugeStaysDueUntilItIsTakenOutOfUse) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  ASSERT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
  // 10.319 gives 9.0200381, 1.96 µm below the wear limit.
  const CliRun failed = Run({"inspect", "P1", "--wire", "0.866", "--m", "10.319"});
  EXPECT_EQ(failed.exit, 1) << failed.err;
  for (const std::string& said :
       {std::string("结论：不合格（超出磨损极限），超出磨损极限 2.0 µm\n"),
        std::string("该量规应停止使用，待处理（停用：threadgauge-cli gauges set-state P1 停用；"
                    "报废：threadgauge-cli gauges retire P1）\n"),
        "下次检定 " + AYearOn() + "  检定不合格：超出磨损极限（记录 2）\n"}) {
    EXPECT_NE(failed.out.find(said), std::string::npos) << said << "\n" << failed.out;
  }
  // Due now, whatever the day, with its reason; the interval's day has not moved.
  const CliRun due = Run({"gauges", "list", "--due-within", "0", "--format", "json"});
  EXPECT_NE(
      due.out.find("\"next_due\": \"" + AYearOn() +
                   "\", \"due_now\": true, \"due_reason\": \"检定不合格：超出磨损极限（记录 2）\""),
      std::string::npos)
      << due.out;
  const CliRun shown = Run({"gauges", "show", "P1"});
  EXPECT_NE(shown.out.find("该量规应停止使用，待处理"), std::string::npos) << shown.out;
  // Taken out of use, it leaves the due list; repaired and back in use, a conforming record
  // counts from its own day.
  const CliRun suspended = Run({"gauges", "set-state", "P1", "停用"});
  EXPECT_EQ(suspended.exit, 0) << suspended.err;
  EXPECT_EQ(suspended.out, "P1 的状态已改为 停用\n");
  EXPECT_EQ(Run({"gauges", "list", "--due-within", "0"}).out, "（没有量规）\n");
  EXPECT_EQ(Run({"gauges", "set-state", "P1", "丢了"}).exit, 2);
  ASSERT_EQ(Run({"gauges", "set-state", "P1", "在用"}).exit, 0);
  EXPECT_NE(Run({"gauges", "list", "--due-within", "0"}).out.find("P1"), std::string::npos);
  ASSERT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
  EXPECT_EQ(Run({"gauges", "list", "--due-within", "0"}).out, "（没有量规）\n");
}

TEST_F(RegisterPromises, ANewGaugeIsJudgedAgainstItsManufacturingZone) {
  Add("N1", "M10×1.5-6H", kGoPlug, {"--since", Today()});
  Add("N2", "M10×1.5-6H", kGoPlug);
  // 10.3290 gives 9.0300381: below the new zone, above the wear limit.
  const std::vector<std::string> reading = {"--wire", "0.866", "--m", "10.3290", "--dry-run"};
  const auto inspect = [&](const char* number, std::vector<std::string> more) {
    std::vector<std::string> args = {"inspect", number};
    args.insert(args.end(), reading.begin(), reading.end());
    args.insert(args.end(), more.begin(), more.end());
    return Run(args);
  };
  const CliRun accepted = inspect("N1", {});
  EXPECT_EQ(accepted.exit, 1);
  EXPECT_NE(accepted.out.find("新量规验收：只按制造公差判定\n"), std::string::npos) << accepted.out;
  EXPECT_NE(accepted.out.find("结论：不合格（超出制造公差），超出新制下限 10.0 µm"),
            std::string::npos);
  const CliRun in_use = inspect("N2", {});
  EXPECT_EQ(in_use.exit, 0);
  EXPECT_NE(in_use.out.find("结论：合格（已磨损，未超磨损极限），距磨损极限 8.0 µm"),
            std::string::npos)
      << in_use.out;
  const CliRun asked = inspect("N2", {"--acceptance", "--format", "json"});
  EXPECT_EQ(asked.exit, 1);
  EXPECT_NE(asked.out.find("\"acceptance\": true"), std::string::npos) << asked.out;
}

TEST_F(RegisterPromises, CheckPlugResultsThatContradictEachOtherAreRefused) {
  Add("R1", "M10×1.5-6g", "通端螺纹环规");
  const CliRun run =
      Run({"inspect", "R1", "--check", "通过", "--check", "不通过", "--check", "通过"});
  EXPECT_EQ(run.exit, 2);
  EXPECT_NE(run.err.find("校对塞规的结果相互矛盾"), std::string::npos) << run.err;
  EXPECT_EQ(Sql("SELECT count(*) FROM records"), "0");
  const CliRun numbered =
      Run({"inspect", "R1", "--check", "通过", "--check", "不通过", "--check-number", "C-1",
           "--check-number", "C-2", "--format", "json"});
  EXPECT_EQ(numbered.exit, 0) << numbered.err;
  EXPECT_EQ(Sql("SELECT group_concat(gauge_number) FROM check_results"), "C-1,C-2");
}

TEST_F(RegisterPromises, OnlyFinitePlausibleNumbersAreStoredAndJsonStaysJson) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  const std::vector<std::vector<std::string>> refused = {
      {"--m", "nan"},
      {"--m", "inf"},
      {"--m", "-inf"},
      {"--m", "1e308"},
      {"--m", "1e308", "--force"},
      {"--m", "0", "--force"},
      {"--m", "-1"},
      {"--m", "1001", "--force"},
      {"--m", "10.345", "--replaces", "1.5"},
      {"--m", "10.345", "--replaces", "1e308"},
      {"--m", "10.345", "--temperature", "150"},
      {"--m", "10.345", "--temperature", "-51"},
      {"--m", "10.345", "--wire", "1e308"},
      {"--m", "10.345", "--uncertainty", "1e308"},
  };
  for (const auto& more : refused) {
    std::vector<std::string> args = {"inspect", "P1", "--wire", "0.866"};
    args.insert(args.end(), more.begin(), more.end());
    const CliRun run = Run(args);
    EXPECT_EQ(run.exit, 2) << more[0] << " " << more[1] << "\n" << run.out;
  }
  EXPECT_EQ(Sql("SELECT count(*) FROM records"), "0");
  // A value no program of ours wrote, put in by another: the JSON says null.
  ASSERT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
  testing::ExecSql(Register(),
                   "DROP TRIGGER records_fixed; UPDATE records SET margin_um = 9e999, "
                   "limit_low = -9e999;");
  const CliRun json = Run({"gauges", "show", "P1", "--format", "json"});
  EXPECT_EQ(json.out.find("inf"), std::string::npos) << json.out;
  EXPECT_EQ(json.out.find("nan"), std::string::npos);
  EXPECT_NE(json.out.find("\"margin_um\": null"), std::string::npos) << json.out;
}

// Eleven gauges with long notes, to spread them over several pages of the register.
void WriteLedger(const std::filesystem::path& folder) {
  const auto csv = folder / u8"台账.csv";
  {
    std::ofstream out(csv, std::ios::binary);
    out << "编号,螺纹,量规,备注\n";
    for (int i = 1; i <= 11; ++i) {
      out << "TG-" << i << ",M10×1.5-6H,通端螺纹塞规," << std::string(700, 'x') << "\n";
    }
  }
}

TEST_F(RegisterPromises, ADamagedRegisterSaysSoIsNeverWrittenAndComesBackFromItsBackup) {
  // The gauges, then one record: the day's backup is made before that second change.
  WriteLedger(folder_.path());
  ASSERT_EQ(Run({"gauges", "import", Utf8((folder_.path() / u8"台账.csv"))}).exit, 0);
  ASSERT_EQ(Run({"inspect", "TG-1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
  const std::string whole = ReadBytes(Register());
  const auto pdf = folder_.path() / u8"记录.pdf";
  for (const std::string& damaged :
       {testing::ZeroPage(whole, whole.size() / 4096 / 2), testing::BrokenOff(whole, 0.6)}) {
    testing::WriteBytes(Register(), damaged);
    for (const std::vector<std::string>& read :
         {std::vector<std::string>{"gauges", "list"},
          {"gauges", "show", "TG-1"},
          {"gauges", "export", "--format", "csv", "--out", Utf8((folder_.path() / "x.csv"))},
          {"record", "1", "--format", "pdf", "--out", Utf8(pdf)}}) {
      const CliRun run = Run(read);
      EXPECT_EQ(run.exit, 1) << read[0] << " " << read[1] << "\n" << run.out;
      EXPECT_NE(run.err.find("量规台账已损坏："), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("threadgauge-cli gauges restore"), std::string::npos) << run.err;
    }
    for (const std::vector<std::string>& write :
         {std::vector<std::string>{"gauges", "add", "--number", "TG-12", "--thread", "M10-6H",
                                   "--gauge", kGoPlug},
          {"inspect", "TG-2", "--wire", "0.866", "--m", "10.345"},
          {"gauges", "set-state", "TG-3", "停用"}}) {
      EXPECT_EQ(Run(write).exit, 1) << write[0] << " " << write[1];
    }
    EXPECT_EQ(ReadBytes(Register()), damaged);
  }
  // The way out it named: the day's backup, made before the record was added.
  const std::string backup =
      Utf8(folder_.path() / u8"量规台账备份" /
           PathFromUtf8("量规台账-" + std::regex_replace(Today(), std::regex("-"), "") + ".db"));
  const CliRun restored = Run({"gauges", "restore", backup});
  ASSERT_EQ(restored.exit, 0) << restored.err;
  const CliRun list = Run({"gauges", "list"});
  EXPECT_EQ(list.exit, 0) << list.err;
  EXPECT_NE(list.out.find("TG-11"), std::string::npos);
  EXPECT_EQ(Run({"gauges", "verify"}).exit, 0);
  EXPECT_TRUE(std::filesystem::exists(
      folder_.path() / PathFromUtf8("量规台账.db.before-restore-" +
                                    std::regex_replace(Today(), std::regex("-"), ""))));

  // An empty file where the register should be is told, and stays empty.
  testing::WriteBytes(Register(), "");
  const CliRun empty = Run({"gauges", "list"});
  EXPECT_EQ(empty.exit, 1);
  EXPECT_NE(empty.err.find("是空文件（0 字节）"), std::string::npos) << empty.err;
  EXPECT_EQ(Run({"gauges", "add", "--number", "A", "--thread", "M10-6H", "--gauge", kGoPlug}).exit,
            1);
  EXPECT_EQ(std::filesystem::file_size(Register()), 0u);
}

TEST_F(RegisterPromises, AForgedRecordIsNamedAndItsPaperCarriesItsHash) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  for (const char* m : {"10.345", "10.344", "10.343"}) {
    ASSERT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", m}).exit, 0);
  }
  EXPECT_EQ(Run({"gauges", "verify"}).exit, 0);
  const std::string hash_1 = Sql("SELECT hash FROM records WHERE id = 1");
  ASSERT_EQ(hash_1.size(), 64u);
  testing::ExecSql(Register(),
                   "DROP TRIGGER readings_fixed; UPDATE readings SET value = 10.346 WHERE "
                   "record_id = 2; CREATE TRIGGER readings_fixed BEFORE UPDATE ON readings BEGIN "
                   "SELECT RAISE(ABORT, '检定记录不可修改'); END");
  const CliRun verify = Run({"gauges", "verify"});
  EXPECT_EQ(verify.exit, 1);
  EXPECT_NE(verify.out.find("记录 2（量规 P1）与校验链不符"), std::string::npos) << verify.out;
  EXPECT_EQ(verify.out.find("记录 1（"), std::string::npos);
  const CliRun shown = Run({"gauges", "show", "P1"});
  EXPECT_EQ(shown.exit, 1);
  EXPECT_NE(shown.out.find("记录 2 与量规台账的校验链不符"), std::string::npos) << shown.out;
  const auto pdf = folder_.path() / u8"记录1.pdf";
  ASSERT_EQ(Run({"record", "1", "--format", "pdf", "--out", Utf8(pdf)}).exit, 0);
  const ProgramRun text = RunProgram({"pdftotext", "-layout", Utf8(pdf), "-"});
  EXPECT_NE(text.out.find("记录校验（SHA-256）：" + hash_1), std::string::npos) << text.out;
  EXPECT_EQ(Run({"record", "2", "--format", "pdf", "--out", Utf8(pdf)}).exit, 1);
  // Dropping a guard is named too.
  testing::ExecSql(Register(), "DROP TRIGGER records_kept");
  EXPECT_NE(Run({"gauges", "verify"}).out.find("缺少触发器 records_kept"), std::string::npos);
}

TEST_F(RegisterPromises, ARegisterInAReadOnlyFolderIsReadAndSaysItCannotBeWritten) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  const std::string before = ReadBytes(Register());
  {
    ReadOnlyFolder locked(Utf8(folder_.path()));
    const CliRun list = Run({"gauges", "list"});
    EXPECT_EQ(list.exit, 0) << list.err;
    EXPECT_NE(list.out.find("P1"), std::string::npos);
    EXPECT_NE(list.err.find("只能读取"), std::string::npos) << list.err;
    const CliRun add =
        Run({"gauges", "add", "--number", "P2", "--thread", "M10-6H", "--gauge", kGoPlug});
    EXPECT_EQ(add.exit, 1);
    EXPECT_NE(add.err.find("不能写入"), std::string::npos) << add.err;
  }
  EXPECT_EQ(ReadBytes(Register()), before);
}

TEST_F(RegisterPromises, HistoryFromASpreadsheetIsAllOrNothingUnlessTheGoodRowsAreChosen) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  const auto csv = folder_.path() / u8"检定历史.csv";
  {
    std::ofstream out(csv, std::ios::binary);
    out << "编号,检定日期,检定员,方法,测针或钢球直径,读数,备注\r\n"
           "P1,2024-05-01,王工,三针,0.866,10.346 10.347,\"第一次\r\n入库\"\r\n"
           "P1,2025-05-01,王工,三针,0.866,10.345,\r\n"
           "P1,2025-13-01,王工,三针,0.866,10.345,\r\n";
  }
  const CliRun all = Run({"gauges", "import-records", Utf8(csv)});
  EXPECT_EQ(all.exit, 2);
  EXPECT_NE(all.err.find("第 5 行：检定日期“2025-13-01”不是日期"), std::string::npos) << all.err;
  EXPECT_EQ(Sql("SELECT count(*) FROM records"), "0");
  const CliRun good = Run({"gauges", "import-records", Utf8(csv), "--good-rows"});
  EXPECT_EQ(good.exit, 1);
  EXPECT_NE(good.out.find("已导入 2 条检定记录（标为“导入”）"), std::string::npos) << good.out;
  const CliRun shown = Run({"gauges", "show", "P1"});
  // 10.345 gives 9.0460381: 5.96 µm below the new zone's upper limit.
  EXPECT_NE(shown.out.find("2025-05-01  合格（新制范围内），距新制上限 6.0 µm（导入）"),
            std::string::npos)
      << shown.out;
  EXPECT_EQ(Run({"gauges", "verify"}).exit, 0);
}

TEST_F(RegisterPromises, TheLongRecordRunsOntoFurtherPagesWithAllItsReadings) {
  Add("P1", "M10×1.5-6H", kGoPlug);
  ASSERT_EQ(Run({"gauges", "settings", "--organisation", "哈尔滨量具刃具厂计量室"}).exit, 0);
  std::vector<std::string> args = {"inspect",
                                   "P1",
                                   "--wire",
                                   "0.866",
                                   "--certificate",
                                   "JJG-2026-0001234567890",
                                   "--instrument",
                                   "万能测长仪",
                                   "--instrument-number",
                                   "CZ-07",
                                   "--instrument-certificate",
                                   "L2026-88",
                                   "--instrument-valid",
                                   "2027-06-30",
                                   "--uncertainty",
                                   "1.2",
                                   "--k",
                                   "2",
                                   "--inspector",
                                   "王工"};
  std::vector<std::string> readings;
  for (int i = 1; readings.size() < 60; ++i) {
    // 10.3401 … 10.3466 without the tens (the record writes 10.341): d2 9.0411 … 9.0476,
    // all new.
    if (i % 10 == 0) continue;
    char m[16];
    std::snprintf(m, sizeof m, "10.34%02d", i);
    readings.push_back(m);
    args.insert(args.end(), {"--m", m, "--position", i % 3 == 0 ? "起始" : "中间"});
  }
  ASSERT_EQ(Run(args).exit, 0);
  const auto pdf = folder_.path() / u8"长记录.pdf";
  ASSERT_EQ(Run({"record", "1", "--format", "pdf", "--out", Utf8(pdf)}).exit, 0);
  const ProgramRun info = RunProgram({"pdfinfo", Utf8(pdf)});
  std::smatch pages_match;
  ASSERT_TRUE(std::regex_search(info.out, pages_match, std::regex("Pages:\\s+(\\d+)")));
  const int pages = std::stoi(pages_match[1]);
  ASSERT_GE(pages, 2);
  std::string all;
  for (int page = 1; page <= pages; ++page) {
    const ProgramRun text = RunProgram({"pdftotext", "-layout", "-f", std::to_string(page), "-l",
                                        std::to_string(page), Utf8(pdf), "-"});
    SCOPED_TRACE("page " + std::to_string(page) + "\n" + text.out);
    EXPECT_NE(text.out.find("螺纹量规检定记录"), std::string::npos);
    EXPECT_NE(text.out.find("哈尔滨量具刃具厂计量室"), std::string::npos);
    EXPECT_NE(
        text.out.find("第 " + std::to_string(page) + " 页 共 " + std::to_string(pages) + " 页"),
        std::string::npos);
    EXPECT_NE(text.out.find("记录校验（SHA-256）："), std::string::npos);
    const bool last = page == pages;
    EXPECT_EQ(text.out.find("结论：") != std::string::npos, last);
    EXPECT_EQ(text.out.find("批准：") != std::string::npos, last);
    EXPECT_NE(text.out.find("实际中径"), std::string::npos);  // the heading on every page
    all += text.out;
  }
  for (const std::string& m : readings) {
    EXPECT_NE(all.find(" " + m + " "), std::string::npos) << m;
  }
  for (const char* shown :
       {"JJG-2026-0001234567890", "万能测长仪，编号 CZ-07", "L2026-88，有效期至 2027-06-30",
        "1.2 µm（k = 2）", "ISO 1502", "新制中径 9.0400 … 9.0520 mm；磨损极限 9.0220 mm", "起始"}) {
    EXPECT_NE(all.find(shown), std::string::npos) << shown << "\n" << all;
  }
}

}  // namespace
}  // namespace threadgauge
