#include "tolerance/range_bounds.h"

#include <array>
#include <string_view>

#include "platform/number_text.h"

namespace threadgauge {

bool IsOpenBound(const std::string& text) {
  // "-", "–", "—", "－" and blanks; "——" is how Chinese tables print a dash.
  static constexpr std::array<std::string_view, 8> kOpen = {" ", "\t",     "\r",     "\n",
                                                            "-", "\u2013", "\u2014", "\uFF0D"};
  std::string_view rest = text;
  while (!rest.empty()) {
    bool matched = false;
    for (std::string_view piece : kOpen) {
      if (rest.substr(0, piece.size()) == piece) {
        rest.remove_prefix(piece.size());
        matched = true;
        break;
      }
    }
    if (!matched) return false;
  }
  return true;
}

Bound ReadBound(const std::optional<std::string>& text) {
  if (!text || IsOpenBound(*text)) return Bound{};
  if (const auto number = ParseStoredNumber(*text)) return Bound{*number, std::nullopt};
  return Bound{ReadLeadingNumber(*text), *text};
}

Bound ReadBound(const Cell& cell) {
  switch (cell.kind) {
    case Cell::Kind::Null:
      return Bound{};
    case Cell::Kind::Integer:
    case Cell::Kind::Real:
      return Bound{cell.number, std::nullopt};
    case Cell::Kind::Text:
      return ReadBound(std::optional<std::string>(cell.text));
    case Cell::Kind::Blob:
      break;
  }
  return Bound{0, std::string("(binary)")};
}

RangeJoin JoinOf(const Range& previous, const Range& next) {
  if (next.lower < previous.lower) return RangeJoin::Descending;
  if (next.lower > previous.upper) return RangeJoin::Gap;
  if (next.lower < previous.upper) return RangeJoin::Overlap;
  return RangeJoin::Joined;
}

}  // namespace threadgauge
