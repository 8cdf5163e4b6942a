#pragma once

#include <array>
#include <string>

#include "calculation/form_fields.h"

namespace threadgauge {

// The ten results by what they are rather than by the window's control names: the names
// the command line's JSON and the column headings of CSV and workbooks use.
struct NamedValue {
  const char* key;      // "major", "pitch_deviation", …
  const char* caption;  // "大径", "中径偏差", …
  OutputField field;
};
// These lists of texts are each file's own (internal linkage): MinGW-w64's g++ 12 puts an
// inline array of string literals in a writable section in some files and a read-only
// one in others, and the linker then refuses the two copies.
[[maybe_unused]] constexpr std::array<NamedValue, 10> kNamedValues = {{
    {"major", "大径", OutputField::MajorDiameter},
    {"major_deviation", "大径偏差", OutputField::MajorDeviation},
    {"pitch_diameter", "中径", OutputField::PitchDiameter},
    {"pitch_deviation", "中径偏差", OutputField::PitchDeviation},
    {"minor", "小径", OutputField::MinorDiameter},
    {"minor_deviation", "小径偏差", OutputField::MinorDeviation},
    {"half_angle", "半角公差(′)", OutputField::HalfAngleTolerance},
    {"pitch_tolerance", "螺距公差", OutputField::PitchTolerance},
    {"element", "三针/测球直径", OutputField::WireOrBall},
    {"measurement", "M/E 值", OutputField::Measurement},
}};

// A value as the window shows it after this calculation: empty when the field is hidden
// by the layout (a plug's minor-diameter deviation) or could not be had.
std::string ShownValue(const FormState& state, OutputField field);

// What a diameter is: a lower limit (a ring's major diameter, "≥"), an upper limit (a
// plug's minor diameter, "≤"), or a size with its ± deviation.
enum class LimitKind { Min, Max, PlusMinus };
LimitKind MajorLimit(const FormState& state);
LimitKind MinorLimit(const FormState& state);
const char* LimitKey(LimitKind kind);      // "min", "max", "±"
const char* LimitCaption(LimitKind kind);  // "最小", "最大", "±"

// Plugs are measured over wires (M), rings over balls (E).
bool MeasuredOverBalls(const FormState& state);

}  // namespace threadgauge
