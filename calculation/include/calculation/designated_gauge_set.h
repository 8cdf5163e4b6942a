#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "calculation/designation.h"
#include "calculation/gauge_set.h"

namespace threadgauge {

class ToleranceDatabase;

// The thread as read and the whole set of its gauges.
struct DesignatedGaugeSet {
  Designation thread;
  GaugeSet set;
};

// A designation without its class: a set of gauges is for one class, and none is guessed.
struct NoClassInDesignation {
  std::string thread;  // the designation as understood, e.g. "M10×1.5"
};

using GaugeSetRefusal = std::variant<DesignationError, NoClassInDesignation, Rejection>;

// What 本螺纹全套量规 and `sheet` both do with a typed designation: read it, insist on a
// class, and calculate every gauge of the set for the length range on `db`.
std::variant<DesignatedGaugeSet, GaugeSetRefusal> GaugeSetFromDesignation(
    std::string_view typed, const std::string& length_range, const ToleranceDatabase& db);

}  // namespace threadgauge
