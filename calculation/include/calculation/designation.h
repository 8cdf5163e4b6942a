#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calculation/gauge_request.h"
#include "tolerance/thread_class.h"

namespace threadgauge {

// A metric ISO thread as users write it: "M10×1.5-6H", "M12-6g", "M16×1.5LH-5g6g-L".
struct Designation {
  std::string text;  // as understood, written the standard way, e.g. "M10×1.5-6H"
  double d = 0;
  double P = 0;
  bool coarse = false;  // P taken from the ISO 261 table, as none was written
  // The pitch-diameter class, which the gauges check; none when no class was written.
  std::optional<ThreadClass> thread_class;
  // "6H" of "5H6H": the crest-diameter class, part of the designation, not of the gauges.
  std::optional<ThreadClass> crest_class;
  bool left_hand = false;      // "LH": does not change the gauge dimensions
  std::string engagement;      // "S", "N" or "L": neither does the length of engagement
  bool decimal_comma = false;  // "M10×1,25": a comma was read as the decimal point
};

// Why a designation was not understood. `text` is the part not understood (or the whole
// typed text), as the user wrote it; the words name it and show a correct example.
enum class DesignationProblem {
  Empty,                 // nothing typed
  BlankInsideNumber,     // "M1 0"
  NotMetric,             // not beginning with M
  DiameterExpected,      // no number after M
  MultiStart,            // "Ph3P1.5": multi-start threads are not calculated
  PitchMissing,          // "M10×" and nothing after it
  PitchUnreadable,       // no positive number after ×
  NotInSeries,           // no pitch written, and d is not in ISO 261
  OnlyFinePitches,       // no pitch written, and d has fine pitches only (`fine`)
  ClassExpected,         // no grade digit after the dash
  ClassIncomplete,       // a grade without its position letter (`other`: the grade)
  PositionUnknown,       // `other`: the letter that is no position
  ClassNotInStandard,    // `other`: a class ISO 965-1 does not have
  CrestPositionDiffers,  // `other`: the crest class, `pitch_class`: the pitch-diameter class
  LeftHandNotLast,       // something after "LH"
  EngagementTwice,       // S, N or L written twice
  NotUnderstood,         // anything else left over
};
struct DesignationError {
  DesignationProblem problem = DesignationProblem::NotUnderstood;
  std::string text;
  std::string other;
  std::string pitch_class;
  double d = 0;
  std::vector<double> fine;
};

// Reads a designation. "M" in either case; blanks between the parts, never inside a
// number; "×", "x", "X", "*" or a full-width "×" between d and P; "-", "–", "—", "－" or
// another hyphen or minus sign before the class; full-width digits and a decimal comma.
// The class is one ISO 965-1 has, and a crest class has the same position letter
// ("5g6g"). When P is omitted, the coarse pitch of d is taken from ISO 261.
// Multi-start threads ("Ph3P1.5") are not understood.
std::variant<Designation, DesignationError> ParseDesignation(std::string_view text);

// The designation written the standard way: "M10×1.5-6H", "M12-6g", "M6×0.75-5h6h-L-LH";
// the pitch is left out when it is the coarse pitch that was not written.
std::string DesignationText(const Designation& thread);

// The calculation of one gauge of the thread (which carries its class). `kind` is none
// when `gauge_name` names none of the ten kinds.
GaugeRequest RequestFor(const Designation& thread, const GaugeKind* kind,
                        const std::string& gauge_name, const std::string& length_range);

// What the designation's reading must tell: a decimal comma read as a point, and which
// class the gauges use when a crest class was written.
std::vector<Notice> ReadingNotices(const Designation& thread, std::string_view typed);

}  // namespace threadgauge
