#pragma once

#include <string>
#include <string_view>

namespace threadgauge {

// One field of a CSV line, written so that spreadsheets and our own reader give back the
// same text: quoted when it holds a comma, a quote or a line end, or when it begins or ends
// with a blank that a reader might trim; quotes inside are doubled.
std::string CsvField(std::string_view text);

}  // namespace threadgauge
