#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// A number stored as text in a numeric column: blanks around it are allowed, anything
// else (a unit, a second number, "nan") makes it not a number. Stricter than reading
// typed input, because a half-readable table value must not pass as a tolerance.
std::optional<double> ParseStoredNumber(std::string_view text);

// Shortest plain decimal text of a number: 1.5 gives "1.5", 2 gives "2", never an exponent.
std::string PlainDecimal(double value);

}  // namespace threadgauge
