// The database check: one crafted database per kind of fault it reports, a complete one,
// and the shipped one.
#include "tables/database_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "calculation/form_lists.h"
#include "support/fixture_database.h"
#include "tables/database_files.h"
#include "tolerance/schema.h"

namespace threadgauge {
namespace {

using Row = std::vector<std::optional<std::string>>;

CheckKeys Keys() {
  return {{kPitches.begin(), kPitches.end()}, {kLengthRanges.begin(), kLengthRanges.end()}};
}

TableData Table(const std::string& name, std::vector<Row> rows) {
  for (const SchemaTable& schema : ProductSchema()) {
    if (schema.name == name) return {name, schema.columns, schema.numeric, std::move(rows)};
  }
  ADD_FAILURE() << name;
  return {};
}

// Every table filled so that nothing is missing (the values are made up for the check).
std::vector<TableData> Complete() {
  std::vector<Row> lengths, half_angles, deviations, wires, balls;
  for (const char* range : kLengthRanges) lengths.push_back({range, "0.004"});
  for (const char* P : kPitches) {
    half_angles.push_back({P, "10", "15"});
    deviations.push_back({P, "30", "0", "-60", "-40", "-30", "0"});
    wires.push_back({P, "0.5"});
    balls.push_back({P, "0.5"});
  }
  const std::vector<Row> pitch_diameter = {
      {"5.6", "11.2", "1.5", "100", "125", "160", "200", "250", std::nullopt},
      {"11.2", "22.4", "1.5", "112", "140", "180", "224", "280", std::nullopt}};
  return {Table("螺距公差", lengths), Table("半角公差", half_angles), Table("基本偏差", deviations),
          Table("内螺纹中径公差", pitch_diameter), Table("外螺纹中径公差", pitch_diameter),
          // Starts at the smallest TD2 (100), which a bound counts as covered.
          Table("位置要素", {{"100", "150", "8", "10", "9", "6", "5", "7", "12", "11"},
                             {"150", "400", "10", "12", "11", "8", "6", "9", "14", "13"}}),
          Table("圆柱螺纹塞规", wires), Table("测球直径", balls)};
}

TableData& Named(std::vector<TableData>& tables, const std::string& name) {
  return *std::find_if(tables.begin(), tables.end(),
                       [&](const TableData& t) { return t.name == name; });
}

bool Says(const CheckReport& report, const std::string& words) {
  return std::any_of(report.lines.begin(), report.lines.end(), [&](const std::string& line) {
    return line.find(words) != std::string::npos;
  });
}

TEST(DatabaseCheck, CompleteDatabasePasses) {
  const CheckReport report = CheckDatabase(Complete(), Keys());
  for (const auto& line : report.lines) EXPECT_EQ(line.rfind("✗", 0), std::string::npos) << line;
  EXPECT_TRUE(report.complete);
  EXPECT_TRUE(Says(report, "✓ 表“位置要素”：2 行"));
  // Internal threads have no grade 9: empty, and that is the standard, not a fault.
  EXPECT_TRUE(Says(report, "表“内螺纹中径公差”列“9”有 2 个空单元格（标准在此无值时属正常）"));
}

struct Fault {
  const char* name;
  std::function<void(std::vector<TableData>&)> damage;
  const char* reported;
};

TEST(DatabaseCheck, EachKindOfFaultIsReported) {
  const Fault faults[] = {
      {"missing table", [](auto& t) { t.erase(t.begin() + 1); }, "✗ 缺少表“半角公差”"},
      {"missing column",
       [](auto& t) {
         auto& gauge = Named(t, "位置要素");
         gauge.columns[4] = "Z R";
       },
       "✗ 表“位置要素”缺少列 “ZR”"},
      {"range column missing", [](auto& t) { Named(t, "外螺纹中径公差").columns[1] = "D 上限"; },
       "✗ 表“外螺纹中径公差”缺少列 “D上限”"},
      {"empty table", [](auto& t) { Named(t, "半角公差").rows.clear(); }, "✗ 表“半角公差”：0 行"},
      {"not ascending",
       [](auto& t) {
         std::swap(Named(t, "外螺纹中径公差").rows[0], Named(t, "外螺纹中径公差").rows[1]);
       },
       "✗ 表“外螺纹中径公差”中 P = 1.5 的行不是升序"},
      {"gap", [](auto& t) { Named(t, "内螺纹中径公差").rows[1][0] = "12"; },
       "✗ 表“内螺纹中径公差”中 P = 1.5 的行有间隙：11.2 至 12 之间没有行"},
      {"overlap", [](auto& t) { Named(t, "位置要素").rows[1][0] = "120"; },
       "✗ 表“位置要素”有重叠：第 2 行从 120 起，上一行到 150 止"},
      {"tolerance without gauge row",
       [](auto& t) { Named(t, "外螺纹中径公差").rows[1][7] = "450"; },
       "不在“位置要素”任何一行的范围内，查不到量规公差：450"},
      {"pitch without row",
       [](auto& t) { Named(t, "半角公差").rows.erase(Named(t, "半角公差").rows.begin()); },
       "✗ 表“半角公差”没有以下螺距的行：0.45"},
      {"text in a number", [](auto& t) { Named(t, "基本偏差").rows[3][5] = "-22µm"; },
       "✗ 表“基本偏差”列“es(g)”中有不是数值的单元格：第 4 行 “-22µm”"},
      {"empty gauge tolerance", [](auto& t) { Named(t, "位置要素").rows[0][6] = std::nullopt; },
       "✗ 表“位置要素”列“TCP”有 1 个空单元格"},
      {"pitch left empty", [](auto& t) { Named(t, "内螺纹中径公差").rows[0][2] = std::nullopt; },
       "✗ 表“内螺纹中径公差”列“P”有 1 个空单元格"},
      {"length range missing", [](auto& t) { Named(t, "螺距公差").rows.pop_back(); },
       "✗ 表“螺距公差”没有以下螺纹部分长度的行：“大于50至80”"},
  };
  for (const Fault& fault : faults) {
    std::vector<TableData> tables = Complete();
    fault.damage(tables);
    const CheckReport report = CheckDatabase(tables, Keys());
    EXPECT_FALSE(report.complete) << fault.name;
    EXPECT_TRUE(Says(report, fault.reported)) << fault.name;
  }
}

// The wires and balls are optional: without a row the best size is used, and every
// calculation is complete.
TEST(DatabaseCheck, EmptyWireAndBallTablesAreOptional) {
  std::vector<TableData> tables = Complete();
  Named(tables, "测球直径").rows.clear();
  Named(tables, "圆柱螺纹塞规").rows.erase(Named(tables, "圆柱螺纹塞规").rows.begin());
  const CheckReport report = CheckDatabase(tables, Keys());
  EXPECT_TRUE(report.complete);
  EXPECT_TRUE(Says(report, "  表“测球直径”：0 行，可选（空时用最佳直径）"));
  EXPECT_TRUE(Says(report, "  表“圆柱螺纹塞规”没有以下螺距的行：0.45，可选（空时用最佳直径）"));
}

// "above — up to 50": an open lower bound is 0, noted, not a cell that is not a number.
TEST(DatabaseCheck, OpenBoundsAreNotedNotFaulted) {
  std::vector<TableData> tables = Complete();
  Named(tables, "位置要素").rows[0][0] = "—";
  Named(tables, "外螺纹中径公差").rows[0][0] = "—";
  const CheckReport report = CheckDatabase(tables, Keys());
  EXPECT_TRUE(report.complete);
  EXPECT_TRUE(
      Says(report, "表“外螺纹中径公差”列“D下限”有 1 个空单元格（范围的界限为空时按 0 读取）"));
  EXPECT_TRUE(
      Says(report, "表“位置要素”列“TD2/Td2下限”有 1 个空单元格（范围的界限为空时按 0 读取）"));
  EXPECT_TRUE(report.marks.empty());
}

// A range that holds one value only (lower = upper) is a range, not an error.
TEST(DatabaseCheck, ARangeOfOneValueIsNoFault) {
  std::vector<TableData> tables = Complete();
  auto& gauge = Named(tables, "位置要素");
  gauge.rows.insert(gauge.rows.begin(), {"100", "100", "8", "10", "9", "6", "5", "7", "12", "11"});
  gauge.rows[1][0] = "100";
  const CheckReport report = CheckDatabase(tables, Keys());
  EXPECT_FALSE(Says(report, "下限大于上限"));
  gauge.rows[0][0] = "101";
  EXPECT_TRUE(Says(CheckDatabase(tables, Keys()), "✗ 表“位置要素”：第 1 行的下限大于上限"));
}

TEST(DatabaseCheck, ShippedDatabaseLacksTheGaugeTables) {
  const auto read = ReadTablesFrom(testing::ShippedDatabase());
  const CheckReport report = CheckDatabase(std::get<TableSource>(read).tables, Keys());
  EXPECT_FALSE(report.complete);
  EXPECT_TRUE(Says(report, "✓ 表“基本偏差”：25 行"));
  EXPECT_TRUE(Says(report, "✓ 表“内螺纹中径公差”：47 行"));
  EXPECT_TRUE(Says(report, "✓ 表“外螺纹中径公差”：47 行"));
  EXPECT_TRUE(Says(report, "✗ 表“位置要素”：0 行"));
  EXPECT_TRUE(Says(report, "✓ 表“基本偏差”有螺距列表中每个螺距的行"));
  EXPECT_TRUE(
      Says(report, "查不到量规公差：30、32、34、36、38、40、42、45、48、50 等（共 57 个）"));
  EXPECT_FALSE(Says(report, "升序"));
  EXPECT_FALSE(Says(report, "间隙"));
  EXPECT_FALSE(Says(report, "重叠"));
}

}  // namespace
}  // namespace threadgauge
