// The register's promises, the same in every store: gauges kept and read back, imports all
// or nothing, records never changed and linked into one chain, corrections, the due list's
// one pass, settings, and a whole copy.
#include <algorithm>

#include "register_stores.h"
#include "words/message_words.h"

namespace threadgauge::testing {

GaugeRegister Opened(std::variant<GaugeRegister, RegisterError> opened) {
  if (auto* error = std::get_if<RegisterError>(&opened)) ADD_FAILURE() << Say(error->message);
  return std::move(std::get<GaugeRegister>(opened));
}

namespace {

GaugeEntry Ring(const std::string& number) {
  GaugeEntry gauge;
  gauge.number = number;
  gauge.thread = "M10×1.5-6g";
  gauge.kind = "通端螺纹环规";
  gauge.length = "大于14至32";
  return gauge;
}

InspectionRecord RecordOf(const std::string& number, const std::string& date, double E = 7.585) {
  InspectionRecord r;
  r.gauge_number = number;
  r.date = date;
  r.method = InspectionMethod::Balls;
  r.element = 0.9;
  r.readings = {{E, E + 1.4015, ""}, {E + 0.004, E + 1.4055, "中间"}};
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

TEST_P(RegisterStores, GaugesAreKeptAndReadBackEachNumberOnce) {
  {
    GaugeRegister gauges = store_->Open();
    EXPECT_FALSE(gauges.read_only());
    GaugeEntry ring = Ring("TG-2024-017");
    ring.maker = "哈量", ring.serial = "A-17", ring.since = "2024-03-01", ring.interval_months = 6;
    ring.department = "三车间", ring.keeper = "张三", ring.notes = "备用";
    ASSERT_FALSE(gauges.Add(ring).has_value());
  }
  GaugeRegister again = store_->Open();
  const auto found = again.Find("TG-2024-017");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->keeper, "张三");
  EXPECT_EQ(found->notes, "备用");
  EXPECT_EQ(found->interval_months, 6);
  EXPECT_EQ(found->state, "在用");
  EXPECT_FALSE(again.Find("TG-2024-018").has_value());
  // A second gauge of the same number is refused by name.
  const auto twice = again.Add(Ring("TG-2024-017"));
  ASSERT_TRUE(twice.has_value());
  EXPECT_EQ(Say(twice->message), "编号 TG-2024-017 已在量规台账中；未写入任何内容");
  // A change is kept; an unknown number is said.
  GaugeEntry changed = *found;
  changed.keeper = "李四";
  ASSERT_FALSE(again.Update(changed).has_value());
  EXPECT_EQ(store_->Open().Find("TG-2024-017")->keeper, "李四");
  EXPECT_TRUE(again.Update(Ring("TG-9")).has_value());
}

TEST_P(RegisterStores, AnImportIsAllOrNothing) {
  GaugeRegister gauges = store_->Open();
  ASSERT_FALSE(gauges.Add(Ring("B")).has_value());
  // The third repeats a number: the first two are not kept either.
  EXPECT_TRUE(gauges.AddAll({Ring("A"), Ring("C"), Ring("B")}).has_value());
  EXPECT_EQ(gauges.Gauges().size(), 1u);
  EXPECT_FALSE(gauges.AddAll({Ring("A"), Ring("C")}).has_value());
  EXPECT_EQ(gauges.Gauges().size(), 3u);
}

TEST_P(RegisterStores, RecordsAreNeverChangedAndACorrectionReplacesOne) {
  GaugeRegister gauges = store_->Open();
  ASSERT_FALSE(gauges.Add(Ring("R1")).has_value());
  const auto first = gauges.AddRecord(RecordOf("R1", "2025-12-01"));
  ASSERT_TRUE(std::holds_alternative<long long>(first));
  EXPECT_EQ(std::get<long long>(first), 1);
  InspectionRecord correction = RecordOf("R1", "2025-12-01");
  correction.replaces = std::get<long long>(first);
  correction.notes = "第 2 个读数抄错";
  correction.checks = {{"校通-通", true, "JT-1"}, {"校止-通", false, ""}};
  const auto second = gauges.AddRecord(correction);
  ASSERT_TRUE(std::holds_alternative<long long>(second));
  EXPECT_EQ(std::get<long long>(second), 2);

  const auto records = store_->Open().RecordsOf("R1");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].replaced_by, std::get<long long>(second));
  EXPECT_EQ(records[1].replaces, std::get<long long>(first));
  ASSERT_EQ(records[1].readings.size(), 2u);
  // Every number comes back to the last bit.
  EXPECT_EQ(records[1].readings[1].pitch_diameter, 7.585 + 1.4055);
  EXPECT_EQ(records[1].readings[1].position, "中间");
  EXPECT_EQ(records[1].element, 0.9);
  EXPECT_EQ(records[1].margin_um, 19.4);
  EXPECT_FALSE(records[1].major.has_value());
  EXPECT_EQ(records[1].database_hash, "0123456789abcdef");
  ASSERT_EQ(records[1].checks.size(), 2u);
  EXPECT_EQ(records[1].checks[0].plug, "校通-通");
  EXPECT_EQ(records[1].checks[0].gauge_number, "JT-1");
  EXPECT_FALSE(records[1].checks[1].passed);
  const auto counting = CountingRecords(records);
  ASSERT_EQ(counting.size(), 1u);
  EXPECT_EQ(counting[0].id, std::get<long long>(second));
  EXPECT_EQ(gauges.Record(2)->notes, "第 2 个读数抄错");
  EXPECT_FALSE(gauges.Record(3).has_value());

  // Nobody can change or delete a record, nor delete a gauge with records.
  EXPECT_FALSE(store_->Kept("UPDATE records SET verdict = 'new'"));
  EXPECT_FALSE(store_->Kept("DELETE FROM readings"));
  EXPECT_FALSE(store_->Kept("DELETE FROM gauges WHERE number = 'R1'"));
  EXPECT_EQ(gauges.RecordsOf("R1")[0].verdict, "worn");
  // A record of an unknown gauge, or replacing no record, writes nothing.
  const auto unknown = gauges.AddRecord(RecordOf("X", "2025-01-01"));
  ASSERT_TRUE(std::holds_alternative<RegisterError>(unknown));
  EXPECT_NE(Say(std::get<RegisterError>(unknown).message).find("X"), std::string::npos);
  InspectionRecord orphan = RecordOf("R1", "2025-12-02");
  orphan.replaces = 999;
  EXPECT_TRUE(std::holds_alternative<RegisterError>(gauges.AddRecord(orphan)));
  EXPECT_EQ(gauges.RecordCount(), 2);
  // Retired, it keeps its records.
  ASSERT_FALSE(gauges.SetState("R1", "报废").has_value());
  EXPECT_EQ(gauges.Find("R1")->state, "报废");
  EXPECT_EQ(gauges.RecordsOf("R1").size(), 2u);
}

TEST_P(RegisterStores, EveryRecordIsLinkedToTheOneBeforeAndAForgedReadingIsNamed) {
  GaugeRegister gauges = store_->Open();
  for (int i = 1; i <= 5; ++i) {
    const std::string number = "TG-" + std::to_string(i);
    ASSERT_FALSE(gauges.Add(Ring(number)).has_value());
    ASSERT_TRUE(std::holds_alternative<long long>(
        gauges.AddRecord(RecordOf(number, "2026-01-0" + std::to_string(i), 7.58 + i / 1000.0))));
  }
  // Two records in one go are linked one to the other.
  ASSERT_TRUE(std::holds_alternative<std::vector<long long>>(
      gauges.AddRecords({RecordOf("TG-1", "2026-02-01"), RecordOf("TG-2", "2026-02-01")})));
  EXPECT_TRUE(gauges.BrokenLinks(std::nullopt).empty());
  EXPECT_TRUE(gauges.MissingTriggers().empty());
  EXPECT_TRUE(gauges.IntegrityFaults().empty());
  EXPECT_EQ(gauges.Record(3)->hash.size(), 64u);
  EXPECT_NE(gauges.Record(3)->hash, gauges.Record(4)->hash);

  ASSERT_TRUE(
      store_->Kept(store_->WithoutGuards("UPDATE readings SET value = 7.599 "
                                         "WHERE record_id = 4 AND seq = 1")));
  const auto broken = store_->Open().BrokenLinks(std::nullopt);
  ASSERT_EQ(broken.size(), 1u);
  EXPECT_EQ(broken[0].record, 4);
  EXPECT_EQ(broken[0].gauge_number, "TG-4");
  EXPECT_EQ(gauges.BrokenLinks("TG-4").size(), 1u);
  EXPECT_TRUE(gauges.BrokenLinks("TG-3").empty());
}

TEST_P(RegisterStores, TheDueListReadsEveryGaugeInNumberOrderWithItsRecords) {
  GaugeRegister gauges = store_->Open();
  // Byte order, whatever the store's language: digits, then capitals, then Chinese.
  for (const char* number : {"量-1", "TG-2", "TG-10", "A"}) {
    ASSERT_FALSE(gauges.Add(Ring(number)).has_value());
  }
  ASSERT_TRUE(std::holds_alternative<long long>(gauges.AddRecord(RecordOf("TG-2", "2026-03-01"))));
  InspectionRecord plug = RecordOf("TG-2", "2026-04-01", 7.6);
  plug.kind = "通端螺纹塞规";
  ASSERT_TRUE(std::holds_alternative<long long>(gauges.AddRecord(plug)));
  std::vector<std::string> order;
  std::vector<RecordFacts> of_tg2;
  gauges.ForEachGauge([&](GaugeEntry& g, const std::vector<RecordFacts>& facts) {
    order.push_back(g.number);
    if (g.number == "TG-2")
      of_tg2 = facts;
    else
      EXPECT_TRUE(facts.empty()) << g.number;
  });
  EXPECT_EQ(order, (std::vector<std::string>{"A", "TG-10", "TG-2", "量-1"}));
  ASSERT_EQ(of_tg2.size(), 2u);
  std::sort(of_tg2.begin(), of_tg2.end(), [](auto& a, auto& b) { return a.id < b.id; });
  // A ring wears towards its largest pitch diameter, a plug towards its smallest.
  EXPECT_TRUE(of_tg2[0].ring);
  EXPECT_EQ(of_tg2[0].wear_side, 7.585 + 1.4055);
  EXPECT_FALSE(of_tg2[1].ring);
  EXPECT_EQ(of_tg2[1].wear_side, 7.6 + 1.4015);
  EXPECT_EQ(of_tg2[1].date, "2026-04-01");
  EXPECT_EQ(of_tg2[1].verdict, "worn");
  EXPECT_EQ(of_tg2[1].wear_limit, 9.010);
}

TEST_P(RegisterStores, SettingsAreKept) {
  GaugeRegister gauges = store_->Open();
  EXPECT_EQ(gauges.Setting("organisation"), "");
  ASSERT_FALSE(gauges.SetSetting("organisation", "一车间").has_value());
  ASSERT_FALSE(gauges.SetSetting("organisation", "二车间").has_value());
  EXPECT_EQ(store_->Open().Setting("organisation"), "二车间");
}

TEST_P(RegisterStores, ACopyIsWholeLinkedAsBeforeAndOnlyIntoAnEmptyRegister) {
  GaugeRegister gauges = store_->Open();
  ASSERT_FALSE(gauges.AddAll({Ring("TG-1"), Ring("TG-2")}).has_value());
  ASSERT_FALSE(gauges.SetState("TG-2", "封存").has_value());
  ASSERT_FALSE(gauges.SetSetting("organisation", "一车间").has_value());
  InspectionRecord checked = RecordOf("TG-1", "2026-05-01");
  checked.checks = {{"校止-通", true, "JZ-3"}};
  ASSERT_TRUE(std::holds_alternative<std::vector<long long>>(
      gauges.AddRecords({RecordOf("TG-2", "2026-04-01"), checked})));
  GaugeRegister copy = store_->OpenAnother();
  ASSERT_FALSE(CopyRegister(gauges.store(), copy.store()).has_value());
  EXPECT_EQ(copy.Gauges(), gauges.Gauges());
  EXPECT_EQ(copy.Find("TG-2")->state, "封存");
  EXPECT_EQ(copy.Setting("organisation"), "一车间");
  const auto before = gauges.RecordsOf("TG-1"), after = copy.RecordsOf("TG-1");
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].id, before[0].id);
  EXPECT_EQ(after[0].hash, before[0].hash);
  EXPECT_EQ(after[0].created, before[0].created);
  EXPECT_EQ(after[0].readings, before[0].readings);
  EXPECT_EQ(after[0].checks, before[0].checks);
  EXPECT_TRUE(copy.BrokenLinks(std::nullopt).empty());
  // The next record of the copy follows on from the copied chain.
  ASSERT_EQ(std::get<long long>(copy.AddRecord(RecordOf("TG-1", "2026-06-01"))), 3);
  EXPECT_TRUE(copy.BrokenLinks(std::nullopt).empty());
  // Into a register that holds a gauge: refused, nothing added.
  const auto refused = CopyRegister(gauges.store(), copy.store());
  ASSERT_TRUE(refused.has_value());
  EXPECT_NE(Say(refused->message).find("目标量规台账不是空的"), std::string::npos);
  EXPECT_EQ(copy.RecordCount(), 3);
}

}  // namespace
}  // namespace threadgauge::testing
