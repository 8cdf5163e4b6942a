#pragma once

#include <array>
#include <string_view>

#include "calculation/form_fields.h"

namespace threadgauge {

// The window's controls carry the names of the form they replace, which users' scripts and
// the tests address; the calculation names its values by what they are. This is the one
// table between the two.
std::string_view ControlName(OutputField field);
std::string_view ControlName(Switchable control);
std::string_view ControlName(Caption caption);

// The six inputs, in the order of CalculationInputs.
inline constexpr std::string_view kDiameterInput = "Text1";
inline constexpr std::array<std::string_view, 5> kInputLists = {"Combo1", "Combo2", "Combo3",
                                                                "Combo4", "Combo5"};

}  // namespace threadgauge
