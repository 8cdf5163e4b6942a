#include "register/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace threadgauge {
namespace {

constexpr double kDaysPerMonth = 30.436875;  // 365.2425 / 12

std::optional<int> ReadNumber(std::string_view& text, size_t max_digits) {
  int value = 0;
  size_t digits = 0;
  while (!text.empty() && text.front() >= '0' && text.front() <= '9' && digits < max_digits) {
    value = value * 10 + (text.front() - '0');
    text.remove_prefix(1);
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

bool ReadSeparator(std::string_view& text, char separator) {
  if (text.empty() || text.front() != separator) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<Day> ParseDay(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const auto year = ReadNumber(text, 4);
  if (!year || *year < 1900 || text.empty()) return std::nullopt;
  const char separator = text.front();
  if (separator != '-' && separator != '/' && separator != '.') return std::nullopt;
  text.remove_prefix(1);
  const auto month = ReadNumber(text, 2);
  if (!month || !ReadSeparator(text, separator)) return std::nullopt;
  const auto day = ReadNumber(text, 2);
  if (!day || !text.empty()) return std::nullopt;
  const Day read{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                 std::chrono::day(static_cast<unsigned>(*day))};
  if (!read.ok()) return std::nullopt;
  return read;
}

std::string DayText(const Day& day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return text;
}

Day AddMonths(const Day& day, int months) {
  const std::chrono::year_month moved =
      std::chrono::year_month(day.year(), day.month()) + std::chrono::months(months);
  const Day last{
      std::chrono::year_month_day_last(moved.year(), std::chrono::month_day_last(moved.month()))};
  return {moved.year(), moved.month(), std::min(day.day(), last.day())};
}

long DaysBetween(const Day& from, const Day& to) {
  return static_cast<long>((std::chrono::sys_days(to) - std::chrono::sys_days(from)).count());
}

Day AddDays(const Day& day, long days) {
  return Day(std::chrono::sys_days(day) + std::chrono::days(days));
}

double MonthsOf(const Day& day) {
  return static_cast<double>(std::chrono::sys_days(day).time_since_epoch().count()) / kDaysPerMonth;
}

Day DayAtMonths(double months) {
  const auto days = static_cast<long>(std::floor(months * kDaysPerMonth));
  return Day(std::chrono::sys_days(std::chrono::days(days)));
}

Day Today() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);  // read at once, before any other call
  return {std::chrono::year(local->tm_year + 1900),
          std::chrono::month(static_cast<unsigned>(local->tm_mon + 1)),
          std::chrono::day(static_cast<unsigned>(local->tm_mday))};
}

}  // namespace threadgauge
