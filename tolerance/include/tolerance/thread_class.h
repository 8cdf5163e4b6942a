#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace threadgauge {

// The tolerance positions of ISO 965-1: G and H for internal threads (nuts), e, f, g and h
// for external threads (bolts). The case is part of the letter: H and h are other threads.
enum class Position { G, H, e, f, g, h };
inline constexpr std::array<const char*, 6> kPositionLetters = {"G", "H", "e", "f", "g", "h"};

constexpr bool IsInternal(Position p) { return p == Position::G || p == Position::H; }
constexpr const char* Letter(Position p) { return kPositionLetters[static_cast<size_t>(p)]; }
// Exactly one of the six letters.
std::optional<Position> ParsePosition(std::string_view letter);

// The grades of the pitch-diameter tolerance in ISO 965-1: TD2 of internal threads has
// grades 4 … 8, Td2 of external threads 3 … 9. `kAllGrades` is both, ascending.
inline constexpr std::array<const char*, 7> kAllGrades = {"3", "4", "5", "6", "7", "8", "9"};
std::span<const char* const> GradesOf(bool internal);
bool HasGrade(Position position, std::string_view grade);

// A tolerance class the standard has, such as 6H or 5g.
struct ThreadClass {
  std::string grade;
  Position position = Position::H;
  std::string Text() const { return grade + Letter(position); }
  friend bool operator==(const ThreadClass&, const ThreadClass&) = default;
};

// "6H", "5g" with blanks around allowed; nothing for a class ISO 965-1 does not have
// (a grade the position's kind lacks, such as 9H or 3G, or a position that is none of six).
std::optional<ThreadClass> ParseThreadClass(std::string_view text);

}  // namespace threadgauge
