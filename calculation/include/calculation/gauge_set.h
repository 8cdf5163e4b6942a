#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "calculation/calculate.h"
#include "calculation/gauge_request.h"

namespace threadgauge {

class ToleranceDatabase;

// One gauge of a thread's set: its calculation, and its values as the window's layout
// shows them ("10.020 ± 0.0120", "≥ 19.974", "≤ 8.376"; "—" for a value that could not be
// had, the notices saying why).
struct GaugeKind;

struct GaugeSetRow {
  const GaugeKind* kind = nullptr;
  std::string gauge;
  CalculationResult result;
  FormState shown;  // the window after this one calculation
  std::string major, pitch, minor, half_angle, pitch_tolerance, element, measurement;
};

// A pitch-diameter zone of the diagram, in µm from the basic pitch diameter d2.
struct Zone {
  std::optional<double> lower, upper;
};

// The gauges' pitch-diameter zones beside the thread's: the picture a metrologist draws
// to check a gauge set at a glance.
struct ZoneDiagram {
  double d2 = 0;          // mm
  bool internal = false;  // the thread is a nut (G, H)
  Zone thread;            // EI … EI + TD2, or es − Td2 … es
  struct GaugeZone {
    std::string gauge;
    Zone zone;                   // pitch diameter ± its deviation, as shown
    std::optional<double> wear;  // the wear limit, where the tables give one
    bool wear_known = false;     // false: the tables give no wear limit for this gauge
  };
  std::vector<GaugeZone> gauges;
};

struct GaugeSet {
  std::string designation;        // e.g. "M10×1.5-6H"
  std::string length_range;       // as picked or typed
  std::vector<GaugeSetRow> rows;  // in the order of the window's list
  std::vector<Notice> notices;    // each once, for the whole set
  std::filesystem::path database;
  std::optional<CodePageChoice> database_code_page;
  ZoneDiagram diagram;
};

// The gauges of the thread (a request without a kind): the GO and NOT-GO plugs of an
// internal thread (G, H); the GO and NOT-GO rings and their six check plugs of an external
// one (e, f, g, h). Each is exactly the calculation of one press of 确定 for that gauge.
std::variant<GaugeSet, Rejection> CalculateGaugeSet(const GaugeRequest& thread,
                                                    const std::string& designation,
                                                    const ToleranceDatabase& db);

// The window's thread (diameter, pitch, grade, position and the length), its presence checks
// applied; the gauge name is not used. The heading shows d and P as read.
std::variant<GaugeSet, Rejection> CalculateGaugeSet(const CalculationInputs& inputs,
                                                    const ToleranceDatabase& db);

}  // namespace threadgauge
