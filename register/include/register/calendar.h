#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// A day as the register writes it: "2026-12-07".
using Day = std::chrono::year_month_day;

// "2026-12-07", "2026-1-7", "2026/12/07" or "2026.12.07"; nothing for any other text or a
// day no calendar has (2026-02-30).
std::optional<Day> ParseDay(std::string_view text);
std::string DayText(const Day& day);

// The same day `months` later; the month's last day when it has no such day (Jan 31 + 1
// month is Feb 28 or 29).
Day AddMonths(const Day& day, int months);
// Days from `from` to `to`, negative when `to` is earlier.
long DaysBetween(const Day& from, const Day& to);
Day AddDays(const Day& day, long days);
// Months from a fixed day, as a decimal (the mean month, 30.436875 days): a time axis.
double MonthsOf(const Day& day);
Day DayAtMonths(double months);

// The local calendar day now.
Day Today();

}  // namespace threadgauge
