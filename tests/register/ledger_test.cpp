// The ledger in and out of CSV.
#include "register/ledger.h"

#include <gtest/gtest.h>

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
  ASSERT_TRUE(std::holds_alternative<LedgerImport>(read)) << Say(std::get<Message>(read));
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
    EXPECT_EQ(Say(ledger.problems[i]).rfind(starts[i], 0), 0u) << Say(ledger.problems[i]);
  }
  EXPECT_NE(Say(ledger.problems[1]).find("重复"), std::string::npos);
  EXPECT_NE(Say(ledger.problems[4]).find("已在量规台账中"), std::string::npos);
  EXPECT_TRUE(std::holds_alternative<Message>(ReadLedgerCsv("螺纹,量规\nM10-6H,x\n", kToday, {})));
  EXPECT_TRUE(std::holds_alternative<Message>(ReadLedgerCsv("\xff\xfe\x00\x41", kToday, {})));
}

TEST(LedgerImport, AnIntervalIsWholeMonths) {
  const std::string csv =
      "编号,螺纹,量规,检定周期\nA,M10-6H,通端螺纹塞规,6个月\nB,M10-6H,通端螺纹塞规,99\n"
      "C,M10-6H,通端螺纹塞规,\nD,M10-6H,通端螺纹塞规,12m\n";
  const LedgerImport ledger = std::get<LedgerImport>(ReadLedgerCsv(csv, kToday, {}));
  ASSERT_EQ(ledger.problems.size(), 2u);
  EXPECT_EQ(Say(ledger.problems[0]), "第 2 行：检定周期“6个月”不是月数");
  EXPECT_EQ(Say(ledger.problems[1]), "第 5 行：检定周期“12m”不是月数");
  ASSERT_EQ(ledger.good.size(), 2u);
  EXPECT_EQ(ledger.good[0].interval_months, 99);
  EXPECT_EQ(ledger.good[1].interval_months, 12);  // empty: the default
}

TEST(LedgerExport, ReadsBackAsTheSameGauges) {
  GaugeEntry a = Entry("TG,1", "M10×1.5-6g", "止端螺纹环规");
  a.maker = "哈量 \"一厂\"", a.since = "2025-05-05", a.interval_months = 3, a.notes = "两行\n备注";
  a.state = "封存";
  GaugeEntry b = Entry("TG-2", "M8×1.25-6H", "通端螺纹塞规");
  GaugeDue due;
  due.day = *ParseDay("2026-04-01");
  const std::vector<LedgerRow> rows = {{a, "2026-01-01", due, "合格"},
                                       {b, std::nullopt, GaugeDue{}, ""}};
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
  GaugeDue due;
  due.day = *ParseDay("2027-12-07");
  LedgerRow row{Entry("R", "M10-6g", "通端螺纹环规"), {}, due, ""};
  EXPECT_TRUE(DueWithin(row, *ParseDay("2027-11-07"), 30));
  EXPECT_FALSE(DueWithin(row, *ParseDay("2027-11-06"), 30));
  EXPECT_TRUE(DueWithin(row, *ParseDay("2028-06-01"), 0));  // overdue
  row.gauge.state = "封存";
  EXPECT_FALSE(DueWithin(row, *ParseDay("2028-06-01"), 30));
}

TEST(LedgerImport, ALineBreakInAQuotedFieldCountsAsALine) {
  const std::string csv =
      "编号,螺纹,量规,备注\n"
      "A1,M10-6H,通端螺纹塞规,\"两行\n备注\"\n"
      "A2,M10-6H,通端螺纹塞规,\"三行\r\n的\r\n备注\"\n"
      "A3,M10-6H,通端塞规,\n";
  const LedgerImport ledger = std::get<LedgerImport>(ReadLedgerCsv(csv, kToday, {}));
  ASSERT_EQ(ledger.problems.size(), 1u);
  // Lines 1, 2–3, 4–6: the bad row starts on line 7.
  EXPECT_EQ(Say(ledger.problems[0]).rfind("第 7 行：", 0), 0u) << Say(ledger.problems[0]);
  EXPECT_EQ(ledger.good.size(), 2u);
}

}  // namespace
}  // namespace threadgauge
