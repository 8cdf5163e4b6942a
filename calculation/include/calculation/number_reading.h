#pragma once

#include <string_view>

namespace threadgauge {

// Reads a number back from the text a field shows, group separators ignored:
// "1,002.500" reads 1002.5.
double ReadShownNumber(std::string_view text);

}  // namespace threadgauge
