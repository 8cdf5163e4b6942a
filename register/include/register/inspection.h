#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "calculation/gauge_request.h"
#include "calculation/inspection.h"
#include "register/calendar.h"
#include "register/gauge_register.h"

namespace threadgauge {

class ToleranceDatabase;

// The entry made fit to store: the designation read and written the standard way, the gauge
// kind one of the ten and of the thread's kind (plugs for G and H, rings and check plugs for
// e to h), the length one of the window's ranges or a length in mm, the dates real and not
// after `today`, the interval a positive number of months, the state one of the four. The
// message names what is wrong.
std::optional<std::string> NormaliseEntry(GaugeEntry& gauge, const Day& today);

// The calculation of the registered gauge, as one press of 确定 for it.
std::variant<GaugeRequest, std::string> RequestOf(const GaugeEntry& gauge);

// What the inspector entered for one inspection.
struct InspectionInputs {
  std::string date;  // empty: today
  std::string inspector;
  double temperature = 20;
  InspectionMethod method = InspectionMethod::Wires;
  std::optional<double> element;  // dD or dB, mm
  std::string element_certificate;
  std::vector<double> values;  // M or E, mm
  CheckPlugResults checks;
  std::optional<double> major;
  std::optional<double> uncertainty;  // U, µm
  std::string notes;
  std::optional<long long> replaces;
  bool force = false;  // keep readings far from the gauge's pitch diameter
};

// The inspection decided: the record as it will be stored, and what it was decided on.
struct DecidedInspection {
  InspectionRecord record;
  GaugeLimits limits;
  Verdict verdict;
  std::vector<std::string> remarks;  // RecordRemarks of the record
};

// Why the inputs cannot be taken; nothing is then to be written. A reading far from the
// gauge's pitch diameter may be what was measured: the user may confirm it (`force`).
struct InspectionRefusal {
  std::string message;
  bool needs_confirmation = false;
};

// Reads the inputs against the gauge and decides.
std::variant<DecidedInspection, InspectionRefusal> DecideInspection(
    const GaugeEntry& gauge, const InspectionInputs& inputs, const ToleranceDatabase& db,
    const Day& today, const std::vector<InspectionRecord>& earlier);

// What a stored record tells of its decision besides the verdict, in the words of the
// record: missing limits, the decision rule, that no correction was applied.
std::vector<std::string> RecordRemarks(const InspectionRecord& record);
// The limits as the record stored them, to judge its readings again one by one.
GaugeLimits LimitsOfRecord(const InspectionRecord& record);

// The program version recorded with every inspection.
const char* ProgramVersion();

// When the gauge is next due: the last counting record's day (or, without one, its 启用日期)
// plus its interval; none when it has neither.
std::optional<Day> NextDue(const GaugeEntry& gauge, const std::vector<InspectionRecord>& records);
std::optional<std::string> LastRecordDay(const std::vector<InspectionRecord>& records);

// The gauge's wear trend over its counting records with readings: each record's extreme
// pitch diameter on the wearing side, against the latest record's wear limit.
struct GaugeTrend {
  WearTrend fit;
  std::optional<Day> reaches_limit;
  size_t records = 0;
};
std::optional<GaugeTrend> TrendOf(const std::vector<InspectionRecord>& records);

// The verdict's line: "合格（新制范围内），距最近极限 3.2 µm"; `code` is its VerdictKey.
std::string VerdictLine(const std::string& code, const std::string& text,
                        std::optional<double> margin_um);
// A number in mm or µm as the record shows it.
std::string Millimetres(double mm);
std::string Micrometres(double um);

}  // namespace threadgauge
