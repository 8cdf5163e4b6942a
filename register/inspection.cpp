#include "register/inspection.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "calculation/designation.h"
#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "calculation/thread_series.h"
#include "tolerance/file_stamp.h"
#include "tolerance/number_text.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

// A reading whose pitch diameter lies further than this from the gauge's is taken for a
// mistyped one until the user confirms it.
constexpr double kMistypedMm = 0.2;

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

std::string Hex(std::uint64_t hash) {
  char text[20];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

std::optional<std::string> NormaliseLength(std::string& length) {
  length = Trimmed(length);
  if (length.empty()) return std::nullopt;
  if (std::find(kLengthRanges.begin(), kLengthRanges.end(), length) != kLengthRanges.end()) {
    return std::nullopt;
  }
  const TypedNumber typed = ReadTypedNumber(length);
  if (typed.value > 0 && typed.doubt == NumberDoubt::None) {
    if (auto range = LengthRangeFor(typed.value)) {
      length = *range;
      return std::nullopt;
    }
  }
  std::string ranges;
  for (const char* range : kLengthRanges) ranges += std::string(ranges.empty() ? "" : "、") + range;
  return "螺纹部分长度“" + length + "”不是 " + ranges + " 之一，也不是毫米数";
}

std::string MissingText(const std::vector<Notice>& missing) {
  std::string text;
  for (const Notice& notice : missing) text += (text.empty() ? "" : "；") + DescribeNotice(notice);
  return text;
}

}  // namespace

const char* ProgramVersion() { return THREADGAUGE_VERSION; }

std::variant<GaugeRequest, std::string> RequestOf(const GaugeEntry& gauge) {
  const auto parsed = ParseDesignation(gauge.thread);
  if (const auto* error = std::get_if<DesignationError>(&parsed)) return error->message;
  const Designation& thread = std::get<Designation>(parsed);
  if (!thread.thread_class) {
    return "螺纹标记“" + gauge.thread + "”没有公差带，例如 M10×1.5-6g";
  }
  const GaugeKind* kind = FindGaugeKind(gauge.kind);
  if (kind == nullptr) return "量规名称“" + gauge.kind + "”不是十种量规之一";
  if (kind->internal() != IsInternal(thread.thread_class->position)) {
    return gauge.kind + (kind->internal() ? " 检验内螺纹（G、H）" : " 检验外螺纹（e、f、g、h）") +
           "，与 " + thread.text + " 不符";
  }
  return RequestFor(thread, kind, gauge.kind, gauge.length);
}

std::optional<std::string> NormaliseEntry(GaugeEntry& gauge, const Day& today) {
  gauge.number = Trimmed(gauge.number);
  if (gauge.number.empty()) return "缺少编号";
  gauge.thread = Trimmed(gauge.thread);
  gauge.kind = Trimmed(gauge.kind);
  const auto parsed = ParseDesignation(gauge.thread);
  if (const auto* error = std::get_if<DesignationError>(&parsed)) return error->message;
  gauge.thread = std::get<Designation>(parsed).text;
  const auto request = RequestOf(gauge);
  if (const auto* refused = std::get_if<std::string>(&request)) return *refused;
  if (auto wrong = NormaliseLength(gauge.length)) return wrong;
  gauge.since = Trimmed(gauge.since);
  if (!gauge.since.empty()) {
    const auto since = ParseDay(gauge.since);
    if (!since) return "启用日期“" + gauge.since + "”不是日期，例如 2026-12-07";
    if (DaysBetween(today, *since) > 0) {
      return "启用日期 " + DayText(*since) + " 在今天（" + DayText(today) + "）之后";
    }
    gauge.since = DayText(*since);
  }
  if (gauge.interval_months <= 0 || gauge.interval_months > 120) {
    return "检定周期须为 1 至 120 个月";
  }
  gauge.state = Trimmed(gauge.state);
  if (gauge.state.empty()) gauge.state = kInUse;
  if (std::find(kGaugeStates.begin(), kGaugeStates.end(), gauge.state) == kGaugeStates.end()) {
    return "状态“" + gauge.state + "”不是 在用、停用、封存、报废 之一";
  }
  return std::nullopt;
}

std::variant<DecidedInspection, InspectionRefusal> DecideInspection(
    const GaugeEntry& gauge, const InspectionInputs& in, const ToleranceDatabase& db,
    const Day& today, const std::vector<InspectionRecord>& earlier) {
  const auto refuse = [](std::string message) { return InspectionRefusal{std::move(message)}; };
  if (gauge.state == kRetired) return refuse("量规 " + gauge.number + " 已报废，不再检定");
  const auto built = RequestOf(gauge);
  if (const auto* wrong = std::get_if<std::string>(&built)) return refuse(*wrong);
  const GaugeRequest& request = std::get<GaugeRequest>(built);
  const Layout layout = request.kind->layout;

  const std::optional<Day> day = in.date.empty() ? today : ParseDay(in.date);
  if (!day) return refuse("检定日期“" + in.date + "”不是日期，例如 2026-12-07");
  if (DaysBetween(today, *day) > 0) {
    return refuse("检定日期 " + DayText(*day) + " 在今天（" + DayText(today) + "）之后");
  }
  if (layout == Layout::Plug && in.method != InspectionMethod::Wires) {
    return refuse(gauge.kind + " 用三针测量 M 值（三针直径和 M 读数）");
  }
  if (layout == Layout::Ring && in.method == InspectionMethod::Wires) {
    return refuse(gauge.kind + " 用钢球测量 E 值，或用校对塞规检验");
  }
  const char* element_name = in.method == InspectionMethod::Wires ? "三针直径" : "钢球直径";
  const char* value_name = in.method == InspectionMethod::Wires ? "M" : "E";
  if (in.method != InspectionMethod::CheckPlugs) {
    if (!in.element) return refuse(std::string("缺少") + element_name);
    if (!(*in.element > 0)) return refuse(std::string(element_name) + "须为正数");
    if (in.values.empty()) return refuse(std::string("缺少 ") + value_name + " 读数");
  } else if (!in.checks.go && !in.checks.not_go && !in.checks.wear) {
    return refuse("缺少校对塞规的检验结果（通过 或 不通过）");
  }
  for (size_t i = 0; i < in.values.size(); ++i) {
    if (!(in.values[i] > 0)) {
      return refuse("第 " + std::to_string(i + 1) + " 个 " + value_name + " 读数须为正数");
    }
  }
  if (in.major && !(*in.major > 0)) return refuse("大径须为正数");
  if (in.uncertainty && !(*in.uncertainty >= 0)) return refuse("测量不确定度 U 不能为负数");
  if (in.replaces) {
    const auto replaced = std::find_if(earlier.begin(), earlier.end(),
                                       [&](const auto& r) { return r.id == *in.replaces; });
    if (replaced == earlier.end()) {
      return refuse("记录 " + std::to_string(*in.replaces) + " 不是量规 " + gauge.number +
                    " 的检定记录");
    }
    if (replaced->replaced_by) {
      return refuse("记录 " + std::to_string(*in.replaces) + " 已被记录 " +
                    std::to_string(*replaced->replaced_by) + " 更正");
    }
  }

  DecidedInspection decided;
  decided.limits = LimitsFor(request, db);
  const GaugeLimits& limits = decided.limits;
  InspectionRecord& r = decided.record;
  std::vector<double> pitch_diameters;
  for (size_t i = 0; i < in.values.size(); ++i) {
    const double value = in.values[i];
    const double d2 = in.method == InspectionMethod::Wires
                          ? PitchDiameterFromM(value, request.P, *in.element)
                          : PitchDiameterFromE(value, request.P, *in.element);
    if (limits.decidable() && !in.force) {
      const double middle = (*limits.low + *limits.high) / 2;
      if (std::abs(d2 - middle) > kMistypedMm) {
        return InspectionRefusal{"第 " + std::to_string(i + 1) + " 个读数 " + value_name + " = " +
                                     PlainDecimal(value) + " 得中径 " + Millimetres(d2) +
                                     "，与量规中径 " + Millimetres(middle) + " 相差超过 0.2 mm，" +
                                     "可能输错了",
                                 true};
      }
    }
    pitch_diameters.push_back(d2);
    r.readings.push_back({value, d2});
  }

  if (!limits.decidable()) {
    decided.verdict = {VerdictCode::Undecided, VerdictText(VerdictCode::Undecided), std::nullopt};
  } else if (in.method == InspectionMethod::CheckPlugs) {
    decided.verdict = JudgeCheckPlugs(in.checks);
  } else {
    decided.verdict = JudgeReadings(limits, pitch_diameters, in.uncertainty);
  }

  r.gauge_number = gauge.number;
  r.date = DayText(*day);
  r.inspector = Trimmed(in.inspector);
  r.temperature = in.temperature;
  r.method = in.method;
  r.element = in.element;
  r.element_certificate = Trimmed(in.element_certificate);
  const GaugeKind* kind = request.kind;
  const GaugeKind* plugs[3] = {nullptr, nullptr, kind->wear_check_plug};
  for (const GaugeKind* candidate : GaugeKinds()) {
    // A ring's GO and NOT-GO check plugs come just before its wear check plug in the list.
    if (candidate == kind->wear_check_plug) break;
    plugs[0] = plugs[1];
    plugs[1] = candidate;
  }
  if (in.method == InspectionMethod::CheckPlugs) {
    const std::optional<bool> results[3] = {in.checks.go, in.checks.not_go, in.checks.wear};
    for (int i = 0; i < 3; ++i) {
      if (results[i] && plugs[i]) r.checks.push_back({std::string(plugs[i]->name), *results[i]});
    }
  }
  r.major = in.major;
  r.uncertainty = in.uncertainty;
  r.notes = Trimmed(in.notes);
  r.replaces = in.replaces;
  r.thread = gauge.thread;
  r.kind = gauge.kind;
  r.length = gauge.length;
  r.database_file = Utf8(db.path());
  const auto hash = ContentHash(db.path());
  r.database_hash = hash ? Hex(*hash) : "无法读取";
  r.program_version = ProgramVersion();
  r.limit_low = limits.low;
  r.limit_high = limits.high;
  r.wear_limit = limits.wear;
  r.has_wear_limit = limits.has_wear_limit;
  r.limits_note = MissingText(limits.missing);
  for (const Notice& notice : limits.missing) {
    if (const std::string table = GaugeTableToFill(notice); !table.empty()) {
      r.limits_note += "；请在“公差表→编辑公差表…”中补上“" + table + "”表";
      break;
    }
  }
  r.verdict = VerdictKey(decided.verdict.code);
  r.verdict_text = decided.verdict.text;
  r.margin_um = decided.verdict.margin_um;
  decided.remarks = RecordRemarks(r);
  return decided;
}

std::vector<std::string> RecordRemarks(const InspectionRecord& r) {
  std::vector<std::string> remarks;
  if (!r.limit_low || !r.limit_high) {
    remarks.push_back("量规极限不全，不能判定：" + r.limits_note);
  } else if (r.has_wear_limit && !r.wear_limit) {
    remarks.push_back("磨损极限未知，仅按新制量规的极限判定" +
                      (r.limits_note.empty() ? "" : "（" + r.limits_note + "）"));
  }
  if (r.method != InspectionMethod::CheckPlugs) {
    remarks.push_back(
        r.uncertainty ? "判定规则：ISO 14253-1，扩展不确定度 U = " + Micrometres(*r.uncertainty) +
                            "：合格区按 U 收窄，不合格区按 U 放宽，其间不能判定"
                      : "判定规则：未给出测量不确定度，按极限直接判定");
    remarks.push_back("未作螺旋升角修正及测量力修正");
  }
  return remarks;
}

GaugeLimits LimitsOfRecord(const InspectionRecord& r) {
  GaugeLimits limits;
  limits.low = r.limit_low;
  limits.high = r.limit_high;
  limits.wear = r.wear_limit;
  limits.has_wear_limit = r.has_wear_limit;
  const GaugeKind* kind = FindGaugeKind(r.kind);
  limits.direction = kind && kind->layout == Layout::Ring ? WearDirection::Up : WearDirection::Down;
  return limits;
}

std::optional<std::string> LastRecordDay(const std::vector<InspectionRecord>& records) {
  const auto counting = CountingRecords(records);
  if (counting.empty()) return std::nullopt;
  return std::max_element(counting.begin(), counting.end(),
                          [](const auto& a, const auto& b) { return a.date < b.date; })
      ->date;
}

std::optional<Day> NextDue(const GaugeEntry& gauge, const std::vector<InspectionRecord>& records) {
  const std::optional<std::string> last = LastRecordDay(records);
  const std::optional<Day> from = ParseDay(last ? *last : gauge.since);
  if (!from) return std::nullopt;
  return AddMonths(*from, gauge.interval_months);
}

std::optional<GaugeTrend> TrendOf(const std::vector<InspectionRecord>& records) {
  std::vector<TrendPoint> points;
  std::optional<double> wear;
  WearDirection direction = WearDirection::Down;
  for (const InspectionRecord& r : CountingRecords(records)) {
    const auto day = ParseDay(r.date);
    const GaugeKind* kind = FindGaugeKind(r.kind);
    if (!day || !kind || r.readings.empty()) continue;
    direction = kind->layout == Layout::Ring ? WearDirection::Up : WearDirection::Down;
    double extreme = r.readings.front().pitch_diameter;
    for (const MeasuredReading& reading : r.readings) {
      extreme = direction == WearDirection::Up ? std::max(extreme, reading.pitch_diameter)
                                               : std::min(extreme, reading.pitch_diameter);
    }
    points.push_back({MonthsOf(*day), extreme});
    wear = r.wear_limit;
  }
  const auto fit = FitWearTrend(points, wear, direction);
  if (!fit) return std::nullopt;
  GaugeTrend trend{*fit, std::nullopt, points.size()};
  if (fit->month_at_limit) trend.reaches_limit = DayAtMonths(*fit->month_at_limit);
  return trend;
}

std::string VerdictLine(const std::string& code, const std::string& text,
                        std::optional<double> margin_um) {
  if (!margin_um) return text;
  if (*margin_um < 0) return text + "，超出 " + Micrometres(-*margin_um);
  return text + (code == VerdictKey(VerdictCode::Worn) ? "，距磨损极限 " : "，距最近极限 ") +
         Micrometres(*margin_um);
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
