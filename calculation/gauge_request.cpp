#include "calculation/gauge_request.h"

#include <cmath>

#include "calculation/gauge_kind.h"
#include "platform/number_text.h"

namespace threadgauge {
namespace {

bool Positive(double value) { return std::isfinite(value) && value > 0; }

std::optional<Rejection> MissingThreadInput(const CalculationInputs& in) {
  // Exactly empty: a text of blanks passes here and is judged as a number later.
  if (in.nominal_diameter.empty()) return Rejection::NoDiameter;
  if (in.pitch.empty()) return Rejection::NoPitch;
  if (in.grade.empty()) return Rejection::NoGrade;
  if (in.position.empty()) return Rejection::NoPosition;
  return std::nullopt;
}

// d and P as the leading-number rule reads them, with a note where the rule may have read
// otherwise than the user meant.
std::variant<GaugeRequest, Rejection> ThreadOf(const CalculationInputs& in) {
  const TypedNumber d = ReadTypedNumber(in.nominal_diameter);
  const TypedNumber P = ReadTypedNumber(in.pitch);
  if (!Positive(d.value)) return Rejection::DiameterNotPositive;
  if (!Positive(P.value)) return Rejection::PitchNotPositive;
  GaugeRequest request;
  request.d = d.value;
  request.P = P.value;
  request.thread_class = RequestedClass::Typed(in.grade, in.position);
  request.length_range = in.length_range;
  for (const auto& [input, typed, number] :
       {std::tuple{NumberInput::Diameter, &in.nominal_diameter, &d},
        {NumberInput::Pitch, &in.pitch, &P}}) {
    if (number->doubt != NumberDoubt::None) {
      request.reading_notes.push_back(
          NumberReadAs{input, *typed, number->value, number->doubt, number->dropped});
    }
  }
  return request;
}

}  // namespace

RequestedClass RequestedClass::Typed(std::string grade, std::string position) {
  RequestedClass typed{std::move(grade), std::move(position), std::nullopt};
  typed.position = ParsePosition(typed.position_text);
  return typed;
}

RequestedClass RequestedClass::Of(const ThreadClass& thread_class) {
  return {thread_class.grade, Letter(thread_class.position), thread_class.position};
}

std::variant<GaugeRequest, Rejection> BuildRequest(const CalculationInputs& in) {
  if (auto missing = MissingThreadInput(in)) return *missing;
  if (in.gauge_name.empty()) return Rejection::NoGaugeName;
  auto built = ThreadOf(in);
  if (auto* request = std::get_if<GaugeRequest>(&built)) {
    request->kind = FindGaugeKind(in.gauge_name);
    request->gauge_name = in.gauge_name;
  }
  return built;
}

std::variant<GaugeRequest, Rejection> BuildThreadRequest(const CalculationInputs& in) {
  if (auto missing = MissingThreadInput(in)) return *missing;
  return ThreadOf(in);
}

std::string DesignationOf(const GaugeRequest& thread) {
  return "M" + PlainDecimal(thread.d) + "×" + PlainDecimal(thread.P) + "-" +
         thread.thread_class.Text();
}

}  // namespace threadgauge
