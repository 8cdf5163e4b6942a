#pragma once

#include <optional>
#include <string>

namespace threadgauge {

// The three number formats of the result fields.
enum class NumberFormat {
  Size,            // "##,##0.000": diameters, wire and ball, M and E
  Deviation,       // "##,##0.0000": the ± deviations
  PitchTolerance,  // "0.000": the pitch tolerance TP
};

// The text a field shows for a number: first taken to 15 significant decimal digits,
// then rounded half away from zero to the format's decimals (8.96775 shows "8.968"),
// "," between groups of three in the sized formats, "-" before a negative number.
// No text for infinity or NaN: such a value has no digits to show.
struct FormattedNumber {
  std::string text;
  double number = 0;  // exactly the decimal the text shows, which later steps compute with
};
std::optional<FormattedNumber> FormatNumber(double value, NumberFormat format);

}  // namespace threadgauge
