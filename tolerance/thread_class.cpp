#include "tolerance/thread_class.h"

#include <algorithm>

namespace threadgauge {

std::optional<Position> ParsePosition(std::string_view letter) {
  for (size_t i = 0; i < kPositionLetters.size(); ++i) {
    if (letter == kPositionLetters[i]) return static_cast<Position>(i);
  }
  return std::nullopt;
}

std::span<const char* const> GradesOf(bool internal) {
  // Grades 4 … 8 for nuts, 3 … 9 for bolts.
  return internal ? std::span(kAllGrades).subspan(1, 5) : std::span(kAllGrades);
}

bool HasGrade(Position position, std::string_view grade) {
  const auto grades = GradesOf(IsInternal(position));
  return std::any_of(grades.begin(), grades.end(), [&](const char* g) { return grade == g; });
}

std::optional<ThreadClass> ParseThreadClass(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() != 2) return std::nullopt;
  const auto position = ParsePosition(text.substr(1));
  if (!position || !HasGrade(*position, text.substr(0, 1))) return std::nullopt;
  return ThreadClass{std::string(text.substr(0, 1)), *position};
}

}  // namespace threadgauge
