#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// Reads text as its leading decimal number, the way the users' forms always have: blanks,
// tabs and line feeds are ignored wherever they stand; reading stops at the first
// character that cannot continue the number (a comma included); "12abc" reads 12, and a
// text without a leading number reads 0. An exponent ("1e3") is part of the number; one
// too large to hold reads as infinity, which the caller rejects. Full-width digits, point,
// signs and the ideographic space read as their ASCII forms.
double ReadLeadingNumber(std::string_view text);

// What the leading-number rule may have read otherwise than the user meant: a decimal
// comma ("1,25" reads 1), blanks inside the number ("10 12" reads 1012), or digits after
// it that it dropped ("1.5/2" reads 1.5). Letters after it ("12abc", "10mm") are no doubt.
enum class NumberDoubt { None, DecimalComma, BlankInside, DigitsDropped };
struct TypedNumber {
  double value = 0;  // what ReadLeadingNumber reads
  NumberDoubt doubt = NumberDoubt::None;
  std::string dropped;  // the typed text after the number, when in doubt
};
TypedNumber ReadTypedNumber(std::string_view text);

// A number stored as text in a numeric column: blanks around it are allowed, anything
// else (a unit, a second number, "nan") makes it not a number. Stricter than reading
// typed input, because a half-readable table value must not pass as a tolerance.
std::optional<double> ParseStoredNumber(std::string_view text);

// Shortest plain decimal text of a number: 1.5 gives "1.5", 2 gives "2", never an exponent.
std::string PlainDecimal(double value);

}  // namespace threadgauge
