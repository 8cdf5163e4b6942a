#pragma once

#include <string>
#include <variant>
#include <vector>

#include "calculation/form_fields.h"
#include "tolerance/lookup_result.h"

namespace threadgauge {

// What only the calculation can tell, beside what the lookups tell.
// The position belongs to the other kind of thread than the gauge checks.
struct WrongThreadKind {
  std::string gauge;     // the gauge name
  std::string position;  // as typed
  std::string column;    // the deviation column asked for, e.g. "EI(g)"
  friend bool operator==(const WrongThreadKind&, const WrongThreadKind&) = default;
};
// A result too large to show.
struct ResultTooLarge {
  OutputField field;
  friend bool operator==(const ResultTooLarge&, const ResultTooLarge&) = default;
};
// The gauge name is none of the ten kinds: nothing was computed.
struct UnknownGauge {
  std::string name;
  friend bool operator==(const UnknownGauge&, const UnknownGauge&) = default;
};

// Why a result field stays empty, or what the user must know about a value shown. Shown
// in the window's status line and by the command line.
using Notice = std::variant<LookupFailure, WrongThreadKind, ResultTooLarge, UnknownGauge>;

// The notice in the words of a gauge designer, in Chinese.
std::string DescribeNotice(const Notice& notice);

// The table the user would fill in to remove the notice, when it is one of the gauge
// tables that users supply themselves; empty otherwise.
std::string GaugeTableToFill(const Notice& notice);

// Adds each notice that is not there yet, keeping the order of first appearance.
void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from);

}  // namespace threadgauge
