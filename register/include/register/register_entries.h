#pragma once

#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace threadgauge {

// These lists of texts are each file's own (internal linkage): MinGW-w64's g++ 12 puts an
// inline array of string literals in a writable section in some files and a read-only
// one in others, and the linker then refuses the two copies.
// The states a gauge in the register can be in; a gauge with records is never deleted,
// it is retired (报废) and keeps its history.
[[maybe_unused]] constexpr std::array<const char*, 4> kGaugeStates = {"在用", "停用", "封存",
                                                                      "报废"};
[[maybe_unused]] constexpr const char* kRetired = "报废";
[[maybe_unused]] constexpr const char* kInUse = "在用";

// One physical gauge of the workshop.
struct GaugeEntry {
  std::string number;  // 编号, the user's own, unique: "TG-2024-017"
  std::string thread;  // the designation as the gauge set reads it: "M10×1.5-6g"
  std::string kind;    // one of the ten gauge names
  std::string length;  // the thread-length range as the window lists it; may be empty
  std::string maker, serial;
  std::string since;  // 启用日期, "2026-12-07" or empty
  int interval_months = 12;
  std::string department, keeper;
  std::string state = kInUse;
  std::string notes;
  // How many times a server register's gauge had been changed when it was read (0 in a
  // file): a change made on what someone else has changed since is refused. Not part of
  // what the gauge is.
  long long revision = 0;
  friend bool operator==(const GaugeEntry& a, const GaugeEntry& b) {
    return std::tie(a.number, a.thread, a.kind, a.length, a.maker, a.serial, a.since,
                    a.interval_months, a.department, a.keeper, a.state, a.notes) ==
           std::tie(b.number, b.thread, b.kind, b.length, b.maker, b.serial, b.since,
                    b.interval_months, b.department, b.keeper, b.state, b.notes);
  }
};

// How the pitch diameter was found.
enum class InspectionMethod { Wires, Balls, CheckPlugs };
const char* MethodKey(InspectionMethod method);  // "wires", "balls", "checks"
std::optional<InspectionMethod> MethodOfKey(const std::string& key);

// Where along the gauge's thread a reading was taken: "起始", "中间", "末端", or empty.
[[maybe_unused]] constexpr std::array<const char*, 3> kReadingPositions = {"起始", "中间", "末端"};

struct MeasuredReading {
  double value = 0;           // M or E as read, mm
  double pitch_diameter = 0;  // mm
  std::string position;
  friend bool operator==(const MeasuredReading&, const MeasuredReading&) = default;
};
struct CheckPlugResult {
  std::string plug;  // the check plug's gauge name
  bool passed = false;
  std::string gauge_number;  // the 编号 of the check plug used, when given
  friend bool operator==(const CheckPlugResult&, const CheckPlugResult&) = default;
};

// The measuring instrument the readings were taken with (a length measuring machine, a
// micrometer …), as its calibration certificate names it.
struct MeasuringInstrument {
  std::string name, number, certificate;
  std::string valid_until;  // the certificate's last day, "2027-06-30" or empty
  friend bool operator==(const MeasuringInstrument&, const MeasuringInstrument&) = default;
};

// One inspection as it was decided: the inputs, and the limits and verdict as computed
// then, with the tolerance database and the program that computed them. Never changed: a
// correction is a new record that names the one it replaces.
struct InspectionRecord {
  long long id = 0;
  std::string gauge_number;
  std::string date;  // "2026-12-07"
  std::string inspector;
  double temperature = 20;  // °C
  InspectionMethod method = InspectionMethod::Wires;
  std::optional<double> element;  // the wires' or balls' actual diameter, mm
  std::string element_certificate;
  std::vector<MeasuredReading> readings;
  std::vector<CheckPlugResult> checks;
  std::optional<double> major;        // measured major diameter, mm
  std::optional<double> uncertainty;  // expanded uncertainty U, µm
  std::optional<double> coverage_k;   // the coverage factor U was stated with
  MeasuringInstrument instrument;
  std::string notes;
  bool acceptance = false;  // a new gauge accepted against its manufacturing zone
  bool imported = false;    // taken over from the keeper's earlier history (导入)
  std::optional<long long> replaces;
  // The gauge as it was registered when inspected.
  std::string thread, kind, length;
  std::string database_file, database_hash, program_version;
  std::optional<double> limit_low, limit_high, wear_limit;  // mm
  bool has_wear_limit = false;
  std::string limits_note;  // why a limit is missing, when one is
  std::string verdict;      // "new", "worn", "worn_out", "out_of_tolerance", "undecided"
  std::string verdict_text;
  std::optional<double> margin_um;
  std::string margin_limit;  // MarginLimitKey of the limit the margin is measured to
  std::string created;       // when it was saved, local time
  // SHA-256 over the record's content and the previous record's hash: a record changed,
  // taken out or put in afterwards breaks the chain from there on.
  std::string hash;
  // Filled when read back: the record that replaced this one, if any.
  std::optional<long long> replaced_by;
};

}  // namespace threadgauge
