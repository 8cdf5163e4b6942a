#include "words/calculation_words.h"

#include <algorithm>

#include "calculation/gauge_kind.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "tolerance/table_names.h"
#include "words/file_words.h"

namespace threadgauge {
namespace {

// Typed text shown in a notice is cut after 40 characters: the point is which input, not
// all of a pasted page.
constexpr size_t kShownCharacters = 40;

std::string Quoted(const std::string& text) {
  return "“" + Shortened(text, kShownCharacters) + "”";
}

// The gauge tables are the user's to supply; say where.
std::string GaugeTableHint(const std::string& table) {
  return table == names::kGaugeTable ? "（量规公差表须由用户填写：菜单“公差表”→“编辑公差表…”）"
                                     : "";
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
  if (n.internal_gauge) {
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
  std::string names;
  for (const GaugeKind* kind : GaugeKinds())
    names += (names.empty() ? "" : "、") + std::string(kind->name);
  return "量规名称" + Quoted(n.name) + "不是所列的十种量规之一，未计算量规尺寸（十种量规：" +
         names + "）";
}

// The length list left empty is the user's choice, not a fault of the table.
std::string Describe(const NoLengthChosen&) { return "未选择螺纹部分长度，查不到螺距公差"; }

std::string Describe(const NumberReadAs& n) {
  const std::string what = n.input == NumberInput::Diameter ? "公称直径" : "螺距";
  const std::string head = what + Quoted(n.typed) + "按 " + PlainDecimal(n.read) + " 计算";
  switch (n.doubt) {
    case NumberDoubt::DecimalComma:
      return head + "（小数点请用“.”）";
    case NumberDoubt::BlankInside:
      return head + "（数字中间有空格）";
    case NumberDoubt::DigitsDropped:
      return head + "（其后的" + Quoted(n.dropped) + "未读）";
    case NumberDoubt::None:
      break;
  }
  return head;
}

std::string Describe(const DecimalCommaRead& n) {
  return "螺纹标记" + Quoted(n.typed) + "中的“,”按小数点读取";
}

std::string Describe(const GaugesUseClass& n) {
  return "量规按中径公差带 " + n.pitch_class + " 计算（" + n.crest_class + " 是顶径公差带）";
}

}  // namespace

std::string DescribeNotice(const Notice& notice) {
  return std::visit([](const auto& n) { return Describe(n); }, notice);
}

std::string DescribeRejection(Rejection rejection) {
  switch (rejection) {
    case Rejection::NoDiameter:
      return " 对不起,公称直径不能为空！";
    case Rejection::NoPitch:
      return " 对不起,螺距不能为空！";
    case Rejection::NoGrade:
      return " 对不起,公差等级不能为空！";
    case Rejection::NoPosition:
      return " 对不起,公差带不能为空！";
    case Rejection::DiameterNotPositive:
      return " 对不起,公称直径必须是正数！";
    case Rejection::PitchNotPositive:
      return " 对不起,螺距必须是正数！";
    case Rejection::NoGaugeName:
      return " 对不起,量规名称不能为空！";
    case Rejection::PositionUnknown:
      return " 对不起,公差带应为 G、H（内螺纹）或 e、f、g、h（外螺纹）！";
  }
  return {};
}

std::string DescribeDatabase(const std::filesystem::path& database,
                             const std::optional<CodePageChoice>& code_page) {
  std::string line = "公差数据库：" + Utf8(database);
  if (const std::string note = code_page ? DescribeCodePage(*code_page) : ""; !note.empty()) {
    line += "（" + note + "）";
  }
  return line;
}

std::string DescribeDatabase(const CalculationResult& result) {
  return DescribeDatabase(result.database, result.database_code_page);
}

const char* VerdictText(VerdictCode code) {
  switch (code) {
    case VerdictCode::New:
      return "合格（新制范围内）";
    case VerdictCode::Worn:
      return "合格（已磨损，未超磨损极限）";
    case VerdictCode::WornOut:
      return "不合格（超出磨损极限）";
    case VerdictCode::OutOfTolerance:
      return "不合格（超出制造公差）";
    case VerdictCode::Undecided:
      return "不能判定";
  }
  return "不能判定";
}

std::string DescribeNotices(const std::vector<Notice>& notices) {
  std::string text;
  for (const Notice& notice : notices) text += (text.empty() ? "" : "；") + DescribeNotice(notice);
  return text;
}

}  // namespace threadgauge
