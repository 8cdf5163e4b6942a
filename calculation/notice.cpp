#include "calculation/notice.h"

#include <algorithm>
#include <array>

#include "tolerance/number_text.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

// Typed text shown in a notice is cut after 40 characters: the point is which input, not
// all of a pasted page.
constexpr size_t kShownCharacters = 40;

std::string Quoted(const std::string& text) {
  return "“" + Shortened(text, kShownCharacters) + "”";
}

// The tables users supply from their own copy of the gauge standard.
constexpr std::array<const char*, 5> kUserGaugeTables = {"位置要素", "半角公差", "螺距公差",
                                                         "圆柱螺纹塞规", "测球直径"};

bool IsUserGaugeTable(const std::string& table) {
  return std::find(kUserGaugeTables.begin(), kUserGaugeTables.end(), table) !=
         kUserGaugeTables.end();
}

// The gauge tables are the user's to supply; say where.
std::string GaugeTableHint(const std::string& table) {
  return table == "位置要素" ? "（量规公差表须由用户填写：菜单“公差表”→“编辑公差表…”）" : "";
}

std::string Describe(const LookupFailure& f) {
  const std::string table = "表" + Quoted(f.table);
  switch (f.kind) {
    case LookupFailureKind::DatabaseUnavailable:
      return DescribeOpenStatus(f.open_status) + "：" + f.key;
    case LookupFailureKind::TableMissing:
      return "公差数据库中没有" + table + GaugeTableHint(f.table);
    case LookupFailureKind::ColumnMissing:
      return table + "中没有列" + Quoted(f.column);
    case LookupFailureKind::NoRow:
      // The length list left empty is the user's choice, not a fault of the table.
      if (f.table == "螺距公差" && f.key == "“”") return "未选择螺纹部分长度，查不到螺距公差";
      return table + "中没有 " + Shortened(f.key, kShownCharacters) + " 的行" +
             GaugeTableHint(f.table);
    case LookupFailureKind::NoRangeHolds:
      return table + "中没有范围包含 " + f.key + " 的行" + GaugeTableHint(f.table);
    case LookupFailureKind::RangesOutOfOrder:
      return table + (f.key.empty() ? "" : "中 " + f.key + " ") +
             "的行没有按范围升序存放，范围交界处的值可能查到错误的行；请用“检查公差表”检查";
    case LookupFailureKind::EmptyCell:
      return table + "中 " + f.key + " 的" + Quoted(f.column) + "为空";
    case LookupFailureKind::NotANumber:
      return table + "中 " + f.key + " 的" + Quoted(f.column) + "不是数值：" + Quoted(f.cell_text);
    case LookupFailureKind::BoundReadAsNumber:
      return table + f.key + "的" + Quoted(f.column) + Quoted(f.cell_text) + "不是数值，按 " +
             PlainDecimal(f.read_as) + " 读取";
    case LookupFailureKind::EngineError:
      break;
  }
  if (f.engine_fault == EngineFault::Damaged) {
    return "公差数据库文件已损坏，读取" + table + "时出错";
  }
  if (f.engine_fault == EngineFault::Locked) {
    return "公差数据库文件正被其他程序锁定，读取" + table + "时出错，请稍后再按确定";
  }
  return "读取" + table + "时出错（数据库引擎错误码 " + std::to_string(f.engine_code) + "）";
}

std::string Describe(const WrongThreadKind& n) {
  const std::string gauge = Shortened(n.gauge, kShownCharacters);
  const std::string column = Shortened(n.column, kShownCharacters);
  if (n.column.rfind("EI(", 0) == 0) {
    return gauge + "检验内螺纹，公差带" + Quoted(n.position) + "是外螺纹的公差带，查不到基本偏差 " +
           column + "；内螺纹的公差带为 G 或 H";
  }
  return gauge + "用于外螺纹，公差带" + Quoted(n.position) + "是内螺纹的公差带，查不到基本偏差 " +
         column + "；外螺纹的公差带为 e、f、g 或 h";
}

std::string Describe(const ResultTooLarge& n) {
  return FieldCaption(n.field) + "的计算结果太大，无法显示";
}

std::string Describe(const UnknownGauge& n) {
  return "量规名称" + Quoted(n.name) + "不是所列的十种量规之一，未计算量规尺寸";
}

}  // namespace

std::string DescribeNotice(const Notice& notice) {
  return std::visit([](const auto& n) { return Describe(n); }, notice);
}

std::string GaugeTableToFill(const Notice& notice) {
  const auto* failure = std::get_if<LookupFailure>(&notice);
  if (failure == nullptr || !IsUserGaugeTable(failure->table)) return {};
  switch (failure->kind) {
    case LookupFailureKind::DatabaseUnavailable:
    case LookupFailureKind::EngineError:
      return {};
    default:
      return failure->table;
  }
}

void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from) {
  for (const Notice& notice : from) {
    if (std::find(to.begin(), to.end(), notice) == to.end()) to.push_back(notice);
  }
}

}  // namespace threadgauge
