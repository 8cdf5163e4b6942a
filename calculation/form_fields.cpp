#include "calculation/form_fields.h"

namespace threadgauge {

std::string FieldCaption(OutputField field) {
  switch (field) {
    case OutputField::MajorDiameter:
      return "大径";
    case OutputField::MajorDeviation:
      return "大径偏差";
    case OutputField::PitchDiameter:
      return "中径";
    case OutputField::PitchDeviation:
      return "中径偏差";
    case OutputField::MinorDiameter:
      return "小径";
    case OutputField::WireOrBall:
      return "测量直径";
    case OutputField::Measurement:
      return "M 值或 E 值";
    case OutputField::MinorDeviation:
      return "小径偏差";
    case OutputField::HalfAngleTolerance:
      return "半角公差";
    case OutputField::PitchTolerance:
      return "螺距公差";
  }
  return {};
}

void FormState::Apply(const FormUpdate& update) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (update.fields[i]) {
      fields[i] = *update.fields[i];
      numbers[i] = update.numbers[i];
    }
  }
  for (size_t i = 0; i < visible.size(); ++i) {
    if (update.visible[i]) visible[i] = *update.visible[i];
  }
  for (size_t i = 0; i < captions.size(); ++i) {
    if (update.captions[i]) captions[i] = *update.captions[i];
  }
}

}  // namespace threadgauge
