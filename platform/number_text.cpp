#include "platform/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace threadgauge {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters typed with a Chinese input method in full-width mode stand for their ASCII
// forms: "１０" is 10, "１．５" is 1.5, "－" a minus sign, the ideographic space a blank.
std::string ToHalfWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
        static_cast<unsigned char>(text[i + 2]) == 0x80) {
      out += ' ';  // U+3000
      i += 2;
      continue;
    }
    // U+2010 … U+2012 (hyphens, the figure dash) and U+2212 (the minus sign) read as "-".
    if (b0 == 0xE2 && i + 2 < text.size()) {
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      if ((b1 == 0x80 && b2 >= 0x90 && b2 <= 0x92) || (b1 == 0x88 && b2 == 0x92)) {
        out += '-';
        i += 2;
        continue;
      }
    }
    if (b0 == 0xEF && i + 2 < text.size()) {
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      // U+FF01 … U+FF5E are the full-width forms of "!" … "~".
      const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && code >= 0xFF01 && code <= 0xFF5E) {
        out += static_cast<char>(code - 0xFEE0);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

namespace {

// The typed text without blanks, and where each of its characters stood in the text.
struct Squeezed {
  std::string text;
  std::vector<size_t> at;
};

Squeezed Squeeze(const std::string& text) {
  Squeezed out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n') continue;
    out.text += c;
    out.at.push_back(i);
  }
  return out;
}

// The leading number of squeezed text: its value and where it ends (0 when there is none).
std::pair<double, size_t> LeadingNumber(const std::string& squeezed) {
  size_t i = 0;
  bool negative = false;
  if (i < squeezed.size() && (squeezed[i] == '+' || squeezed[i] == '-')) {
    negative = squeezed[i] == '-';
    ++i;
  }
  const size_t start = i;
  size_t digits = 0;
  while (i < squeezed.size() && IsDigit(squeezed[i])) ++i, ++digits;
  if (i < squeezed.size() && squeezed[i] == '.') {
    ++i;
    while (i < squeezed.size() && IsDigit(squeezed[i])) ++i, ++digits;
  }
  if (digits == 0) return {0, 0};
  size_t end = i;
  bool negative_exponent = false;
  if (i < squeezed.size() && (squeezed[i] == 'e' || squeezed[i] == 'E')) {
    size_t j = i + 1;
    if (j < squeezed.size() && (squeezed[j] == '+' || squeezed[j] == '-')) {
      negative_exponent = squeezed[j] == '-';
      ++j;
    }
    if (j < squeezed.size() && IsDigit(squeezed[j])) {
      while (j < squeezed.size() && IsDigit(squeezed[j])) ++j;
      end = j;
    }
  }
  double value = 0;
  const auto [ptr, ec] = std::from_chars(squeezed.data() + start, squeezed.data() + end, value);
  if (ec == std::errc::result_out_of_range) {
    value = negative_exponent ? 0.0 : std::numeric_limits<double>::infinity();
  }
  (void)ptr;
  return {negative ? -value : value, end};
}

}  // namespace

double ReadLeadingNumber(std::string_view typed) {
  return LeadingNumber(Squeeze(ToHalfWidth(typed)).text).first;
}

TypedNumber ReadTypedNumber(std::string_view typed) {
  const std::string text = ToHalfWidth(typed);
  const Squeezed squeezed = Squeeze(text);
  const auto [value, end] = LeadingNumber(squeezed.text);
  TypedNumber number{value, NumberDoubt::None, {}};
  if (end == 0) return number;
  // The number's characters stood apart in the typed text: blanks were read as nothing.
  if (squeezed.at[end - 1] - squeezed.at[0] != end - 1) number.doubt = NumberDoubt::BlankInside;
  const std::string rest = text.substr(squeezed.at[end - 1] + 1);
  const std::string& s = squeezed.text;
  if (end + 1 < s.size() && s[end] == ',' && IsDigit(s[end + 1])) {
    number.doubt = NumberDoubt::DecimalComma;
  } else if (std::any_of(rest.begin(), rest.end(), IsDigit) && number.doubt == NumberDoubt::None) {
    number.doubt = NumberDoubt::DigitsDropped;
  }
  if (number.doubt != NumberDoubt::None) number.dropped = rest;
  return number;
}

std::optional<double> ParseStoredNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Only digits may start the number: from_chars would also take "inf" and "nan".
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::string PlainDecimal(double value) {
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return std::string();
  return std::string(buffer, end);
}

}  // namespace threadgauge
