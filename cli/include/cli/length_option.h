#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace threadgauge {

// --length takes a range's text as the window lists it, or a length in mm: then the range
// that holds it is taken, and said on `err`. Nothing, with the reason on `err`, for a length
// no range holds.
std::optional<std::string> LengthOption(const std::string& typed, std::ostream& err);

}  // namespace threadgauge
