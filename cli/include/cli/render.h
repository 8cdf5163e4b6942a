#pragma once

#include <string>

#include "calculation/calculate.h"

namespace threadgauge {

// The result as the window would show it after this one calculation on a fresh window.
std::string RenderText(const FormInputs& inputs, const CalculationResult& result);
std::string RenderJson(const CalculationResult& result);

// 0 when every result was computed, 1 when notices were given, 2 when the input was rejected.
int ExitStatus(const CalculationResult& result);

}  // namespace threadgauge
