// An inspection decided on the registered gauge, and the ledger in and out of CSV.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/utf8.h"
#include "register/inspection.h"
#include "support/gauge_fixture.h"
#include "tolerance/tolerance_database.h"
#include "words/message_words.h"

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
    EXPECT_NE(Say(said).find(b.says), std::string::npos) << Say(said);
  }
}

class InspectionOfRegisteredGauge : public ::testing::Test {
 protected:
  void SetUp() override { testing::FillComplete(fixture_); }
  ToleranceDatabase Db() const { return ToleranceDatabase::Open(fixture_.path()); }
  // Decided as the command line and the record dialog decide: the gauge's limits from the
  // database as it is now, then the readings.
  std::variant<DecidedInspection, InspectionRefusal> Decide(
      const GaugeEntry& gauge, const InspectionInputs& in,
      const std::vector<InspectionRecord>& earlier = {}) const {
    const ToleranceDatabase db = Db();
    return DecideInspection(gauge, in, std::get<GaugeLimits>(LimitsOfGauge(gauge, db)), kToday,
                            earlier);
  }
  testing::FixtureDatabase fixture_;
};

TEST_F(InspectionOfRegisteredGauge, TheCheckPlugWithThreeMReadings) {
  // 校通-通: 9.02575 − 0.032 − 0.008 − 0.011 shows 8.975 ± 0.0045: 8.9705 … 8.9795.
  // Wires 0.8661: d2 = M − 2.5983 + 1.2990381 = M − 1.2992619.
  InspectionInputs in;
  in.element = 0.8661;
  in.values = {10.2750, 10.2756, 10.2744};
  in.inspector = "王工";
  const auto decided = Decide(Entry("C1", "M10×1.5-6g", "校通-通螺纹塞规"), in);
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
  // Deciding reads no file: the database is named when the record is stamped for saving.
  EXPECT_TRUE(d.record.database_hash.empty());
  InspectionRecord stamped = d.record;
  const ToleranceDatabase db = Db();
  Stamp(stamped, StampOf(db));
  EXPECT_EQ(stamped.database_hash.size(), 16u);
  EXPECT_EQ(stamped.database_file, Utf8(fixture_.path()));
  EXPECT_EQ(stamped.program_version, ProgramVersion());
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
  const auto decided = Decide(ring, in);
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
  checks.check_numbers = {"C-11", "", "C-13"};
  const auto by_plugs = Decide(ring, checks);
  const InspectionRecord& r = std::get<DecidedInspection>(by_plugs).record;
  EXPECT_EQ(r.verdict, "worn");
  ASSERT_EQ(r.checks.size(), 3u);
  EXPECT_EQ(r.checks[0].plug, "校通-通螺纹塞规");
  EXPECT_EQ(r.checks[1].plug, "校通-止螺纹塞规");
  EXPECT_EQ(r.checks[2].plug, "校通-损螺纹塞规");
  EXPECT_FALSE(r.checks[2].passed);
  EXPECT_EQ(r.checks[0].gauge_number, "C-11");
  EXPECT_EQ(r.checks[2].gauge_number, "C-13");
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
      "huge M", [](auto& in) { in.values = {1e308}; }, "第 1 个 M 读数须为正数（不大于 1000 mm）");
  with(
      "M of a metre", [](auto& in) { in.values = {1000.5}; }, "不大于 1000 mm");
  with(
      "zero M", [](auto& in) { in.values = {0}; }, "第 1 个 M 读数须为正数");
  with(
      "hot", [](auto& in) { in.temperature = 150; }, "温度须在 −50 至 +100 ℃ 之间");
  with(
      "frozen", [](auto& in) { in.temperature = -60; }, "温度");
  with(
      "just too hot", [](auto& in) { in.temperature = 100.5; }, "温度");
  with(
      "infinite U", [](auto& in) { in.uncertainty = 1.0 / 0.0; }, "不确定度");
  with(
      "k of zero", [](auto& in) { in.coverage_k = 0; }, "包含因子 k");
  with(
      "wire of a metre", [](auto& in) { in.element = 150; }, "三针直径须为正数");
  with(
      "a place no gauge has", [](auto& in) { in.positions = {"头部"}; }, "位置“头部”");
  with(
      "mistyped",
      [](auto& in) {
        in.values = {10.345, 11.345};
      },
      "相差超过 0.2 mm");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto decided = Decide(plug, c.in);
    ASSERT_TRUE(std::holds_alternative<InspectionRefusal>(decided));
    EXPECT_NE(Say(std::get<InspectionRefusal>(decided).message).find(c.says), std::string::npos)
        << Say(std::get<InspectionRefusal>(decided).message);
  }
  // Confirmed, the far reading is taken and decides: out of tolerance.
  InspectionInputs forced = ok;
  forced.values = {10.345, 11.345};
  forced.force = true;
  const auto decided = Decide(plug, forced);
  EXPECT_EQ(std::get<DecidedInspection>(decided).verdict.code, VerdictCode::OutOfTolerance);
  GaugeEntry retired = plug;
  retired.state = "报废";
  EXPECT_TRUE(std::holds_alternative<InspectionRefusal>(Decide(retired, ok)));
  // The range's ends are within it.
  for (double temperature : {-50.0, 100.0}) {
    InspectionInputs in = ok;
    in.temperature = temperature;
    EXPECT_TRUE(std::holds_alternative<DecidedInspection>(Decide(plug, in))) << temperature;
  }
  // Confirming confirms a far reading, never one that is no measurement at all.
  for (double absurd : {std::nan(""), 1.0 / 0.0, -1.0 / 0.0, 1e308, 0.0, -1.0, 1000.5}) {
    InspectionInputs in = ok;
    in.values = {absurd};
    in.force = true;
    const auto refused = Decide(plug, in);
    ASSERT_TRUE(std::holds_alternative<InspectionRefusal>(refused)) << absurd;
    EXPECT_FALSE(std::get<InspectionRefusal>(refused).needs_confirmation);
  }
}

TEST_F(InspectionOfRegisteredGauge, ANewGaugeIsJudgedAgainstItsManufacturingZone) {
  // GO plug: new 9.040 … 9.052, wear limit 9.022. Wires 0.866: d2 = M − 2.598 + 1.2990381;
  // M 10.3290 gives 9.0300381, below the new zone, 8.0 µm above the wear limit.
  InspectionInputs in;
  in.element = 0.866;
  in.values = {10.3290};
  InspectionRecord earlier;
  earlier.id = 1;
  earlier.date = "2026-12-07";
  struct Case {
    const char* name;
    const char* since;
    bool acceptance;
    std::vector<InspectionRecord> earlier;
    VerdictCode code;
    double margin_um;
  };
  const Case cases[] = {
      {"no 启用日期: today's rule", "", false, {}, VerdictCode::Worn, 8.038},
      {"inspected on its 启用日期", "2026-12-07", false, {}, VerdictCode::OutOfTolerance, -9.962},
      {"inspected before it goes in use",
       "2026-12-20",
       false,
       {},
       VerdictCode::OutOfTolerance,
       -9.962},
      {"in use for a week", "2026-11-30", false, {}, VerdictCode::Worn, 8.038},
      {"accepted already", "2026-12-07", false, {earlier}, VerdictCode::Worn, 8.038},
      {"asked for", "2020-01-01", true, {earlier}, VerdictCode::OutOfTolerance, -9.962},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GaugeEntry plug = Entry("P1", "M10×1.5-6H", "通端螺纹塞规");
    plug.since = c.since;
    InspectionInputs asked = in;
    asked.acceptance = c.acceptance;
    const auto decided = Decide(plug, asked, c.earlier);
    const DecidedInspection& d = std::get<DecidedInspection>(decided);
    EXPECT_EQ(d.verdict.code, c.code);
    EXPECT_NEAR(*d.verdict.margin_um, c.margin_um, 1e-9);
    EXPECT_EQ(d.record.acceptance, c.code == VerdictCode::OutOfTolerance);
    if (d.record.acceptance) {
      EXPECT_EQ(d.remarks.front(), "新量规验收：按新制量规的制造公差判定，不计磨损极限");
      EXPECT_EQ(RecordVerdictLine(d.record), "不合格（超出制造公差），超出新制下限 10.0 µm");
      // Read back, the stored record judges its reading as it did.
      EXPECT_EQ(Judge(LimitsOfRecord(d.record), d.record.readings[0].pitch_diameter, {}).code,
                VerdictCode::OutOfTolerance);
    }
  }
}

TEST_F(InspectionOfRegisteredGauge, CheckPlugResultsThatCannotAllBeTrueAreRefused) {
  InspectionInputs in;
  in.method = InspectionMethod::CheckPlugs;
  in.checks = {true, false, true};
  const auto refused = Decide(Entry("R1", "M10×1.5-6g", "通端螺纹环规"), in);
  ASSERT_TRUE(std::holds_alternative<InspectionRefusal>(refused));
  EXPECT_EQ(Say(std::get<InspectionRefusal>(refused).message),
            "校对塞规的结果相互矛盾：较大的 校通-损螺纹塞规 通过，较小的 校通-止螺纹塞规 却不通过，"
            "可能输错了；请核对后重新输入");
}

TEST_F(InspectionOfRegisteredGauge, MissingTableRowsLeaveItUndecidedAndSaySo) {
  fixture_.Exec("DELETE FROM 位置要素");
  InspectionInputs in;
  in.method = InspectionMethod::Balls;
  in.element = 0.9;
  in.values = {7.585};
  const auto decided = Decide(Entry("R1", "M10×1.5-6g", "通端螺纹环规"), in);
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  EXPECT_EQ(d.record.verdict, "undecided");
  EXPECT_FALSE(d.record.limit_low.has_value());
  EXPECT_NE(d.remarks.front().find("不能判定"), std::string::npos);
  EXPECT_NE(d.remarks.front().find("位置要素"), std::string::npos) << d.remarks.front();
}

}  // namespace
}  // namespace threadgauge
