#include "calculation/named_values.h"

namespace threadgauge {

std::string ShownValue(const FormState& state, OutputField field) {
  if (field == OutputField::MajorDeviation && !state.Visible(Switchable::MajorDeviation)) return {};
  if (field == OutputField::MinorDeviation && !state.Visible(Switchable::MinorDeviation)) return {};
  return state.Field(field);
}

LimitKind MajorLimit(const FormState& state) {
  return state.Visible(Switchable::MajorAtLeast) && !state.Visible(Switchable::MajorDeviation)
             ? LimitKind::Min
             : LimitKind::PlusMinus;
}

LimitKind MinorLimit(const FormState& state) {
  return state.Visible(Switchable::MinorAtMost) && !state.Visible(Switchable::MinorDeviation)
             ? LimitKind::Max
             : LimitKind::PlusMinus;
}

const char* LimitKey(LimitKind kind) {
  return kind == LimitKind::Min ? "min" : kind == LimitKind::Max ? "max" : "±";
}

const char* LimitCaption(LimitKind kind) {
  return kind == LimitKind::Min ? "最小" : kind == LimitKind::Max ? "最大" : "±";
}

bool MeasuredOverBalls(const FormState& state) {
  return state.CaptionText(Caption::Element) == "测球直径";
}

}  // namespace threadgauge
