#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "calculation/form_fields.h"
#include "calculation/notice.h"
#include "tolerance/thread_class.h"

namespace threadgauge {

struct GaugeKind;

// The class as a calculation takes it. The window lets any text through, and the lookups
// then say that the tables have no such column, so both texts are kept as typed; `position`
// is the letter's meaning when it is one of the six.
struct RequestedClass {
  std::string grade;
  std::string position_text;
  std::optional<Position> position;

  static RequestedClass Typed(std::string grade, std::string position);
  static RequestedClass Of(const ThreadClass& thread_class);
  std::string Text() const { return grade + position_text; }
};

// One calculation: d and P as numbers, the class, the gauge kind and the thread length.
struct GaugeRequest {
  double d = 0;  // nominal diameter, mm
  double P = 0;  // pitch, mm
  RequestedClass thread_class;
  const GaugeKind* kind = nullptr;  // none: the gauge name typed is none of the ten
  std::string gauge_name;           // as typed, for the notice when it names no kind
  std::string length_range;         // as picked or typed
  // How d and P were read where that may not be what was meant ("1,25" read as 1).
  std::vector<Notice> reading_notes;
};

// Why 确定 refused the inputs: told in a message box with one OK button.
enum class Rejection {
  NoDiameter,  // the nominal diameter left empty
  NoPitch,     // the pitch left empty
  NoGrade,     // the tolerance grade left empty
  NoPosition,  // the tolerance position left empty
  DiameterNotPositive,
  PitchNotPositive,
  NoGaugeName,      // the gauge name left empty
  PositionUnknown,  // a set of gauges needs a position of the six
};

// The window's and the command line's entrance: the presence checks in their fixed order,
// then d and P as positive numbers (a gauge computed from a nominal diameter of 0 would
// have negative diameters), each read by its leading number.
std::variant<GaugeRequest, Rejection> BuildRequest(const CalculationInputs& inputs);

// The same for the thread alone (diameter, pitch, grade, position and the length), as a
// thread's whole set of gauges needs no gauge name: the request carries no kind.
std::variant<GaugeRequest, Rejection> BuildThreadRequest(const CalculationInputs& inputs);

// The designation of the thread as read: "M10×1.5-6H" from the numbers, never the texts.
std::string DesignationOf(const GaugeRequest& thread);

}  // namespace threadgauge
