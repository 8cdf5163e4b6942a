// A keeper's inspection history from a spreadsheet: each row decided as an inspection is
// decided now, every bad row named by the line it starts on.
#include "register/record_import.h"

#include <gtest/gtest.h>

#include "support/fixture_database.h"
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

class RecordImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FillComplete(tables_);
    auto opened = GaugeRegister::Open(folder_.path() / u8"量规台账.db");
    register_.emplace(std::move(std::get<GaugeRegister>(opened)));
    ASSERT_FALSE(register_->Add(Entry("P1", "M10×1.5-6H", "通端螺纹塞规")).has_value());
    ASSERT_FALSE(register_->Add(Entry("R1", "M10×1.5-6g", "通端螺纹环规")).has_value());
  }
  std::variant<RecordImport, Message> Read(std::string_view csv) {
    const ToleranceDatabase db = ToleranceDatabase::Open(tables_.path());
    LimitsCache limits(db);
    return ReadRecordsCsv(csv, *register_, limits, kToday);
  }
  testing::FixtureDatabase tables_;
  testing::TemporaryFolder folder_;
  std::optional<GaugeRegister> register_;
};

TEST_F(RecordImportTest, EachRowIsDecidedAndEveryBadRowNamedByItsFirstLine) {
  const std::string csv =
      "编号,检定日期,检定员,方法,测针或钢球直径,读数,不确定度,证书号,备注\n"
      // GO plug 9.040 … 9.052: d2 = M − 1.2989619; 10.345 and 10.346 give 9.0460, 9.0470.
      "P1,2025-06-01,王工,三针,0.866,10.345 10.346,,Z-1,\n"
      // GO ring 8.983 … 8.989, wear limit 9.010: d2 = E + 1.4015619; 7.589 gives 8.9906.
      "R1,2025-06-02,李工,钢球,0.9002,7.585；7.589,1.0,,\"换过\n测头\"\n"
      "X9,2025-06-03,李工,三针,0.866,10.345,,,\n"
      "P1,2025-07-01,王工,三针,0.866,10.3a45,,,\n"
      "R1,2025-08-01,李工,校对塞规,,通过 不通过 -,,,\n"
      "P1,2025-09-01,王工,,0.866,11.345,,,\n"
      "R1,2025-10-01,李工,校对塞规,,通过 不通过 通过,,,\n";
  const auto read = Read(csv);
  ASSERT_TRUE(std::holds_alternative<RecordImport>(read)) << Say(std::get<Message>(read));
  const RecordImport& history = std::get<RecordImport>(read);
  EXPECT_EQ(history.encoding, "UTF-8");
  ASSERT_EQ(history.problems.size(), 4u);
  EXPECT_EQ(Say(history.problems[0]), "第 5 行：编号 X9 不在量规台账中");
  EXPECT_EQ(Say(history.problems[1]), "第 6 行：读数“10.3a45”不是数");
  EXPECT_EQ(Say(history.problems[2]).rfind("第 8 行：第 1 个读数 M = 11.345", 0), 0u)
      << Say(history.problems[2]);
  EXPECT_EQ(Say(history.problems[3]).rfind("第 9 行：校对塞规的结果相互矛盾", 0), 0u);
  ASSERT_EQ(history.good.size(), 3u);
  // By gauge and date.
  const InspectionRecord& plug = history.good[0];
  EXPECT_EQ(plug.gauge_number, "P1");
  EXPECT_EQ(plug.verdict, "new");
  EXPECT_NEAR(plug.readings[1].pitch_diameter, 9.0470381, 1e-7);
  EXPECT_EQ(plug.element_certificate, "Z-1");
  EXPECT_TRUE(plug.imported);
  const InspectionRecord& ring = history.good[1];
  EXPECT_EQ(ring.verdict, "worn");
  EXPECT_NEAR(*ring.margin_um, 19.438, 1e-9);
  EXPECT_EQ(ring.uncertainty, 1.0);
  EXPECT_EQ(ring.notes, "换过\n测头");
  EXPECT_EQ(history.good[2].method, InspectionMethod::CheckPlugs);
  EXPECT_EQ(history.good[2].verdict, "new");
  EXPECT_EQ(history.good[2].checks.size(), 2u);
}

TEST_F(RecordImportTest, AGbkHistoryIsReadAndAFileWithoutItsColumnsIsRefused) {
  // 编号,检定日期,读数 / P1,2025-06-01,10.345 in GBK, as Excel on Chinese Windows saves it;
  // the method follows from the gauge, the wires' diameter is missing.
  const std::string gbk =
      "\xb1\xe0\xba\xc5,\xbc\xec\xb6\xa8\xc8\xd5\xc6\xda,\xb6\xc1\xca\xfd\r\nP1,2025-06-01,10."
      "345\r\n";
  const RecordImport history = std::get<RecordImport>(Read(gbk));
  EXPECT_EQ(history.encoding, "GBK");
  ASSERT_EQ(history.problems.size(), 1u);
  EXPECT_EQ(Say(history.problems[0]), "第 2 行：缺少三针直径");
  EXPECT_EQ(Say(std::get<Message>(Read("编号,检定员\nP1,王工\n"))),
            "第 1 行缺少“检定日期”列（第 1 "
            "行须为列标题：编号、检定日期、检定员、方法、测针或钢球直径、读数 …）");
  EXPECT_TRUE(std::holds_alternative<Message>(Read("\xff\xfe\x00\x41")));
}

}  // namespace
}  // namespace threadgauge
