#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace threadgauge {

// The values a calculation shows, by what they are.
enum class OutputField {
  MajorDiameter,
  MajorDeviation,  // a plug's ±
  PitchDiameter,
  PitchDeviation,
  MinorDiameter,
  WireOrBall,      // the three wires' or the two balls' diameter
  Measurement,     // M over the wires or E between the balls
  MinorDeviation,  // a ring's ±
  HalfAngleTolerance,
  PitchTolerance,
};
inline constexpr std::array kOutputFields = {
    OutputField::MajorDiameter,  OutputField::MajorDeviation, OutputField::PitchDiameter,
    OutputField::PitchDeviation, OutputField::MinorDiameter,  OutputField::WireOrBall,
    OutputField::Measurement,    OutputField::MinorDeviation, OutputField::HalfAngleTolerance,
    OutputField::PitchTolerance};

// The signs and deviations that a plug's and a ring's layouts show or hide: a plug's major
// diameter is a size ± its deviation and its minor diameter a maximum ("≤"); a ring's major
// diameter is a minimum ("≥") and its minor diameter a size ± its deviation.
enum class Switchable {
  MajorPlusMinus,
  MinorAtMost,
  MinorPlusMinus,
  MajorAtLeast,
  MajorDeviation,
  MinorDeviation,
};
inline constexpr std::array kSwitchables = {Switchable::MajorPlusMinus, Switchable::MinorAtMost,
                                            Switchable::MinorPlusMinus, Switchable::MajorAtLeast,
                                            Switchable::MajorDeviation, Switchable::MinorDeviation};

// The captions that the layouts set: of the wire or ball, and of M or E.
enum class Caption { Element, Measurement };
inline constexpr std::array kCaptions = {Caption::Element, Caption::Measurement};

// What the form's design gives the signs, deviations and captions that the layouts change:
// the window is built with these, and a calculation's result starts from them. The
// measurement's caption reads "M   值" (three blanks) as designed; the plug layout writes
// "M  值" (two).
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

// What a result field holds, in words: "大径", "中径偏差", …
std::string FieldCaption(OutputField field);

// The inputs of one calculation, as typed or picked.
struct CalculationInputs {
  std::string nominal_diameter;  // d
  std::string pitch;             // P
  std::string grade;             // tolerance grade
  std::string position;          // tolerance position
  std::string gauge_name;
  std::string length_range;  // range of the gauge's thread length
  friend bool operator==(const CalculationInputs&, const CalculationInputs&) = default;
};

// What one calculation changes on the form; everything else keeps what it showed.
struct FormUpdate {
  std::array<std::optional<std::string>, kOutputFields.size()> fields;
  // The number each written field shows, rounded as shown; none for an empty field or text.
  std::array<std::optional<double>, kOutputFields.size()> numbers;
  std::array<std::optional<bool>, kSwitchables.size()> visible;
  std::array<std::optional<std::string>, kCaptions.size()> captions;

  void Write(OutputField field, std::string text, std::optional<double> number = std::nullopt) {
    fields[static_cast<size_t>(field)] = std::move(text);
    numbers[static_cast<size_t>(field)] = number;
  }
  void Show(Switchable control, bool shown) { visible[static_cast<size_t>(control)] = shown; }
  void SetCaption(Caption caption, std::string text) {
    captions[static_cast<size_t>(caption)] = std::move(text);
  }
};

// What the form shows, starting from the form's design.
struct FormState {
  std::array<std::string, kOutputFields.size()> fields{};
  std::array<std::optional<double>, kOutputFields.size()> numbers{};
  std::array<bool, kSwitchables.size()> visible = kDesignVisible;
  std::array<std::string, kCaptions.size()> captions{kDesignCaptions[0], kDesignCaptions[1]};

  const std::string& Field(OutputField f) const { return fields[static_cast<size_t>(f)]; }
  std::optional<double> Number(OutputField f) const { return numbers[static_cast<size_t>(f)]; }
  bool Visible(Switchable s) const { return visible[static_cast<size_t>(s)]; }
  const std::string& CaptionText(Caption c) const { return captions[static_cast<size_t>(c)]; }
  void Apply(const FormUpdate& update);
};

}  // namespace threadgauge
