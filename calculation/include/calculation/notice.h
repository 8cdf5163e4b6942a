#pragma once

#include <string>
#include <variant>
#include <vector>

#include "calculation/form_fields.h"
#include "platform/number_text.h"
#include "tolerance/lookup_result.h"

namespace threadgauge {

// What only the calculation can tell, beside what the lookups tell.
// The position belongs to the other kind of thread than the gauge checks.
struct WrongThreadKind {
  std::string gauge;            // the gauge name
  std::string position;         // as typed
  std::string column;           // the deviation column asked for, e.g. "EI(g)"
  bool internal_gauge = false;  // the gauge checks an internal thread (a nut)
  friend bool operator==(const WrongThreadKind&, const WrongThreadKind&) = default;
};
// No thread length was chosen: the pitch tolerance cannot be looked up.
struct NoLengthChosen {
  friend bool operator==(const NoLengthChosen&, const NoLengthChosen&) = default;
};
// The diameter or the pitch was read by its leading number otherwise than it may have been meant.
enum class NumberInput { Diameter, Pitch };
struct NumberReadAs {
  NumberInput input;
  std::string typed;
  double read = 0;
  NumberDoubt doubt = NumberDoubt::None;
  std::string dropped;
  friend bool operator==(const NumberReadAs&, const NumberReadAs&) = default;
};
// A designation's decimal comma was read as a decimal point ("M10×1,25" is M10×1.25).
struct DecimalCommaRead {
  std::string typed;
  friend bool operator==(const DecimalCommaRead&, const DecimalCommaRead&) = default;
};
// "5g6g": the gauges check the pitch-diameter class; the crest class is the product's.
struct GaugesUseClass {
  std::string pitch_class;
  std::string crest_class;
  friend bool operator==(const GaugesUseClass&, const GaugesUseClass&) = default;
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
using Notice = std::variant<LookupFailure, WrongThreadKind, ResultTooLarge, UnknownGauge,
                            NoLengthChosen, NumberReadAs, DecimalCommaRead, GaugesUseClass>;

// A notice that only tells how the input was understood: every value was still computed.
bool IsInformational(const Notice& notice);

// The table the user would fill in to remove the notice, when it is one of the gauge
// tables that users supply themselves; empty otherwise.
std::string GaugeTableToFill(const Notice& notice);

// Adds each notice that is not there yet, keeping the order of first appearance.
void AddNotices(std::vector<Notice>& to, const std::vector<Notice>& from);

}  // namespace threadgauge
