#include "control_names.h"

namespace threadgauge {

std::string_view ControlName(OutputField field) {
  switch (field) {
    case OutputField::MajorDiameter:
      return "Text2";
    case OutputField::MajorDeviation:
      return "Text3";
    case OutputField::PitchDiameter:
      return "Text4";
    case OutputField::PitchDeviation:
      return "Text5";
    case OutputField::MinorDiameter:
      return "Text6";
    case OutputField::WireOrBall:
      return "Text8";
    case OutputField::Measurement:
      return "Text9";
    case OutputField::MinorDeviation:
      return "Text18";
    case OutputField::HalfAngleTolerance:
      return "Text27";
    case OutputField::PitchTolerance:
      return "Text28";
  }
  return {};
}

std::string_view ControlName(Switchable control) {
  switch (control) {
    case Switchable::MajorPlusMinus:
      return "Label11";
    case Switchable::MinorAtMost:
      return "Label16";
    case Switchable::MinorPlusMinus:
      return "Label19";
    case Switchable::MajorAtLeast:
      return "Label20";
    case Switchable::MajorDeviation:
      return "Text3";
    case Switchable::MinorDeviation:
      return "Text18";
  }
  return {};
}

std::string_view ControlName(Caption caption) {
  return caption == Caption::Element ? "Label17" : "Label18";
}

}  // namespace threadgauge
