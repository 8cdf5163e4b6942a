#include "calculation/notice.h"

#include <algorithm>

namespace threadgauge {

Notice ToNotice(const LookupFailure& failure, const std::filesystem::path& database) {
  switch (failure.kind) {
    case LookupFailureKind::DatabaseUnavailable:
      return {NoticeKind::DatabaseUnavailable,
              {},
              {},
              reinterpret_cast<const char*>(database.u8string().c_str()),
              failure.detail};
    case LookupFailureKind::TableMissing:
      return {NoticeKind::TableMissing, failure.table, {}, {}, {}};
    case LookupFailureKind::ColumnMissing:
      return {NoticeKind::ColumnMissing, failure.table, failure.column, {}, {}};
    case LookupFailureKind::NoRow:
      return {NoticeKind::NoRow, failure.table, {}, failure.key, {}};
    case LookupFailureKind::NoRangeHolds:
      return {NoticeKind::NoRangeHolds, failure.table, {}, failure.key, {}};
    case LookupFailureKind::RangesOutOfOrder:
      return {NoticeKind::RangesOutOfOrder, failure.table, failure.column, failure.key, {}};
    case LookupFailureKind::EmptyCell:
      return {NoticeKind::EmptyCell, failure.table, failure.column, failure.key, {}};
    case LookupFailureKind::NotANumber:
      return {NoticeKind::NotANumber, failure.table, failure.column, failure.key, failure.detail};
    case LookupFailureKind::EngineError:
      break;
  }
  return {NoticeKind::EngineError, failure.table, {}, {}, failure.detail};
}

namespace {

// Typed text shown in a notice is cut after 40 characters: the point is which input, not
// all of a pasted page.
std::string Shortened(const std::string& text) {
  constexpr size_t kShown = 40;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == kShown) {
      return text.substr(0, i) + "…";
    }
  }
  return text;
}

std::string Quoted(const std::string& text) { return "“" + Shortened(text) + "”"; }

std::string DatabaseProblem(const std::string& status) {
  if (status == "missing") return "找不到公差数据库文件";
  if (status == "not-a-database") return "公差数据库文件已损坏或不是数据库文件";
  if (status == "locked") return "公差数据库文件正被其他程序锁定，请稍后再按确定";
  return "无法读取公差数据库文件";
}

// The gauge tables are the user's to supply; say where to learn how.
std::string GaugeTableHint(const std::string& table) {
  return table == "位置要素" ? "（量规公差表须由用户导入，见 README“导入量规公差表”）" : "";
}

std::string FieldCaption(const std::string& control) {
  static const std::pair<const char*, const char*> captions[] = {
      {"Text2", "大径"},        {"Text3", "大径偏差"},  {"Text4", "中径"},
      {"Text5", "中径偏差"},    {"Text6", "小径"},      {"Text8", "测量直径"},
      {"Text9", "M 值或 E 值"}, {"Text18", "小径偏差"}, {"Text28", "螺距公差"}};
  for (const auto& [name, caption] : captions) {
    if (control == name) return caption;
  }
  return control;
}

}  // namespace

std::string DescribeNotice(const Notice& n) {
  switch (n.kind) {
    case NoticeKind::DatabaseUnavailable:
      return DatabaseProblem(n.detail) + "：" + n.key;
    case NoticeKind::TableMissing:
      return "公差数据库中没有表" + Quoted(n.table) + GaugeTableHint(n.table);
    case NoticeKind::ColumnMissing:
      return "表" + Quoted(n.table) + "中没有列" + Quoted(n.column);
    case NoticeKind::NoRow:
      return "表" + Quoted(n.table) + "中没有 " + Shortened(n.key) + " 的行" +
             GaugeTableHint(n.table);
    case NoticeKind::NoRangeHolds:
      return "表" + Quoted(n.table) + "中没有范围包含 " + n.key + " 的行" + GaugeTableHint(n.table);
    case NoticeKind::RangesOutOfOrder:
      return "表" + Quoted(n.table) + (n.key.empty() ? "" : "中 " + n.key + " ") +
             "的行没有按范围升序存放，范围交界处的值可能查到错误的行；请用 threadgauge-cli db "
             "check 检查";
    case NoticeKind::EmptyCell:
      return "表" + Quoted(n.table) + "中 " + n.key + " 的" + Quoted(n.column) + "为空";
    case NoticeKind::NotANumber:
      return "表" + Quoted(n.table) + "中 " + n.key + " 的" + Quoted(n.column) + "不是数值：" +
             Quoted(n.detail);
    case NoticeKind::EngineError:
      if (n.detail.find("malformed") != std::string::npos) {
        return "公差数据库文件已损坏，读取表" + Quoted(n.table) + "时出错";
      }
      return "读取表" + Quoted(n.table) + "时出错：" + n.detail;
    case NoticeKind::WrongThreadKind:
      if (n.column.rfind("EI(", 0) == 0) {
        return Shortened(n.key) + "检验内螺纹，公差带" + Quoted(n.detail) +
               "是外螺纹的公差带，查不到基本偏差 " + Shortened(n.column) +
               "；内螺纹的公差带为 G 或 H";
      }
      return Shortened(n.key) + "用于外螺纹，公差带" + Quoted(n.detail) +
             "是内螺纹的公差带，查不到基本偏差 " + Shortened(n.column) +
             "；外螺纹的公差带为 e、f、g 或 h";
    case NoticeKind::NotFinite:
      return FieldCaption(n.column) + "的计算结果太大，无法显示";
    case NoticeKind::UnknownGauge:
      return "量规名称" + Quoted(n.key) + "不是所列的十种量规之一，未计算量规尺寸";
  }
  return {};
}

void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from) {
  for (const Notice& notice : from) {
    if (std::find(to.begin(), to.end(), notice) == to.end()) to.push_back(notice);
  }
}

}  // namespace threadgauge
