#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// The fields a calculation writes, by their control names on the form.
enum class OutputField { Text2, Text3, Text4, Text5, Text6, Text8, Text9, Text18, Text27, Text28 };
inline constexpr std::array kOutputFields = {
    OutputField::Text2,  OutputField::Text3, OutputField::Text4, OutputField::Text5,
    OutputField::Text6,  OutputField::Text8, OutputField::Text9, OutputField::Text18,
    OutputField::Text27, OutputField::Text28};

// The signs and fields that the result layouts show or hide.
enum class Switchable { Label11, Label16, Label19, Label20, Text3, Text18 };
inline constexpr std::array kSwitchables = {Switchable::Label11, Switchable::Label16,
                                            Switchable::Label19, Switchable::Label20,
                                            Switchable::Text3,   Switchable::Text18};

// The captions that the result layouts set.
enum class Caption { Label17, Label18 };
inline constexpr std::array kCaptions = {Caption::Label17, Caption::Label18};

// What the form's design gives the signs, fields and captions that the layouts change: the
// window is built with these, and a calculation's result starts from them. Label18 reads
// "M   值" (three blanks) as designed; the plug layout writes "M  值" (two).
inline constexpr std::array<bool, kSwitchables.size()> kDesignVisible = {true, true, false,
                                                                         true, true, false};
// These lists of texts are each file's own (internal linkage): MinGW-w64's g++ 12 puts an
// inline array of string literals in a writable section in some files and a read-only
// one in others, and the linker then refuses the two copies.
[[maybe_unused]] constexpr std::array<const char*, kCaptions.size()> kDesignCaptions = {"三针直径",
                                                                                        "M   值"};
constexpr bool DesignVisible(Switchable control) {
  return kDesignVisible[static_cast<size_t>(control)];
}
constexpr const char* DesignCaption(Caption caption) {
  return kDesignCaptions[static_cast<size_t>(caption)];
}

std::string_view ControlName(OutputField field);
std::string_view ControlName(Switchable control);
std::string_view ControlName(Caption caption);

// What a result field holds, in words: "大径", "中径偏差", …
std::string FieldCaption(OutputField field);

// The inputs of one calculation, as typed or picked.
struct FormInputs {
  std::string Text1;   // nominal diameter d
  std::string Combo1;  // pitch P
  std::string Combo2;  // tolerance grade
  std::string Combo3;  // tolerance position
  std::string Combo4;  // gauge name
  std::string Combo5;  // range of the gauge's thread length
  friend bool operator==(const FormInputs&, const FormInputs&) = default;
};

// What one calculation changes on the form; everything else keeps what it showed.
struct FormUpdate {
  std::array<std::optional<std::string>, kOutputFields.size()> fields;
  std::array<std::optional<bool>, kSwitchables.size()> visible;
  std::array<std::optional<std::string>, kCaptions.size()> captions;

  void Write(OutputField field, std::string text) {
    fields[static_cast<size_t>(field)] = std::move(text);
  }
  void Show(Switchable control, bool shown) { visible[static_cast<size_t>(control)] = shown; }
  void SetCaption(Caption caption, std::string text) {
    captions[static_cast<size_t>(caption)] = std::move(text);
  }
};

// What the form shows, starting from the form's design.
struct FormState {
  std::array<std::string, kOutputFields.size()> fields{};
  std::array<bool, kSwitchables.size()> visible = kDesignVisible;
  std::array<std::string, kCaptions.size()> captions{kDesignCaptions[0], kDesignCaptions[1]};

  const std::string& Field(OutputField f) const { return fields[static_cast<size_t>(f)]; }
  bool Visible(Switchable s) const { return visible[static_cast<size_t>(s)]; }
  const std::string& CaptionText(Caption c) const { return captions[static_cast<size_t>(c)]; }
  void Apply(const FormUpdate& update);
};

}  // namespace threadgauge
