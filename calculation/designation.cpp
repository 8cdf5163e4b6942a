#include "calculation/designation.h"

#include <array>
#include <cctype>
#include <utility>

#include "calculation/thread_series.h"
#include "platform/number_text.h"
#include "platform/utf8.h"

namespace threadgauge {
namespace {

// The designation in plain ASCII, without blanks: the many ways of writing ×, the dash and
// the digits on a Chinese keyboard become one.
std::string Unified(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, char>, 14> kSigns = {{{"\u00D7", 'x'},
                                                                                {"\u2715", 'x'},
                                                                                {"\u2716", 'x'},
                                                                                {"\u2013", '-'},
                                                                                {"\u2014", '-'},
                                                                                {"\u2010", '-'},
                                                                                {"\u2011", '-'},
                                                                                {"\u2012", '-'},
                                                                                {"\u2212", '-'},
                                                                                {"\u3000", ' '},
                                                                                {"\u00A0", ' '},
                                                                                {"\uFF0C", ','},
                                                                                {"\u3002", '.'},
                                                                                {"\uFF0E", '.'}}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool matched = false;
    for (const auto& [sign, ascii] : kSigns) {
      if (text.substr(i, sign.size()) == sign) {
        out += ascii;
        i += sign.size();
        matched = true;
        break;
      }
    }
    if (matched) continue;
    const auto b0 = static_cast<unsigned char>(text[i]);
    // U+FF01 … U+FF5E, the full-width forms of "!" … "~".
    if (b0 == 0xEF && i + 2 < text.size()) {
      const unsigned code = ((b0 & 0x0Fu) << 12) |
                            ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                            (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
      if (code >= 0xFF01 && code <= 0xFF5E) {
        out += static_cast<char>(code - 0xFEE0);
        i += 3;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

std::string Normalised(std::string_view text) {
  const std::string out = Unified(text);
  std::string squeezed;
  for (char c : out) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') squeezed += c == '*' ? 'x' : c;
  }
  return squeezed;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNumberChar(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == ',';
}

// Whether blanks stand between two parts of one number ("M10 6g", "M1 0×1.5"): they are
// not joined, as the user may have meant two numbers.
bool BlankInsideNumber(std::string_view normalised_with_blanks) {
  const std::string_view t = normalised_with_blanks;
  for (size_t i = 0; i < t.size(); ++i) {
    if (!IsBlank(t[i]) || i == 0 || !IsNumberChar(t[i - 1])) continue;
    size_t j = i;
    while (j < t.size() && IsBlank(t[j])) ++j;
    if (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) return true;
  }
  return false;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return at_ == text_.size(); }
  char Peek(size_t ahead = 0) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
  }
  std::string Rest() const { return std::string(text_.substr(at_)); }
  void Skip(size_t count = 1) { at_ += count; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
  }
  bool TakeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool comma_read = false;  // a comma was read as the decimal point

  // A decimal number; a comma between digits is a decimal comma.
  std::optional<double> Number() {
    const size_t start = at_;
    std::string digits;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) digits += text_[at_++];
    if ((Peek() == '.' || Peek() == ',') && std::isdigit(static_cast<unsigned char>(Peek(1)))) {
      comma_read = comma_read || Peek() == ',';
      digits += '.';
      ++at_;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) digits += text_[at_++];
    }
    if (digits.empty()) {
      at_ = start;
      return std::nullopt;
    }
    return ParseStoredNumber(digits);
  }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

std::optional<Position> PositionAt(char c) { return ParsePosition(std::string_view(&c, 1)); }

DesignationError Error(DesignationProblem problem, std::string text = {}, std::string other = {}) {
  return {problem, std::move(text), std::move(other), {}, 0, {}};
}

// The pitch after "×", or the coarse pitch of ISO 261 when none is written.
std::optional<DesignationError> ReadPitch(Reader& in, Designation& thread) {
  if (in.Take('x') || in.Take('X')) {
    if (in.Peek() == 'P' && in.Peek(1) == 'h') {
      return Error(DesignationProblem::MultiStart, "x" + in.Rest());
    }
    const auto P = in.Number();
    if (!P || *P <= 0) {
      return in.AtEnd() ? Error(DesignationProblem::PitchMissing)
                        : Error(DesignationProblem::PitchUnreadable, in.Rest());
    }
    thread.P = *P;
  } else {
    const auto coarse = CoarsePitch(thread.d);
    if (!coarse) {
      const SeriesThread* row = Iso261Thread(thread.d);
      if (row == nullptr) {
        DesignationError error = Error(DesignationProblem::NotInSeries);
        error.d = thread.d;
        return error;
      }
      DesignationError error = Error(DesignationProblem::OnlyFinePitches);
      error.d = thread.d;
      error.fine = row->fine;
      return error;
    }
    thread.P = *coarse;
    thread.coarse = true;
  }
  return std::nullopt;
}

// The class after the first dash: "6H", or "5H6H" with its crest-diameter class.
std::optional<DesignationError> ReadClass(Reader& in, Designation& thread) {
  const char grade = in.Peek();
  if (grade < '0' || grade > '9') {
    return Error(DesignationProblem::ClassExpected, in.Rest());
  }
  in.Skip();
  const auto position = PositionAt(in.Peek());
  if (!position) {
    return in.AtEnd() ? Error(DesignationProblem::ClassIncomplete, "", std::string(1, grade))
                      : Error(DesignationProblem::PositionUnknown, "", std::string(1, in.Peek()));
  }
  in.Skip();
  const auto pitch_class = ParseThreadClass(std::string{grade, Letter(*position)[0]});
  if (!pitch_class) {
    return Error(DesignationProblem::ClassNotInStandard, "",
                 std::string{grade, Letter(*position)[0]});
  }
  thread.thread_class = pitch_class;
  // "5H6H": the crest-diameter class follows the pitch-diameter class, with the same
  // position letter; another letter is a typing error, not a second thread.
  if (std::isdigit(static_cast<unsigned char>(in.Peek())) && PositionAt(in.Peek(1))) {
    const std::string crest = in.Rest().substr(0, 2);
    if (*PositionAt(in.Peek(1)) != *position) {
      DesignationError error = Error(DesignationProblem::CrestPositionDiffers, "", crest);
      error.pitch_class = pitch_class->Text();
      return error;
    }
    thread.crest_class = ParseThreadClass(crest);
    if (!thread.crest_class) {
      return Error(DesignationProblem::ClassNotInStandard, "", crest);
    }
    in.Skip(2);
  }
  return std::nullopt;
}

}  // namespace

std::variant<Designation, DesignationError> ParseDesignation(std::string_view typed) {
  if (BlankInsideNumber(Unified(typed))) {
    return Error(DesignationProblem::BlankInsideNumber, std::string(typed));
  }
  const std::string normalised = Normalised(typed);
  Reader in(normalised);
  if (in.AtEnd()) return Error(DesignationProblem::Empty);
  if (!in.Take('M') && !in.Take('m')) {
    return Error(DesignationProblem::NotMetric, in.Rest());
  }
  Designation thread;
  const auto d = in.Number();
  if (!d || *d <= 0) return Error(DesignationProblem::DiameterExpected, in.Rest());
  thread.d = *d;

  if (auto error = ReadPitch(in, thread)) return *error;
  thread.left_hand = in.TakeWord("LH");

  // After a dash: the class, then the length of engagement, then LH, each at most once and
  // in this order, as ISO 965-1 writes "M6×0.75-5h6h-S-LH".
  bool first = true;
  while (in.Take('-')) {
    const char group = static_cast<char>(std::toupper(static_cast<unsigned char>(in.Peek())));
    const bool alone = in.Peek(1) == '\0' || in.Peek(1) == '-';
    if (in.TakeWord("LH")) {
      thread.left_hand = true;
      if (!in.AtEnd()) return Error(DesignationProblem::LeftHandNotLast, in.Rest());
    } else if ((group == 'S' || group == 'N' || group == 'L') && alone) {
      if (!thread.engagement.empty())
        return Error(DesignationProblem::EngagementTwice, "-" + in.Rest());
      thread.engagement = std::string(1, group);
      in.Skip();
    } else if (first) {
      if (auto error = ReadClass(in, thread)) return *error;
    } else {
      return Error(DesignationProblem::NotUnderstood, "-" + in.Rest());
    }
    first = false;
  }
  if (!in.AtEnd()) return Error(DesignationProblem::NotUnderstood, in.Rest());

  thread.decimal_comma = in.comma_read;
  thread.text = DesignationText(thread);
  return thread;
}

std::string DesignationText(const Designation& thread) {
  std::string text = "M" + PlainDecimal(thread.d);
  if (!thread.coarse) text += "×" + PlainDecimal(thread.P);
  if (thread.thread_class) {
    text +=
        "-" + thread.thread_class->Text() + (thread.crest_class ? thread.crest_class->Text() : "");
  }
  if (!thread.engagement.empty()) text += "-" + thread.engagement;
  if (thread.left_hand) text += "-LH";
  return text;
}

GaugeRequest RequestFor(const Designation& thread, const GaugeKind* kind,
                        const std::string& gauge_name, const std::string& length_range) {
  GaugeRequest request;
  request.d = thread.d;
  request.P = thread.P;
  if (thread.thread_class) request.thread_class = RequestedClass::Of(*thread.thread_class);
  request.kind = kind;
  request.gauge_name = gauge_name;
  request.length_range = length_range;
  return request;
}

std::vector<Notice> ReadingNotices(const Designation& thread, std::string_view typed) {
  std::vector<Notice> notices;
  if (thread.decimal_comma) notices.push_back(DecimalCommaRead{std::string(typed)});
  if (thread.thread_class && thread.crest_class) {
    notices.push_back(GaugesUseClass{thread.thread_class->Text(), thread.crest_class->Text()});
  }
  return notices;
}

}  // namespace threadgauge
