// The gauge register from the command line, run as a keeper runs it: the M10×1.5-6g set
// registered, inspected, printed and found due a year later; bad input writing nothing; a
// killed process and a busy file leaving the register whole.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/utf8.h"
#include "register/calendar.h"
#include "support/fixture_database.h"
#include "support/gauge_fixture.h"
#include "support/run_cli.h"
#include "support/run_program.h"

namespace threadgauge {
namespace {

class RegisterCli : public ::testing::Test {
 protected:
  void SetUp() override { testing::FillComplete(tables_); }

  // The command with this test's register and tolerance tables.
  CliRun Run(std::vector<std::string> args) const {
    args.insert(args.end(), {"--register", Utf8(Register()), "--database", Utf8(tables_.path())});
    return RunCli(args);
  }
  std::filesystem::path Register() const { return folder_.path() / u8"量规台账.db"; }
  int Count(const char* table) const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Utf8(Register()).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, (std::string("SELECT count(*) FROM ") + table).c_str(), -1, &statement,
                       nullptr);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
  }
  void Add(const std::string& number, const std::string& thread, const std::string& gauge) {
    const CliRun run = Run({"gauges", "add", "--number", number, "--thread", thread, "--gauge",
                            gauge, "--length", "20"});
    ASSERT_EQ(run.exit, 0) << run.err;
  }

  testing::FixtureDatabase tables_;
  testing::TemporaryFolder folder_;
};

const char* const kSet[] = {"通端螺纹环规",    "校通-通螺纹塞规", "校通-止螺纹塞规",
                            "校通-损螺纹塞规", "止端螺纹环规",    "校止-通螺纹塞规",
                            "校止-止螺纹塞规", "校止-损螺纹塞规"};

TEST_F(RegisterCli, TheSetRegisteredInspectedPrintedAndDueAYearLater) {
  for (size_t i = 0; i < std::size(kSet); ++i) {
    Add("TG-" + std::to_string(i + 1), "M10×1.5-6g", kSet[i]);
  }
  // 校通-通: 8.9705 … 8.9795; wires 0.8661: d2 = M − 1.2992619. The largest, 8.9763381,
  // lies 3.1619 µm below the upper limit.
  const CliRun plug = Run({"inspect", "TG-2", "--wire", "0.8661", "--m", "10.2750", "--m",
                           "10.2756", "--m", "10.2744", "--inspector", "王工", "--format", "json"});
  ASSERT_EQ(plug.exit, 0) << plug.err;
  EXPECT_NE(plug.out.find("\"limits\": {\"new\": [8.9705, 8.9795], \"wear\": null}"),
            std::string::npos)
      << plug.out;
  EXPECT_NE(plug.out.find("{\"value\": 10.2756, \"pitch_diameter\": 8.9763}"), std::string::npos);
  EXPECT_NE(plug.out.find("\"verdict\": {\"code\": \"new\", \"text\": \"合格（新制范围内）\", "
                          "\"margin_um\": 3.2, \"margin_to\": \"new_high\", \"line\": "
                          "\"合格（新制范围内），距新制上限 3.2 µm\"}"),
            std::string::npos)
      << plug.out;
  EXPECT_NE(plug.out.find("\"record\": 1}"), std::string::npos);

  // GO ring: 8.983 … 8.989, wear limit 9.010; balls 0.9002: d2 = E + 1.4015619. 8.9905619
  // is worn, 19.4 µm from its wear limit.
  const CliRun ring = Run({"inspect", "TG-1", "--ball", "0.9002", "--e", "7.585", "--e", "7.589"});
  ASSERT_EQ(ring.exit, 0) << ring.err;
  EXPECT_NE(ring.out.find("检定记录 2"), std::string::npos) << ring.out;
  EXPECT_NE(ring.out.find("新制中径 8.9830 … 8.9890 mm    磨损极限 9.0100 mm"), std::string::npos);
  EXPECT_NE(
      ring.out.find("2  E = 7.589  中径 8.9906  合格（已磨损，未超磨损极限），距磨损极限 19.4 µm"),
      std::string::npos);
  EXPECT_NE(ring.out.find("结论：合格（已磨损，未超磨损极限），距磨损极限 19.4 µm"),
            std::string::npos);

  const auto pdf = folder_.path() / u8"记录.pdf";
  const CliRun record = Run({"record", "2", "--format", "pdf", "--out", Utf8(pdf)});
  ASSERT_EQ(record.exit, 0) << record.err;
  const ProgramRun text = RunProgram({"pdftotext", "-layout", Utf8(pdf), "-"});
  ASSERT_EQ(text.exit, 0) << "pdftotext (Debian poppler-utils) failed: " << text.err;
  for (const char* shown :
       {"螺纹量规检定记录", "记录号 2", "TG-1", "通端螺纹环规", "8.9906",
        "合格（已磨损，未超磨损极限）", "9.0100 mm", "检定员", "下次检定日期"}) {
    EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
  }

  const Day today = Today();
  const std::string later = DayText(AddDays(AddMonths(today, 12), -10));
  const CliRun due =
      Run({"gauges", "list", "--due-within", "30", "--on", later, "--format", "json"});
  ASSERT_EQ(due.exit, 0) << due.err;
  const std::string next = DayText(AddMonths(today, 12));
  EXPECT_NE(due.out.find("{\"number\": \"TG-1\", \"thread\": \"M10×1.5-6g\", \"gauge\": "
                         "\"通端螺纹环规\", \"length\": \"大于14至32\", \"state\": \"在用\", "
                         "\"last_record\": \"" +
                         DayText(today) + "\", \"next_due\": \"" + next +
                         "\", \"due_now\": false, \"due_reason\": null}"),
            std::string::npos)
      << due.out;
  // Never inspected and without a 启用日期: due now, whatever the day.
  const CliRun now = Run({"gauges", "list", "--due-within", "30"});
  EXPECT_EQ(now.out.find("TG-1 "), std::string::npos) << now.out;
  EXPECT_EQ(now.out.find("TG-2 "), std::string::npos);
  for (const char* never : {"TG-3", "TG-4", "TG-5", "TG-6", "TG-7", "TG-8"}) {
    EXPECT_NE(now.out.find(std::string(never) + "  M10×1.5-6g"), std::string::npos) << never;
  }
  EXPECT_NE(
      now.out.find("TG-3  M10×1.5-6g  校通-止螺纹塞规  大于14至32  在用  上次检定 —  下次检定 "
                   "—  从未检定\n"),
      std::string::npos)
      << now.out;
}

TEST_F(RegisterCli, BadInputWritesNothingAndExitsTwo) {
  Add("P1", "M10×1.5-6H", "通端螺纹塞规");
  const std::string tomorrow = DayText(AddDays(Today(), 1));
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"inspect", "P9", "--wire", "0.866", "--m", "10.345"}, "编号 P9 不在量规台账中"},
      {{"inspect", "P1", "--wire", "0.866", "--m", "10.345", "--date", tomorrow}, "之后"},
      {{"inspect", "P1", "--wire", "-0.866", "--m", "10.345"}, "三针直径须为正数"},
      {{"inspect", "P1", "--wire", "0.866", "--m", "10.3.45"}, "不是数"},
      {{"inspect", "P1", "--wire", "0.866", "--m", "11.345"}, "--force"},
      {{"inspect", "P1", "--ball", "0.866", "--e", "7.6"}, "三针"},
      {{"inspect", "P1", "--wire", "0.866"}, "缺少 M"},
      {{"inspect", "P1", "--check", "也许"}, "--check"},
      {{"gauges", "add", "--number", "P2", "--thread", "M10-6H", "--gauge", "环规"}, "环规"},
      {{"gauges", "add", "--number", "P1", "--thread", "M10-6H", "--gauge", "通端螺纹塞规"},
       "已在量规台账中"},
      {{"gauges", "show", "P9"}, "P9"},
      {{"gauges", "retire", "P9"}, "P9"},
      {{"record", "9", "--format", "pdf", "--out", "x.pdf"}, "没有记录 9"},
  };
  for (const Case& c : cases) {
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.exit, 2) << c.args[0] << " " << c.args[1] << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(Count("gauges"), 1);
  EXPECT_EQ(Count("records"), 0);
  // Confirmed, the far reading is recorded and decides: out of tolerance, exit 1.
  const CliRun forced = Run({"inspect", "P1", "--wire", "0.866", "--m", "11.345", "--force"});
  EXPECT_EQ(forced.exit, 1) << forced.err;
  EXPECT_NE(forced.out.find("不合格（超出制造公差）"), std::string::npos);
  // A dry run decides without writing.
  const CliRun dry = Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345", "--dry-run"});
  EXPECT_EQ(dry.exit, 0) << dry.err;
  EXPECT_NE(dry.out.find("未保存"), std::string::npos);
  EXPECT_EQ(Count("records"), 1);

  const auto not_register = folder_.path() / "other.db";
  { std::ofstream(not_register) << "编号,螺纹\n"; }
  const CliRun refused = RunCli({"gauges", "list", "--register", Utf8(not_register)});
  EXPECT_EQ(refused.exit, 2);
  EXPECT_NE(refused.err.find("不是量规台账"), std::string::npos);
}

TEST_F(RegisterCli, ACorrectionReplacesARecordAndARetiredGaugeKeepsItsHistory) {
  Add("P1", "M10×1.5-6H", "通端螺纹塞规");
  ASSERT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
  const CliRun corrected =
      Run({"inspect", "P1", "--wire", "0.866", "--m", "10.346", "--replaces", "1"});
  ASSERT_EQ(corrected.exit, 0) << corrected.err;
  EXPECT_NE(corrected.out.find("检定记录 2（更正记录 1）"), std::string::npos);
  EXPECT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345", "--replaces", "1"}).exit, 2);
  const CliRun shown = Run({"gauges", "show", "P1", "--format", "json"});
  EXPECT_NE(shown.out.find("{\"id\": 1, \"date\": \"" + DayText(Today()) +
                           "\", \"verdict\": \"new\", \"margin_um\": 6, \"replaces\": null, "
                           "\"replaced_by\": 2, \"imported\": false, \"hash_matches\": true}"),
            std::string::npos)
      << shown.out;
  ASSERT_EQ(Run({"gauges", "retire", "P1"}).exit, 0);
  EXPECT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 2);
  const CliRun listed = Run({"gauges", "list", "--state", "报废"});
  EXPECT_NE(listed.out.find("P1"), std::string::npos);
  EXPECT_EQ(Count("records"), 2);
}

TEST_F(RegisterCli, ImportIsAllOrNothingUnlessTheGoodRowsAreChosen) {
  const auto csv = folder_.path() / u8"台账.csv";
  {
    std::ofstream out(csv, std::ios::binary);
    out << "编号,螺纹,量规,检定周期\r\nA1,M10-6H,通端螺纹塞规,12\r\nA2,M10-6H,环规,12\r\n"
           "A3,M12-6g,通端螺纹环规,6\r\n";
  }
  const CliRun all = Run({"gauges", "import", Utf8(csv)});
  EXPECT_EQ(all.exit, 2);
  EXPECT_NE(all.err.find("第 3 行"), std::string::npos) << all.err;
  EXPECT_NE(all.out.find("UTF-8"), std::string::npos);
  EXPECT_EQ(Count("gauges"), 0);
  const CliRun good = Run({"gauges", "import", Utf8(csv), "--good-rows"});
  EXPECT_EQ(good.exit, 1);
  EXPECT_EQ(Count("gauges"), 2);
  const auto out = folder_.path() / u8"导出.xlsx";
  EXPECT_EQ(Run({"gauges", "export", "--format", "xlsx", "--out", Utf8(out)}).exit, 0);
  EXPECT_TRUE(std::filesystem::file_size(out) > 0);
  const CliRun csv_out = Run({"gauges", "list", "--format", "csv"});
  EXPECT_NE(csv_out.out.find("A3,M12-6g,通端螺纹环规,,,,,6,"), std::string::npos) << csv_out.out;
}

// Kills threadgauge-cli at moments spread over its run: each record in the register then
// has all its readings or is not there.
TEST_F(RegisterCli, AProcessKilledWhileWritingLeavesWholeRecordsOnly) {
  Add("P1", "M10×1.5-6H", "通端螺纹塞规");
  constexpr int kReadings = 4000;
  std::vector<std::string> args = {THREADGAUGE_CLI,  "inspect",    "P1",
                                   "--wire",         "0.866",      "--register",
                                   Utf8(Register()), "--database", Utf8(tables_.path())};
  for (int i = 0; i < kReadings; ++i) args.insert(args.end(), {"--m", "10.345"});
  int killed = 0;
  for (int attempt = 0; attempt < 30; ++attempt) {
    RunningProgram cli(args);
    ASSERT_TRUE(cli.started());
    std::this_thread::sleep_for(std::chrono::microseconds(1500 * attempt));
    if (cli.Kill()) ++killed;
    const int records = Count("records");
    ASSERT_GE(records, 0);
    EXPECT_EQ(Count("readings"), records * kReadings) << "after attempt " << attempt;
  }
  EXPECT_GT(killed, 0);
  // And the register still takes a record.
  EXPECT_EQ(Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"}).exit, 0);
}

TEST_F(RegisterCli, AWriterHoldingTheFileMakesTheOtherWaitThenSayItIsBusy) {
  Add("P1", "M10×1.5-6H", "通端螺纹塞规");
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(Utf8(Register()).c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  // Released within the other's wait: both succeed.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  });
  const CliRun waited = Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"});
  release.join();
  EXPECT_EQ(waited.exit, 0) << waited.err;
  // Held beyond it: told to try again, nothing written.
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const CliRun busy = Run({"inspect", "P1", "--wire", "0.866", "--m", "10.345"});
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(busy.exit, 1);
  EXPECT_NE(busy.err.find("正被另一程序写入"), std::string::npos) << busy.err;
  EXPECT_EQ(Count("records"), 1);
}

}  // namespace
}  // namespace threadgauge
