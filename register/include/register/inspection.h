#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "calculation/gauge_request.h"
#include "calculation/inspection.h"
#include "register/calendar.h"
#include "register/due.h"
#include "register/gauge_register.h"

namespace threadgauge {

class ToleranceDatabase;

// The entry made fit to store: the designation read and written the standard way, the gauge
// kind one of the ten and of the thread's kind (plugs for G and H, rings and check plugs for
// e to h), the length one of the window's ranges or a length in mm, the dates real and not
// after `today`, the interval a positive number of months, the state one of the four. The
// message names what is wrong.
std::optional<Message> NormaliseEntry(GaugeEntry& gauge, const Day& today);

// The calculation of the registered gauge, as one press of 确定 for it.
std::variant<GaugeRequest, Message> RequestOf(const GaugeEntry& gauge);

// The limits the registered gauge is judged against, from the database as it is now; the
// message when the entry cannot be calculated.
std::variant<GaugeLimits, Message> LimitsOfGauge(const GaugeEntry& gauge,
                                                 const ToleranceDatabase& db);

// Limits computed once for each distinct thread, kind and length: a register holds many
// gauges of the same kind.
class LimitsCache {
 public:
  explicit LimitsCache(const ToleranceDatabase& db) : db_(db) {}
  const std::variant<GaugeLimits, Message>& For(const GaugeEntry& gauge);

 private:
  const ToleranceDatabase& db_;
  std::map<std::tuple<std::string, std::string, std::string>, std::variant<GaugeLimits, Message>>
      known_;
};

// What the inspector entered for one inspection.
struct InspectionInputs {
  std::string date;  // empty: today
  std::string inspector;
  double temperature = 20;
  InspectionMethod method = InspectionMethod::Wires;
  std::optional<double> element;  // dD or dB, mm
  std::string element_certificate;
  MeasuringInstrument instrument;
  std::vector<double> values;          // M or E, mm
  std::vector<std::string> positions;  // where each was taken; may be shorter or empty
  CheckPlugResults checks;
  std::array<std::string, 3> check_numbers;  // the 编号 of the GO, NOT-GO and wear plug used
  std::optional<double> major;
  std::optional<double> uncertainty;  // U, µm
  std::optional<double> coverage_k;
  std::string notes;
  std::optional<long long> replaces;
  bool acceptance = false;  // judged as a new gauge from its maker, whatever the dates
  bool imported = false;
  bool force = false;  // keep readings far from the gauge's pitch diameter
};

// The inspection decided: the record as it will be stored, and what it was decided on.
struct DecidedInspection {
  InspectionRecord record;
  GaugeLimits limits;
  Verdict verdict;
  std::vector<std::string> remarks;  // RecordRemarks of the record
};

// Reads the inputs against the gauge and its limits and decides: a pure function of what it
// is given, cheap enough for every keystroke. A gauge inspected on or before its 启用日期
// with no earlier record is being accepted as new, as is one the inspector says is.
std::variant<DecidedInspection, InspectionRefusal> DecideInspection(
    const GaugeEntry& gauge, const InspectionInputs& inputs, const GaugeLimits& limits,
    const Day& today, const std::vector<InspectionRecord>& earlier);

// What a record names of where it was computed: the tolerance database by its file and
// content hash, and this program's version. Read once, stamped on every record saved.
struct DatabaseStamp {
  std::string file, hash, program_version;
};
DatabaseStamp StampOf(const ToleranceDatabase& db);
void Stamp(InspectionRecord& record, const DatabaseStamp& stamp);

// What a stored record tells of its decision besides the verdict, in the words of the
// record: missing limits, the decision rule, that no correction was applied.
std::vector<std::string> RecordRemarks(const InspectionRecord& record);
// The limits as the record stored them, to judge its readings again one by one.
GaugeLimits LimitsOfRecord(const InspectionRecord& record);
// What the keeper must do after a record that does not conform; nothing after one that does.
std::optional<std::string> ActionAfter(const InspectionRecord& record);
// The same, with the command that does it on the command line.
std::string ActionCommands(const std::string& gauge_number);

// The program version recorded with every inspection.
const char* ProgramVersion();

// The verdict's line, naming the limit its margin is measured to: "合格（新制范围内），距新
// 制上限 3.2 µm"; with U, what is left after U is taken into account.
std::string VerdictLine(const Verdict& verdict, std::optional<double> U_um);
// A stored record's verdict line (records older than the limit's name say "距最近极限").
std::string RecordVerdictLine(const InspectionRecord& record);
// A number in mm or µm as the record shows it.
std::string Millimetres(double mm);
std::string Micrometres(double um);

}  // namespace threadgauge
