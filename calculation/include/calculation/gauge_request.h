#pragma once

#include <optional>
#include <string>
#include <variant>

#include "calculation/form_fields.h"

namespace threadgauge {

struct GaugeRequest {
  double d = 0;  // nominal diameter, mm
  double P = 0;  // pitch, mm
  std::string grade;
  std::string position;
  std::string gaugeName;
  std::string lengthRange;
};

// The message a rejected input gets, in a message box with one OK button.
struct Rejection {
  std::string message;
};

// The presence checks in their fixed order, then d and P as positive numbers: a gauge
// computed from a nominal diameter of 0 would have negative diameters.
std::variant<GaugeRequest, Rejection> BuildRequest(const FormInputs& inputs);

// The same checks for the thread alone (Text1 and Combo1 to Combo3), as a thread's whole
// set of gauges needs no gauge name.
std::optional<Rejection> MissingThreadInput(const FormInputs& inputs);
std::optional<Rejection> NotPositive(const FormInputs& inputs);

}  // namespace threadgauge
