#pragma once

#include <string_view>

namespace threadgauge {

// Reads typed text as its leading decimal number, the way the users' forms always have:
// blanks, tabs and line feeds are ignored wherever they stand; reading stops at the first
// character that cannot continue the number (a comma included); "12abc" reads 12, and a
// text without a leading number reads 0. An exponent ("1e3") is part of the number; one
// too large to hold reads as infinity, which the caller rejects. Full-width digits, point,
// signs and the ideographic space read as their ASCII forms.
double ReadLeadingNumber(std::string_view text);

// Reads a number back from the text a field shows, group separators ignored:
// "1,002.500" reads 1002.5.
double ReadShownNumber(std::string_view text);

}  // namespace threadgauge
