#pragma once

#include <QFont>
#include <array>

#include "calculation/form_fields.h"

namespace threadgauge {

// The form's design: every visible control with its name, kind, place and size in twips
// (1440 per inch), caption or initial text, font and visibility at start.
enum class ControlKind { Label, TextBox, ComboBox, Button, Line };

// The font a control carries: the form's default "宋体" 14.25 pt, or its own "宋体" size.
enum class ControlFont { Default, Song12, Song9 };

// The face of the form's fonts: "宋体" at the design's size.
QFont FontOf(ControlFont font);

struct ControlDesign {
  const char* name;
  ControlKind kind;
  int left, top, width, height;  // twips; a line's width and height are its extent
  const char* caption;
  ControlFont font;
  bool visible;
};

inline constexpr int kTwipsPerPixel = 15;  // 1440 twips per inch at 96 pixels per inch
inline constexpr int kClientWidthTwips = 12840;
inline constexpr int kClientHeightTwips = 9375;

// These lists of texts are each file's own (internal linkage): MinGW-w64's g++ 12 puts an
// inline array of string literals in a writable section in some files and a read-only
// one in others, and the linker then refuses the two copies.
// In the form's order of description: input band, then result band.
// clang-format off
[[maybe_unused]] constexpr std::array kForm1Controls = {
    ControlDesign{"Label1", ControlKind::Label, 960, 1680, 1695, 375, "  公 称 直 径", ControlFont::Song12, true},
    ControlDesign{"Label2", ControlKind::Label, 3240, 1680, 1575, 375, "   螺    距", ControlFont::Song12, true},
    ControlDesign{"Label6", ControlKind::Label, 5520, 1680, 1455, 375, "公 差 等 级", ControlFont::Song12, true},
    ControlDesign{"Label7", ControlKind::Label, 7200, 1680, 1095, 375, " 公 差 带", ControlFont::Song12, true},
    ControlDesign{"Label8", ControlKind::Label, 8760, 1680, 1695, 375, "   量 规 名 称", ControlFont::Song12, true},
    ControlDesign{"Label4", ControlKind::Label, 360, 2040, 615, 375, "  M", ControlFont::Default, true},
    ControlDesign{"Text1", ControlKind::TextBox, 1080, 2040, 1695, 375, "", ControlFont::Default, true},
    ControlDesign{"Label3", ControlKind::Label, 2640, 2160, 615, 375, "  ×", ControlFont::Song12, true},
    ControlDesign{"Combo1", ControlKind::ComboBox, 3240, 2040, 1695, 405, "", ControlFont::Default, true},
    ControlDesign{"Label5", ControlKind::Label, 4920, 2160, 495, 375, " －", ControlFont::Song12, true},
    ControlDesign{"Combo2", ControlKind::ComboBox, 5400, 2040, 1575, 405, "", ControlFont::Default, true},
    ControlDesign{"Combo3", ControlKind::ComboBox, 7200, 2040, 1215, 405, "", ControlFont::Default, true},
    ControlDesign{"Combo4", ControlKind::ComboBox, 8640, 2040, 2775, 405, "", ControlFont::Default, true},
    ControlDesign{"Label23", ControlKind::Label, 7080, 3000, 1815, 375, "螺纹部分长度", ControlFont::Default, true},
    ControlDesign{"Combo5", ControlKind::ComboBox, 9120, 2880, 2295, 405, "", ControlFont::Default, true},
    ControlDesign{"Command1", ControlKind::Button, 11640, 2760, 1095, 615, "确定", ControlFont::Song9, true},
    ControlDesign{"Line1", ControlKind::Line, 120, 3600, 12720, 0, "", ControlFont::Default, true},
    ControlDesign{"Label10", ControlKind::Label, 2520, 3840, 1095, 495, " 尺  寸", ControlFont::Song12, true},
    ControlDesign{"Label12", ControlKind::Label, 4680, 3840, 1095, 495, "  偏  差", ControlFont::Song12, true},
    ControlDesign{"Label9", ControlKind::Label, 840, 4320, 1335, 615, "大  径", ControlFont::Song12, true},
    ControlDesign{"Label20", ControlKind::Label, 1800, 4320, 615, 375, "≥", ControlFont::Default, DesignVisible(Switchable::MajorAtLeast)},
    ControlDesign{"Text2", ControlKind::TextBox, 2400, 4200, 1380, 375, "", ControlFont::Default, true},
    ControlDesign{"Label11", ControlKind::Label, 3960, 4320, 495, 375, "±", ControlFont::Default, DesignVisible(Switchable::MajorPlusMinus)},
    ControlDesign{"Text3", ControlKind::TextBox, 4440, 4200, 1500, 375, "", ControlFont::Default, DesignVisible(Switchable::MajorDeviation)},
    ControlDesign{"Label13", ControlKind::Label, 840, 5040, 855, 375, "中  径", ControlFont::Song12, true},
    ControlDesign{"Text4", ControlKind::TextBox, 2400, 4920, 1380, 375, "", ControlFont::Default, true},
    ControlDesign{"Label14", ControlKind::Label, 3960, 5040, 495, 375, "±", ControlFont::Default, true},
    ControlDesign{"Text5", ControlKind::TextBox, 4440, 4920, 1500, 375, "", ControlFont::Default, true},
    ControlDesign{"Label15", ControlKind::Label, 840, 5760, 735, 495, "小  径", ControlFont::Song12, true},
    ControlDesign{"Label16", ControlKind::Label, 1800, 5760, 615, 375, "≤", ControlFont::Default, DesignVisible(Switchable::MinorAtMost)},
    ControlDesign{"Text6", ControlKind::TextBox, 2400, 5640, 1380, 375, "", ControlFont::Default, true},
    ControlDesign{"Label19", ControlKind::Label, 3960, 5760, 495, 375, "±", ControlFont::Default, DesignVisible(Switchable::MinorPlusMinus)},
    ControlDesign{"Text18", ControlKind::TextBox, 4440, 5640, 1500, 375, "", ControlFont::Default, DesignVisible(Switchable::MinorDeviation)},
    ControlDesign{"Line2", ControlKind::Line, 240, 6840, 12600, 0, "", ControlFont::Default, true},
    ControlDesign{"Label21", ControlKind::Label, 600, 7800, 1575, 495, "半角公差(′)", ControlFont::Song12, true},
    ControlDesign{"Label29", ControlKind::Label, 2280, 7800, 495, 255, "±", ControlFont::Default, true},
    ControlDesign{"Text27", ControlKind::TextBox, 2760, 7680, 1575, 405, "", ControlFont::Default, true},
    ControlDesign{"Label22", ControlKind::Label, 4920, 7800, 1455, 375, "螺距公差", ControlFont::Song12, true},
    ControlDesign{"Label30", ControlKind::Label, 6120, 7800, 495, 255, "±", ControlFont::Default, true},
    ControlDesign{"Text28", ControlKind::TextBox, 6600, 7710, 1815, 405, "", ControlFont::Default, true},
    ControlDesign{"Label17", ControlKind::Label, 720, 8880, 1815, 495, DesignCaption(Caption::Element), ControlFont::Song12, true},
    ControlDesign{"Text8", ControlKind::TextBox, 2760, 8760, 1620, 375, "", ControlFont::Default, true},
    ControlDesign{"Label18", ControlKind::Label, 5040, 8880, 855, 495, DesignCaption(Caption::Measurement), ControlFont::Song12, true},
    ControlDesign{"Text9", ControlKind::TextBox, 6600, 8760, 1815, 375, "", ControlFont::Default, true},
};

// clang-format on

// The order the focus moves in with the Tab key.
[[maybe_unused]] constexpr std::array kForm1TabOrder = {
    "Text1", "Combo1", "Combo2", "Combo3",   "Combo4", "Text2",  "Text3",  "Text4", "Text5",
    "Text6", "Text8",  "Text9",  "Command1", "Text18", "Text27", "Text28", "Combo5"};

}  // namespace threadgauge
