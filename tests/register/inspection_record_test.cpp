// An inspection decided on the registered gauge, and the ledger in and out of CSV.
#include <gtest/gtest.h>

#include "register/inspection.h"
#include "register/ledger.h"
#include "support/gauge_fixture.h"
#include "tolerance/tolerance_database.h"

namespace threadgauge {
namespace {

const Day kToday = *ParseDay("2026-12-07");

GaugeEntry Entry(const char* number, const char* thread, const char* kind) {
  GaugeEntry gauge;
  gauge.number = number;
  gauge.thread = thread;
  gauge.kind = kind;
  gauge.length = "大于14至32";
  return gauge;
}

TEST(RegisterEntry, IsReadAsTheGaugeSetReadsItOrRefusedByName) {
  GaugeEntry ok = Entry(" TG-1 ", "m10x1.5-6g", "通端螺纹环规");
  ok.length = "20";
  ok.since = "2026/3/1";
  ASSERT_FALSE(NormaliseEntry(ok, kToday).has_value());
  EXPECT_EQ(ok.number, "TG-1");
  EXPECT_EQ(ok.thread, "M10×1.5-6g");
  EXPECT_EQ(ok.length, "大于14至32");
  EXPECT_EQ(ok.since, "2026-03-01");
  EXPECT_EQ(ok.state, "在用");
  GaugeEntry today = Entry("T", "M10-6H", "通端螺纹塞规");
  today.since = "2026-12-07";  // put in use today: not in the future
  EXPECT_FALSE(NormaliseEntry(today, kToday).has_value());

  struct Bad {
    GaugeEntry gauge;
    const char* says;
  };
  GaugeEntry future = Entry("A", "M10-6H", "通端螺纹塞规");
  future.since = "2026-12-08";
  GaugeEntry interval = Entry("A", "M10-6H", "通端螺纹塞规");
  interval.interval_months = 0;
  GaugeEntry state = Entry("A", "M10-6H", "通端螺纹塞规");
  state.state = "丢失";
  GaugeEntry length = Entry("A", "M10-6H", "通端螺纹塞规");
  length.length = "很长";
  const Bad bad[] = {
      {Entry("", "M10-6H", "通端螺纹塞规"), "编号"},
      {Entry("A", "M10", "通端螺纹塞规"), "公差带"},
      {Entry("A", "X10-6H", "通端螺纹塞规"), "X10-6H"},
      {Entry("A", "M10-6H", "通端塞规"), "通端塞规"},
      {Entry("A", "M10-6g", "通端螺纹塞规"), "内螺纹"},
      {Entry("A", "M10-6H", "校通-通螺纹塞规"), "外螺纹"},
      {future, "之后"},
      {interval, "检定周期"},
      {state, "丢失"},
      {length, "很长"},
  };
  for (Bad b : bad) {
    const auto said = NormaliseEntry(b.gauge, kToday);
    ASSERT_TRUE(said.has_value()) << b.says;
    EXPECT_NE(said->find(b.says), std::string::npos) << *said;
  }
}

class InspectionOfRegisteredGauge : public ::testing::Test {
 protected:
  void SetUp() override { testing::FillComplete(fixture_); }
  ToleranceDatabase Db() const { return ToleranceDatabase::Open(fixture_.path()); }
  testing::FixtureDatabase fixture_;
};

TEST_F(InspectionOfRegisteredGauge, TheCheckPlugWithThreeMReadings) {
  // 校通-通: 9.02575 − 0.032 − 0.008 − 0.011 shows 8.975 ± 0.0045: 8.9705 … 8.9795.
  // Wires 0.8661: d2 = M − 2.5983 + 1.2990381 = M − 1.2992619.
  InspectionInputs in;
  in.element = 0.8661;
  in.values = {10.2750, 10.2756, 10.2744};
  in.inspector = "王工";
  const auto decided =
      DecideInspection(Entry("C1", "M10×1.5-6g", "校通-通螺纹塞规"), in, Db(), kToday, {});
  ASSERT_TRUE(std::holds_alternative<DecidedInspection>(decided));
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  ASSERT_EQ(d.record.readings.size(), 3u);
  EXPECT_NEAR(d.record.readings[0].pitch_diameter, 8.9757381, 1e-7);
  EXPECT_NEAR(d.record.readings[1].pitch_diameter, 8.9763381, 1e-7);
  EXPECT_NEAR(d.record.readings[2].pitch_diameter, 8.9751381, 1e-7);
  // The largest is 3.1619 µm below 8.9795, the smallest 4.6381 above 8.9705.
  EXPECT_EQ(d.verdict.code, VerdictCode::New);
  EXPECT_NEAR(*d.record.margin_um, 3.162, 1e-9);
  EXPECT_EQ(d.record.date, "2026-12-07");
  EXPECT_FALSE(d.record.has_wear_limit);
  EXPECT_EQ(d.record.database_hash.size(), 16u);
  EXPECT_EQ(d.record.database_file, fixture_.path().string());
  EXPECT_NE(d.remarks.back().find("未作螺旋升角修正"), std::string::npos);
  EXPECT_EQ(LimitsOfRecord(d.record).direction, WearDirection::Down);  // a plug shrinks
}

TEST_F(InspectionOfRegisteredGauge, TheRingWithEReadingsAndWithItsCheckPlugs) {
  // GO ring: 8.983 … 8.989, wear limit 9.010; balls 0.9002: d2 = E + 1.4015619.
  InspectionInputs in;
  in.method = InspectionMethod::Balls;
  in.element = 0.9002;
  in.values = {7.585, 7.589};
  in.uncertainty = 1.0;
  const GaugeEntry ring = Entry("R1", "M10×1.5-6g", "通端螺纹环规");
  const auto decided = DecideInspection(ring, in, Db(), kToday, {});
  ASSERT_TRUE(std::holds_alternative<DecidedInspection>(decided));
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  EXPECT_NEAR(d.record.readings[1].pitch_diameter, 8.9905619, 1e-7);
  // 8.9905619 is worn: 19.4381 µm below 9.010, more than U away from every limit.
  EXPECT_EQ(d.record.verdict, "worn");
  EXPECT_NEAR(*d.record.margin_um, 19.438, 1e-9);
  EXPECT_NEAR(*d.record.wear_limit, 9.010, 1e-9);
  EXPECT_NE(d.remarks.front().find("U = 1.0 µm"), std::string::npos);

  // Read back years later, the stored limits judge each reading as they did then.
  const GaugeLimits stored = LimitsOfRecord(d.record);
  EXPECT_EQ(stored.direction, WearDirection::Up);
  EXPECT_EQ(Judge(stored, d.record.readings[1].pitch_diameter, 1.0).code, VerdictCode::Worn);
  EXPECT_EQ(Judge(stored, d.record.readings[0].pitch_diameter, 1.0).code, VerdictCode::New);

  InspectionInputs checks;
  checks.method = InspectionMethod::CheckPlugs;
  checks.checks = {true, true, false};
  const auto by_plugs = DecideInspection(ring, checks, Db(), kToday, {});
  const InspectionRecord& r = std::get<DecidedInspection>(by_plugs).record;
  EXPECT_EQ(r.verdict, "worn");
  ASSERT_EQ(r.checks.size(), 3u);
  EXPECT_EQ(r.checks[0].plug, "校通-通螺纹塞规");
  EXPECT_EQ(r.checks[1].plug, "校通-止螺纹塞规");
  EXPECT_EQ(r.checks[2].plug, "校通-损螺纹塞规");
  EXPECT_FALSE(r.checks[2].passed);
}

TEST_F(InspectionOfRegisteredGauge, BadInputIsRefusedByName) {
  const GaugeEntry plug = Entry("P1", "M10×1.5-6H", "通端螺纹塞规");
  InspectionInputs ok;
  ok.element = 0.866;
  ok.values = {10.345};
  struct Case {
    const char* name;
    InspectionInputs in;
    const char* says;
  };
  std::vector<Case> cases;
  const auto with = [&](const char* name, auto change, const char* says) {
    InspectionInputs in = ok;
    change(in);
    cases.push_back({name, in, says});
  };
  with(
      "future", [](auto& in) { in.date = "2026-12-08"; }, "之后");
  with(
      "no date", [](auto& in) { in.date = "明天"; }, "明天");
  with(
      "negative wire", [](auto& in) { in.element = -0.866; }, "三针直径须为正数");
  with(
      "no wire", [](auto& in) { in.element.reset(); }, "缺少三针直径");
  with(
      "no readings", [](auto& in) { in.values.clear(); }, "缺少 M");
  with(
      "negative M",
      [](auto& in) {
        in.values = {10.345, -1};
      },
      "第 2 个");
  with(
      "balls on a plug", [](auto& in) { in.method = InspectionMethod::Balls; }, "三针");
  with(
      "negative U", [](auto& in) { in.uncertainty = -1; }, "不确定度");
  with(
      "unknown record", [](auto& in) { in.replaces = 7; }, "记录 7");
  // 11.345 gives a pitch diameter 1 mm off the gauge's 9.046: a mistyped reading.
  with(
      "mistyped",
      [](auto& in) {
        in.values = {10.345, 11.345};
      },
      "相差超过 0.2 mm");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto decided = DecideInspection(plug, c.in, Db(), kToday, {});
    ASSERT_TRUE(std::holds_alternative<InspectionRefusal>(decided));
    EXPECT_NE(std::get<InspectionRefusal>(decided).message.find(c.says), std::string::npos)
        << std::get<InspectionRefusal>(decided).message;
  }
  // Confirmed, the far reading is taken and decides: out of tolerance.
  InspectionInputs forced = ok;
  forced.values = {10.345, 11.345};
  forced.force = true;
  const auto decided = DecideInspection(plug, forced, Db(), kToday, {});
  EXPECT_EQ(std::get<DecidedInspection>(decided).verdict.code, VerdictCode::OutOfTolerance);
  GaugeEntry retired = plug;
  retired.state = "报废";
  EXPECT_TRUE(
      std::holds_alternative<InspectionRefusal>(DecideInspection(retired, ok, Db(), kToday, {})));
}

TEST_F(InspectionOfRegisteredGauge, MissingTableRowsLeaveItUndecidedAndSaySo) {
  fixture_.Exec("DELETE FROM 位置要素");
  InspectionInputs in;
  in.method = InspectionMethod::Balls;
  in.element = 0.9;
  in.values = {7.585};
  const auto decided =
      DecideInspection(Entry("R1", "M10×1.5-6g", "通端螺纹环规"), in, Db(), kToday, {});
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  EXPECT_EQ(d.record.verdict, "undecided");
  EXPECT_FALSE(d.record.limit_low.has_value());
  EXPECT_NE(d.remarks.front().find("不能判定"), std::string::npos);
  EXPECT_NE(d.remarks.front().find("位置要素"), std::string::npos) << d.remarks.front();
}

InspectionRecord Dated(long long id, const char* date, double d2) {
  InspectionRecord r;
  r.id = id;
  r.date = date;
  r.kind = "通端螺纹塞规";
  r.readings = {{0, d2 + 0.001}, {0, d2}};  // the smaller decides for a plug
  r.wear_limit = 9.022;
  return r;
}

TEST(VerdictLine, SaysHowFarFromWhichLimit) {
  EXPECT_EQ(VerdictLine("new", "合格（新制范围内）", 0.0), "合格（新制范围内），距最近极限 0.0 µm");
  EXPECT_EQ(VerdictLine("worn", "合格（已磨损，未超磨损极限）", 19.438),
            "合格（已磨损，未超磨损极限），距磨损极限 19.4 µm");
  EXPECT_EQ(VerdictLine("worn_out", "不合格（超出磨损极限）", -0.46),
            "不合格（超出磨损极限），超出 0.5 µm");
  EXPECT_EQ(VerdictLine("undecided", "不能判定", std::nullopt), "不能判定");
  EXPECT_EQ(Millimetres(8.99056189), "8.9906");
}

TEST(GaugeHistory, NextDueAndWearTrendFromTheRecordsThatCount) {
  GaugeEntry plug = Entry("P1", "M10×1.5-6H", "通端螺纹塞规");
  plug.since = "2024-01-15";
  plug.interval_months = 6;
  EXPECT_EQ(DayText(*NextDue(plug, {})), "2024-07-15");
  plug.since.clear();
  EXPECT_FALSE(NextDue(plug, {}).has_value());
  // 2025-01-01 → 2026-01-01 is 365 days, 11.992 mean months; 9.0400 → 9.0376 is then
  // −0.2001 µm a month, and 9.0376 reaches 9.022 after 15.6 µm / 0.2001 = 77.94 months
  // more: about 2032-06.
  std::vector<InspectionRecord> records = {Dated(1, "2025-01-01", 9.0400),
                                           Dated(2, "2026-01-01", 9.0376),
                                           Dated(3, "2026-01-01", 9.0300)};
  records[2].replaces = 2;
  records[1].replaced_by = 3;
  records[1].date = "2026-01-01";
  records[2].readings = {{0, 9.0376}};  // the correction counts, the first reading is gone
  records[1].readings = {{0, 9.0300}};
  const auto trend = TrendOf(records);
  ASSERT_TRUE(trend.has_value());
  EXPECT_EQ(trend->records, 2u);
  EXPECT_NEAR(trend->fit.um_per_month, -2.4 / (365 / 30.436875), 1e-9);
  ASSERT_TRUE(trend->reaches_limit.has_value());
  EXPECT_EQ(static_cast<int>(trend->reaches_limit->year()), 2032);
  EXPECT_EQ(static_cast<unsigned>(trend->reaches_limit->month()), 6u);
  EXPECT_EQ(DayText(*NextDue(plug, records)), "2026-07-01");
  EXPECT_EQ(*LastRecordDay(records), "2026-01-01");
}

// 编号,螺纹标记,量规名称,螺纹长度,检定周期（月）,保管人,库位 — as Excel on Chinese Windows
// saves it, in GBK; "库位" is no column of the register.
const char kGbkLedger[] =
    "\xb1\xe0\xba\xc5,\xc2\xdd\xce\xc6\xb1\xea\xbc\xc7,\xc1\xbf\xb9\xe6\xc3\xfb\xb3\xc6,\xc2\xdd"
    "\xce\xc6\xb3\xa4\xb6\xc8,\xbc\xec\xb6\xa8\xd6\xdc\xc6\xda\xa3\xa8\xd4\xc2\xa3\xa9,\xb1\xa3"
    "\xb9\xdc\xc8\xcb,\xbf\xe2\xce\xbb\r\nTG-1,M10\xa1\xc1"
    "1.5-6g,\xcd\xa8\xb6\xcb\xc2\xdd\xce\xc6\xbb\xb7\xb9\xe6,20,6,\xd5\xc5\xc8\xfd,A3\r\nTG-2,"
    "M10x1.5-6H,\xcd\xa8\xb6\xcb\xc2\xdd\xce\xc6\xc8\xfb\xb9\xe6,,12,\xc0\xee\xcb\xc4,A4\r\n";

TEST(LedgerImport, AGbkFileIsReadAsGbkAndSaysSo) {
  const auto read = ReadLedgerCsv(kGbkLedger, kToday, {});
  ASSERT_TRUE(std::holds_alternative<LedgerImport>(read)) << std::get<std::string>(read);
  const LedgerImport& ledger = std::get<LedgerImport>(read);
  EXPECT_EQ(ledger.encoding, "GBK");
  EXPECT_TRUE(ledger.problems.empty());
  ASSERT_EQ(ledger.good.size(), 2u);
  EXPECT_EQ(ledger.good[0].thread, "M10×1.5-6g");
  EXPECT_EQ(ledger.good[0].kind, "通端螺纹环规");
  EXPECT_EQ(ledger.good[0].length, "大于14至32");
  EXPECT_EQ(ledger.good[0].interval_months, 6);
  EXPECT_EQ(ledger.good[0].keeper, "张三");
  EXPECT_EQ(ledger.good[1].keeper, "李四");
  EXPECT_EQ(ledger.ignored_columns, std::vector<std::string>{"库位"});
}

TEST(LedgerImport, EveryBadRowIsNamedByItsLine) {
  const std::string csv =
      "\xef\xbb\xbf编号,螺纹,量规,启用日期,状态\n"
      "A1,M10-6H,通端螺纹塞规,2025-01-01,在用\n"
      "\n"
      "A2,M10-6H,通端螺纹环规,,\n"
      "A1,M12-6H,止端螺纹塞规,,\n"
      "A3,M12-6H,止端螺纹塞规,2025-02-30,\n"
      "A4,M12-6H,止端螺纹塞规,,丢失\n"
      "B1,M12-6H,止端螺纹塞规,,\n";
  const auto read = ReadLedgerCsv(csv, kToday, {"B1"});
  const LedgerImport& ledger = std::get<LedgerImport>(read);
  EXPECT_EQ(ledger.encoding, "UTF-8（带 BOM）");
  ASSERT_EQ(ledger.good.size(), 1u);
  EXPECT_EQ(ledger.good[0].number, "A1");
  ASSERT_EQ(ledger.problems.size(), 5u);
  const char* starts[] = {"第 4 行", "第 5 行", "第 6 行", "第 7 行", "第 8 行"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ledger.problems[i].rfind(starts[i], 0), 0u) << ledger.problems[i];
  }
  EXPECT_NE(ledger.problems[1].find("重复"), std::string::npos);
  EXPECT_NE(ledger.problems[4].find("已在量规台账中"), std::string::npos);
  EXPECT_TRUE(
      std::holds_alternative<std::string>(ReadLedgerCsv("螺纹,量规\nM10-6H,x\n", kToday, {})));
  EXPECT_TRUE(std::holds_alternative<std::string>(ReadLedgerCsv("\xff\xfe\x00\x41", kToday, {})));
}

TEST(LedgerImport, AnIntervalIsWholeMonths) {
  const std::string csv =
      "编号,螺纹,量规,检定周期\nA,M10-6H,通端螺纹塞规,6个月\nB,M10-6H,通端螺纹塞规,99\n"
      "C,M10-6H,通端螺纹塞规,\nD,M10-6H,通端螺纹塞规,12m\n";
  const LedgerImport ledger = std::get<LedgerImport>(ReadLedgerCsv(csv, kToday, {}));
  ASSERT_EQ(ledger.problems.size(), 2u);
  EXPECT_EQ(ledger.problems[0], "第 2 行：检定周期“6个月”不是月数");
  EXPECT_EQ(ledger.problems[1], "第 5 行：检定周期“12m”不是月数");
  ASSERT_EQ(ledger.good.size(), 2u);
  EXPECT_EQ(ledger.good[0].interval_months, 99);
  EXPECT_EQ(ledger.good[1].interval_months, 12);  // empty: the default
}

TEST(LedgerExport, ReadsBackAsTheSameGauges) {
  GaugeEntry a = Entry("TG,1", "M10×1.5-6g", "止端螺纹环规");
  a.maker = "哈量 \"一厂\"", a.since = "2025-05-05", a.interval_months = 3, a.notes = "两行\n备注";
  a.state = "封存";
  GaugeEntry b = Entry("TG-2", "M8×1.25-6H", "通端螺纹塞规");
  const std::vector<LedgerRow> rows = {{a, "2026-01-01", *ParseDay("2026-04-01"), "合格"},
                                       {b, std::nullopt, std::nullopt, ""}};
  const std::string csv = LedgerCsv(rows);
  EXPECT_EQ(csv.rfind("\xef\xbb\xbf编号,螺纹,量规,螺纹部分长度", 0), 0u);
  const auto read = ReadLedgerCsv(csv, kToday, {});
  const LedgerImport& ledger = std::get<LedgerImport>(read);
  EXPECT_TRUE(ledger.problems.empty());
  ASSERT_EQ(ledger.good.size(), 2u);
  EXPECT_EQ(ledger.good[0], a);
  EXPECT_EQ(ledger.good[1], b);
}

TEST(LedgerDue, InUseGaugesDueWithinTheDaysOrOverdue) {
  LedgerRow row{Entry("R", "M10-6g", "通端螺纹环规"), {}, *ParseDay("2027-12-07"), ""};
  EXPECT_TRUE(DueWithin(row, *ParseDay("2027-11-07"), 30));
  EXPECT_FALSE(DueWithin(row, *ParseDay("2027-11-06"), 30));
  EXPECT_TRUE(DueWithin(row, *ParseDay("2028-06-01"), 0));  // overdue
  row.gauge.state = "封存";
  EXPECT_FALSE(DueWithin(row, *ParseDay("2028-06-01"), 30));
  row.next_due.reset();
  row.gauge.state = "在用";
  EXPECT_FALSE(DueWithin(row, *ParseDay("2028-06-01"), 30));
}

}  // namespace
}  // namespace threadgauge
