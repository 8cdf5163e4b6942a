#include "register/inspection.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "calculation/designation.h"
#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "calculation/thread_series.h"
#include "platform/file_stamp.h"
#include "platform/number_text.h"
#include "platform/utf8.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/designation_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

// A reading whose pitch diameter lies further than this from the gauge's is taken for a
// mistyped one until the user confirms it.
constexpr double kMistypedMm = 0.2;
// No thread gauge the tables reach measures beyond these: a larger number is a slip of the
// keyboard (or a value read from a damaged file), never a measurement.
constexpr double kLargestReadingMm = 1000;
constexpr double kLargestElementMm = 100;
constexpr double kLargestUncertaintyUm = 1000;
constexpr double kLargestCoverageFactor = 10;
constexpr double kColdestC = -50, kWarmestC = 100;

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

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value > low && value <= high;
}

std::optional<Message> NormaliseLength(std::string& length) {
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
  Message unknown{MessageCode::LengthUnknown, {length}};
  for (const char* range : kLengthRanges) unknown.args.push_back(range);
  return unknown;
}

// The numbers that are not readings: each finite and where a real one lies.
std::optional<Message> CheckNumbers(const InspectionInputs& in) {
  if (!(std::isfinite(in.temperature) && in.temperature >= kColdestC &&
        in.temperature <= kWarmestC)) {
    return Message{MessageCode::TemperatureOutOfRange};
  }
  if (in.method != InspectionMethod::CheckPlugs && in.element &&
      !Within(*in.element, 0, kLargestElementMm)) {
    return Message{in.method == InspectionMethod::Wires ? MessageCode::WireDiameterOutOfRange
                                                        : MessageCode::BallDiameterOutOfRange};
  }
  if (in.major && !Within(*in.major, 0, kLargestReadingMm)) {
    return Message{MessageCode::MajorOutOfRange};
  }
  if (in.uncertainty && !(std::isfinite(*in.uncertainty) && *in.uncertainty >= 0 &&
                          *in.uncertainty <= kLargestUncertaintyUm)) {
    return Message{MessageCode::UncertaintyOutOfRange};
  }
  if (in.coverage_k && !Within(*in.coverage_k, 0, kLargestCoverageFactor)) {
    return Message{MessageCode::CoverageOutOfRange};
  }
  return std::nullopt;
}

std::optional<Message> CheckReadings(const InspectionInputs& in, const char* value_name) {
  for (size_t i = 0; i < in.values.size(); ++i) {
    if (!Within(in.values[i], 0, kLargestReadingMm)) {
      return Message{MessageCode::ReadingOutOfRange, {std::to_string(i + 1), value_name}};
    }
  }
  for (size_t i = 0; i < in.positions.size(); ++i) {
    const std::string& place = in.positions[i];
    if (!place.empty() && std::find(kReadingPositions.begin(), kReadingPositions.end(), place) ==
                              kReadingPositions.end()) {
      return Message{MessageCode::PositionUnknown, {std::to_string(i + 1), place}};
    }
  }
  if (in.positions.size() > in.values.size())
    return Message{MessageCode::MorePositionsThanReadings};
  return std::nullopt;
}

std::optional<Message> CheckReplaced(const GaugeEntry& gauge, const InspectionInputs& in,
                                     const std::vector<InspectionRecord>& earlier) {
  if (!in.replaces) return std::nullopt;
  const auto replaced = std::find_if(earlier.begin(), earlier.end(),
                                     [&](const auto& r) { return r.id == *in.replaces; });
  if (replaced == earlier.end()) {
    return Message{MessageCode::ReplacedNotThisGauge, {std::to_string(*in.replaces), gauge.number}};
  }
  if (replaced->replaced_by) {
    return Message{MessageCode::ReplacedAlready,
                   {std::to_string(*in.replaces), std::to_string(*replaced->replaced_by)}};
  }
  return std::nullopt;
}

// Inspected on or before its 启用日期 with no other record to go by: it comes from its maker.
bool BeingAccepted(const GaugeEntry& gauge, const InspectionInputs& in, const Day& day,
                   const std::vector<InspectionRecord>& earlier) {
  if (in.acceptance) return true;
  const auto since = ParseDay(gauge.since);
  if (!since || DaysBetween(day, *since) < 0) return false;
  return std::none_of(earlier.begin(), earlier.end(), [&](const InspectionRecord& r) {
    return !r.replaced_by && (!in.replaces || r.id != *in.replaces);
  });
}

std::vector<CheckPlugResult> CheckResults(const GaugeKind& kind, const InspectionInputs& in) {
  std::vector<CheckPlugResult> results;
  const GaugeKind* plugs[3] = {kind.check_plugs.go, kind.check_plugs.not_go, kind.check_plugs.wear};
  const std::optional<bool> found[3] = {in.checks.go, in.checks.not_go, in.checks.wear};
  for (int i = 0; i < 3; ++i) {
    if (found[i] && plugs[i]) {
      results.push_back({std::string(plugs[i]->name), *found[i], Trimmed(in.check_numbers[i])});
    }
  }
  return results;
}

}  // namespace

const char* ProgramVersion() { return THREADGAUGE_VERSION; }

std::variant<GaugeRequest, Message> RequestOf(const GaugeEntry& gauge) {
  const auto parsed = ParseDesignation(gauge.thread);
  if (const auto* error = std::get_if<DesignationError>(&parsed)) {
    return Message{MessageCode::Told, {DescribeDesignationError(*error)}};
  }
  const Designation& thread = std::get<Designation>(parsed);
  if (!thread.thread_class) return Message{MessageCode::ThreadWithoutClass, {gauge.thread}};
  const GaugeKind* kind = FindGaugeKind(gauge.kind);
  if (kind == nullptr) return Message{MessageCode::UnknownGaugeKind, {gauge.kind}};
  if (kind->internal() != IsInternal(thread.thread_class->position)) {
    return Message{kind->internal() ? MessageCode::KindForInternal : MessageCode::KindForExternal,
                   {gauge.kind, thread.text}};
  }
  return RequestFor(thread, kind, gauge.kind, gauge.length);
}

std::variant<GaugeLimits, Message> LimitsOfGauge(const GaugeEntry& gauge,
                                                 const ToleranceDatabase& db) {
  const auto request = RequestOf(gauge);
  if (const auto* wrong = std::get_if<Message>(&request)) return *wrong;
  return LimitsFor(std::get<GaugeRequest>(request), db);
}

const std::variant<GaugeLimits, Message>& LimitsCache::For(const GaugeEntry& gauge) {
  const auto key = std::make_tuple(gauge.thread, gauge.kind, gauge.length);
  auto found = known_.find(key);
  if (found == known_.end()) found = known_.emplace(key, LimitsOfGauge(gauge, db_)).first;
  return found->second;
}

std::optional<Message> NormaliseEntry(GaugeEntry& gauge, const Day& today) {
  gauge.number = Trimmed(gauge.number);
  if (gauge.number.empty()) return Message{MessageCode::EntryNumberMissing};
  gauge.thread = Trimmed(gauge.thread);
  gauge.kind = Trimmed(gauge.kind);
  const auto parsed = ParseDesignation(gauge.thread);
  if (const auto* error = std::get_if<DesignationError>(&parsed)) {
    return Message{MessageCode::Told, {DescribeDesignationError(*error)}};
  }
  gauge.thread = std::get<Designation>(parsed).text;
  const auto request = RequestOf(gauge);
  if (const auto* refused = std::get_if<Message>(&request)) return *refused;
  if (auto wrong = NormaliseLength(gauge.length)) return wrong;
  gauge.since = Trimmed(gauge.since);
  if (!gauge.since.empty()) {
    const auto since = ParseDay(gauge.since);
    if (!since) return Message{MessageCode::SinceNotDate, {gauge.since}};
    if (DaysBetween(today, *since) > 0) {
      return Message{MessageCode::SinceAfterToday, {DayText(*since), DayText(today)}};
    }
    gauge.since = DayText(*since);
  }
  if (gauge.interval_months <= 0 || gauge.interval_months > 120) {
    return Message{MessageCode::IntervalOutOfRange};
  }
  gauge.state = Trimmed(gauge.state);
  if (gauge.state.empty()) gauge.state = kInUse;
  if (std::find(kGaugeStates.begin(), kGaugeStates.end(), gauge.state) == kGaugeStates.end()) {
    return Message{MessageCode::StateUnknown, {gauge.state}};
  }
  return std::nullopt;
}

// What the inspector entered, checked against the gauge before anything is decided: the
// day of the inspection, or why the entries cannot be taken.
std::variant<Day, InspectionRefusal> CheckEntries(const GaugeEntry& gauge,
                                                  const InspectionInputs& in,
                                                  const GaugeRequest& request, const Day& today,
                                                  const std::vector<InspectionRecord>& earlier) {
  const auto refuse = [](MessageCode code, std::vector<std::string> args = {}) {
    return InspectionRefusal{{code, std::move(args)}};
  };
  const Layout layout = request.kind->layout;
  const std::optional<Day> day = in.date.empty() ? today : ParseDay(in.date);
  if (!day) return refuse(MessageCode::InspectionDateNotDate, {in.date});
  if (DaysBetween(today, *day) > 0) {
    return refuse(MessageCode::InspectionDateAfterToday, {DayText(*day), DayText(today)});
  }
  if (layout == Layout::Plug && in.method != InspectionMethod::Wires) {
    return refuse(MessageCode::PlugNeedsWires, {gauge.kind});
  }
  if (layout == Layout::Ring && in.method == InspectionMethod::Wires) {
    return refuse(MessageCode::RingNeedsBalls, {gauge.kind});
  }
  const bool wires = in.method == InspectionMethod::Wires;
  const char* value_name = wires ? "M" : "E";
  if (in.method != InspectionMethod::CheckPlugs) {
    if (!in.element) {
      return refuse(wires ? MessageCode::WireDiameterMissing : MessageCode::BallDiameterMissing);
    }
    if (in.values.empty()) return refuse(MessageCode::ReadingsMissing, {value_name});
  } else if (!in.checks.go && !in.checks.not_go && !in.checks.wear) {
    return refuse(MessageCode::CheckResultsMissing);
  } else if (const auto contradiction = ContradictionIn(in.checks)) {
    const GaugeKind* plugs[3] = {request.kind->check_plugs.go, request.kind->check_plugs.not_go,
                                 request.kind->check_plugs.wear};
    return refuse(MessageCode::CheckResultsContradict,
                  {std::string(plugs[contradiction->passed]->name),
                   std::string(plugs[contradiction->refused]->name)});
  }
  if (auto wrong = CheckNumbers(in)) return InspectionRefusal{*wrong};
  if (auto wrong = CheckReadings(in, value_name)) return InspectionRefusal{*wrong};
  if (auto wrong = CheckReplaced(gauge, in, earlier)) return InspectionRefusal{*wrong};
  return *day;
}

// Each reading's pitch diameter, in the order read; a reading far from the gauge's pitch
// diameter is refused as a likely typing error unless the inspector confirmed it.
std::variant<std::vector<MeasuredReading>, InspectionRefusal> ReadingsOf(
    const InspectionInputs& in, const GaugeRequest& request, const GaugeLimits& limits) {
  const char* value_name = in.method == InspectionMethod::Wires ? "M" : "E";
  std::vector<MeasuredReading> readings;
  for (size_t i = 0; i < in.values.size(); ++i) {
    const double value = in.values[i];
    const double d2 = in.method == InspectionMethod::Wires
                          ? PitchDiameterFromM(value, request.P, *in.element)
                          : PitchDiameterFromE(value, request.P, *in.element);
    if (limits.decidable() && !in.force) {
      const double middle = (*limits.low + *limits.high) / 2;
      if (std::abs(d2 - middle) > kMistypedMm) {
        return InspectionRefusal{{MessageCode::ReadingFarOff,
                                  {std::to_string(i + 1), value_name, PlainDecimal(value),
                                   Millimetres(d2), Millimetres(middle)}},
                                 true};
      }
    }
    readings.push_back({value, d2, i < in.positions.size() ? in.positions[i] : ""});
  }
  return readings;
}

// The record of the decided inspection: the entries as taken, the gauge as registered, the
// limits applied and the verdict. Stamped with the database and time when it is saved.
void FillRecord(InspectionRecord& r, const GaugeEntry& gauge, const InspectionInputs& in,
                const GaugeRequest& request, const Day& day, const GaugeLimits& limits,
                const Verdict& verdict) {
  r.gauge_number = gauge.number;
  r.date = DayText(day);
  r.inspector = Trimmed(in.inspector);
  r.temperature = in.temperature;
  r.method = in.method;
  r.element = in.method == InspectionMethod::CheckPlugs ? std::nullopt : in.element;
  r.element_certificate = Trimmed(in.element_certificate);
  r.instrument = {Trimmed(in.instrument.name), Trimmed(in.instrument.number),
                  Trimmed(in.instrument.certificate), Trimmed(in.instrument.valid_until)};
  if (in.method == InspectionMethod::CheckPlugs) r.checks = CheckResults(*request.kind, in);
  r.major = in.major;
  r.uncertainty = in.uncertainty;
  r.coverage_k = in.uncertainty ? in.coverage_k : std::nullopt;
  r.notes = Trimmed(in.notes);
  r.replaces = in.replaces;
  r.acceptance = limits.acceptance;
  r.imported = in.imported;
  r.thread = gauge.thread;
  r.kind = gauge.kind;
  r.length = gauge.length;
  r.limit_low = limits.low;
  r.limit_high = limits.high;
  r.wear_limit = limits.wear;
  r.has_wear_limit = limits.has_wear_limit;
  r.limits_note = DescribeNotices(limits.missing);
  for (const Notice& notice : limits.missing) {
    if (const std::string table = GaugeTableToFill(notice); !table.empty()) {
      r.limits_note += "；" + Say({MessageCode::FillGaugeTable, {table}});
      break;
    }
  }
  r.verdict = VerdictKey(verdict.code);
  r.verdict_text = VerdictText(verdict.code);
  r.margin_um = verdict.margin_um;
  r.margin_limit = MarginLimitKey(verdict.limit);
}

std::variant<DecidedInspection, InspectionRefusal> DecideInspection(
    const GaugeEntry& gauge, const InspectionInputs& in, const GaugeLimits& zone, const Day& today,
    const std::vector<InspectionRecord>& earlier) {
  if (gauge.state == kRetired)
    return InspectionRefusal{{MessageCode::GaugeRetired, {gauge.number}}};
  const auto built = RequestOf(gauge);
  if (const auto* wrong = std::get_if<Message>(&built)) return InspectionRefusal{*wrong};
  const GaugeRequest& request = std::get<GaugeRequest>(built);
  const auto checked = CheckEntries(gauge, in, request, today, earlier);
  if (const auto* refused = std::get_if<InspectionRefusal>(&checked)) return *refused;
  const Day day = std::get<Day>(checked);

  DecidedInspection decided;
  decided.limits = zone;
  GaugeLimits& limits = decided.limits;
  limits.acceptance = BeingAccepted(gauge, in, day, earlier);
  auto readings = ReadingsOf(in, request, limits);
  if (const auto* refused = std::get_if<InspectionRefusal>(&readings)) return *refused;
  InspectionRecord& r = decided.record;
  r.readings = std::get<std::vector<MeasuredReading>>(std::move(readings));
  std::vector<double> pitch_diameters;
  for (const MeasuredReading& reading : r.readings)
    pitch_diameters.push_back(reading.pitch_diameter);

  if (!limits.decidable()) {
    decided.verdict = {VerdictCode::Undecided, std::nullopt};
  } else if (in.method == InspectionMethod::CheckPlugs) {
    decided.verdict = JudgeCheckPlugs(in.checks, limits.acceptance);
  } else {
    decided.verdict = JudgeReadings(limits, pitch_diameters, in.uncertainty);
  }
  FillRecord(r, gauge, in, request, day, limits, decided.verdict);
  decided.remarks = RecordRemarks(r);
  return decided;
}

DatabaseStamp StampOf(const ToleranceDatabase& db) {
  const auto hash = ContentHash(db.path());
  return {Utf8(db.path()), hash ? Hex(*hash) : Say({MessageCode::HashUnreadable}),
          ProgramVersion()};
}

void Stamp(InspectionRecord& record, const DatabaseStamp& stamp) {
  record.database_file = stamp.file;
  record.database_hash = stamp.hash;
  record.program_version = stamp.program_version;
}

GaugeLimits LimitsOfRecord(const InspectionRecord& r) {
  GaugeLimits limits;
  limits.low = r.limit_low;
  limits.high = r.limit_high;
  limits.wear = r.wear_limit;
  limits.has_wear_limit = r.has_wear_limit;
  limits.acceptance = r.acceptance;
  const GaugeKind* kind = FindGaugeKind(r.kind);
  limits.direction = kind && kind->layout == Layout::Ring ? WearDirection::Up : WearDirection::Down;
  return limits;
}

}  // namespace threadgauge
