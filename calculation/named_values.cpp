#include "calculation/named_values.h"

namespace threadgauge {

std::string ShownValue(const FormState& state, OutputField field) {
  if (field == OutputField::Text3 && !state.Visible(Switchable::Text3)) return {};
  if (field == OutputField::Text18 && !state.Visible(Switchable::Text18)) return {};
  return state.Field(field);
}

LimitKind MajorLimit(const FormState& state) {
  return state.Visible(Switchable::Label20) && !state.Visible(Switchable::Text3)
             ? LimitKind::Min
             : LimitKind::PlusMinus;
}

LimitKind MinorLimit(const FormState& state) {
  return state.Visible(Switchable::Label16) && !state.Visible(Switchable::Text18)
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
  return state.CaptionText(Caption::Label17) == "测球直径";
}

}  // namespace threadgauge
