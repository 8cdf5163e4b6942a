#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "calculation/form_fields.h"

namespace threadgauge {

// A metric ISO thread as users write it: "M10×1.5-6H", "M12-6g", "M16×1.5LH-5g6g-L".
struct Designation {
  std::string text;  // as understood, written the standard way, e.g. "M10×1.5-6H"
  double d = 0;
  double P = 0;
  bool coarse = false;      // P taken from the ISO 261 table, as none was written
  std::string grade;        // "6"; empty when no class was written
  std::string position;     // "H", "g": the case is kept, H and h are other threads
  std::string crest_class;  // "6H" of "5H6H": part of the designation, not of the gauges
  bool left_hand = false;   // "LH": does not change the gauge dimensions
  std::string engagement;   // "S", "N" or "L": neither does the length of engagement
};

// The message names the part that was not understood and shows a correct example.
struct DesignationError {
  std::string message;
};

// Reads a designation. "M" in either case; blanks anywhere; "×", "x", "X", "*" or a
// full-width "×" between d and P; "-", "–", "—" or "－" before the class; full-width digits
// and a decimal comma. When P is omitted, the coarse pitch of d is taken from the ISO 261
// table we ship. Multi-start threads ("Ph3P1.5") are not understood.
std::variant<Designation, DesignationError> ParseDesignation(std::string_view text);

// The designation written the standard way: "M10×1.5-6H", "M12-6g", "M6×0.75-5h6h-L-LH";
// the pitch is left out when it is the coarse pitch that was not written.
std::string DesignationText(const Designation& thread);

// The window's inputs for the thread: d and P as plain decimal text, the grade and the
// position, with the gauge name and the thread length given.
FormInputs InputsOf(const Designation& thread, const std::string& gauge,
                    const std::string& length_range);

}  // namespace threadgauge
