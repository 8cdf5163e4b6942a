#include "calculation/form_fields.h"

namespace threadgauge {

std::string_view ControlName(OutputField field) {
  static constexpr std::array<std::string_view, kOutputFields.size()> names = {
      "Text2", "Text3", "Text4", "Text5", "Text6", "Text8", "Text9", "Text18", "Text27", "Text28"};
  return names[static_cast<size_t>(field)];
}

std::string_view ControlName(Switchable control) {
  static constexpr std::array<std::string_view, kSwitchables.size()> names = {
      "Label11", "Label16", "Label19", "Label20", "Text3", "Text18"};
  return names[static_cast<size_t>(control)];
}

std::string_view ControlName(Caption caption) {
  return caption == Caption::Label17 ? "Label17" : "Label18";
}

std::string FieldCaption(OutputField field) {
  switch (field) {
    case OutputField::Text2:
      return "大径";
    case OutputField::Text3:
      return "大径偏差";
    case OutputField::Text4:
      return "中径";
    case OutputField::Text5:
      return "中径偏差";
    case OutputField::Text6:
      return "小径";
    case OutputField::Text8:
      return "测量直径";
    case OutputField::Text9:
      return "M 值或 E 值";
    case OutputField::Text18:
      return "小径偏差";
    case OutputField::Text27:
      return "半角公差";
    case OutputField::Text28:
      return "螺距公差";
  }
  return {};
}

void FormState::Apply(const FormUpdate& update) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (update.fields[i]) fields[i] = *update.fields[i];
  }
  for (size_t i = 0; i < visible.size(); ++i) {
    if (update.visible[i]) visible[i] = *update.visible[i];
  }
  for (size_t i = 0; i < captions.size(); ++i) {
    if (update.captions[i]) captions[i] = *update.captions[i];
  }
}

}  // namespace threadgauge
