// The words of a decided inspection: its verdict line, its remarks, what the keeper must do.
#include <cmath>
#include <cstdio>

#include "calculation/gauge_kind.h"
#include "platform/number_text.h"
#include "register/inspection.h"
#include "words/calculation_words.h"

namespace threadgauge {
namespace {

const char* LimitName(MarginLimit limit) {
  switch (limit) {
    case MarginLimit::NewLow:
      return "新制下限";
    case MarginLimit::NewHigh:
      return "新制上限";
    case MarginLimit::Wear:
      return "磨损极限";
    case MarginLimit::None:
      break;
  }
  return "最近极限";
}

// How records stored before the limit was named say their margin.
std::string UnnamedMargin(const std::string& text, const Verdict& v) {
  const double m = *v.margin_um;
  if (m < 0) return text + "，超出 " + Micrometres(-m);
  return text + (v.code == VerdictCode::Worn ? "，距磨损极限 " : "，距最近极限 ") + Micrometres(m);
}

// A new gauge's margin to the zone's limit on its wearing side only parts new from worn
// when a wear limit lies beyond it.
bool IsBoundary(const GaugeLimits& limits, const Verdict& v) {
  if (v.code != VerdictCode::New || !limits.applied_wear() || !limits.decidable()) return false;
  const bool down = limits.direction == WearDirection::Down;
  return down ? v.limit == MarginLimit::NewLow && *limits.applied_wear() < *limits.low
              : v.limit == MarginLimit::NewHigh && *limits.applied_wear() > *limits.high;
}

// The verdict's words (as stored with a record, or as said now) with its margin.
std::string LineOf(const std::string& text, const Verdict& v, std::optional<double> U_um) {
  if (!v.margin_um) return text;
  if (v.limit == MarginLimit::None) return UnnamedMargin(text, v);
  const double m = *v.margin_um;
  const std::string name = LimitName(v.limit);
  const std::string distance =
      m < 0 ? "超出" + name + " " + Micrometres(-m) : "距" + name + " " + Micrometres(m);
  if (!U_um || v.boundary) return text + "，" + distance;
  if (v.code == VerdictCode::Undecided) {
    return text + "，" + distance + "，小于 U = " + Micrometres(*U_um);
  }
  // A conformity or non-conformity proven beyond U: what is left once U is taken off.
  return text + "，" + distance + "（计入 U = " + Micrometres(*U_um) + " 后 " +
         Micrometres(std::abs(m) - *U_um) + "）";
}

}  // namespace

std::string VerdictLine(const Verdict& v, std::optional<double> U_um) {
  return LineOf(VerdictText(v.code), v, U_um);
}

std::string RecordVerdictLine(const InspectionRecord& r) {
  Verdict v;
  v.code = VerdictOfKey(r.verdict).value_or(VerdictCode::Undecided);
  v.margin_um = r.margin_um;
  v.limit = MarginLimitOfKey(r.margin_limit);
  v.boundary = IsBoundary(LimitsOfRecord(r), v);
  return LineOf(r.verdict_text, v, r.uncertainty);
}

std::vector<std::string> RecordRemarks(const InspectionRecord& r) {
  std::vector<std::string> remarks;
  if (!r.limit_low || !r.limit_high) {
    remarks.push_back("量规极限不全，不能判定：" + r.limits_note);
  } else if (r.acceptance) {
    remarks.push_back("新量规验收：按新制量规的制造公差判定，不计磨损极限");
  } else if (r.has_wear_limit && !r.wear_limit) {
    remarks.push_back("磨损极限未知，仅按新制量规的极限判定" +
                      (r.limits_note.empty() ? "" : "（" + r.limits_note + "）"));
  }
  if (r.method != InspectionMethod::CheckPlugs) {
    const std::string k = r.coverage_k ? "（k = " + PlainDecimal(*r.coverage_k) + "）" : "";
    remarks.push_back(
        r.uncertainty ? "判定规则：ISO 14253-1，扩展不确定度 U = " + Micrometres(*r.uncertainty) +
                            k + "：合格区按 U 收窄，不合格区按 U 放宽，其间不能判定"
                      : "判定规则：未给出测量不确定度，按极限直接判定");
    remarks.push_back("未作螺旋升角修正及测量力修正");
  }
  if (r.imported) remarks.push_back("导入：由检定历史导入，按导入时的公差表判定");
  return remarks;
}

std::optional<std::string> ActionAfter(const InspectionRecord& record) {
  if (RecordConforms(record.verdict)) return std::nullopt;
  return std::string("该量规应停止使用，待处理");
}

std::string ActionCommands(const std::string& gauge_number) {
  return "停用：threadgauge-cli gauges set-state " + gauge_number +
         " 停用；报废：threadgauge-cli gauges retire " + gauge_number;
}

std::string Millimetres(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", mm);
  return text;
}

std::string Micrometres(double um) {
  const double tenths = std::round(um * 10) / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f µm", tenths == 0 ? 0.0 : tenths);
  return text;
}

}  // namespace threadgauge
