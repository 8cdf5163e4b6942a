#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "calculation/calculate.h"
#include "calculation/gauge_request.h"

namespace threadgauge {

// The result as the window would show it after this one calculation on a fresh window.
std::string RenderText(const GaugeRequest& request, const CalculationResult& result);
std::string RenderJson(const CalculationResult& result);

// JSON pieces shared by the single calculation and the gauge sheet.
std::string JsonString(const std::string& text);
std::string JsonFormState(const FormState& state);  // "fields", "visible", "captions"
std::string JsonNotices(const std::vector<Notice>& notices);
// "values" by name (the numbers the window shows, null where none is), "element_kind",
// "measurement_kind", "major_limit" and "minor_limit".
std::string JsonNamedValues(const FormState& state);

// Writes `text` into the file when one is named, else on `out`. False, with the message on
// `err`, when the file cannot be written.
bool WriteOutput(const std::string& text, const std::optional<std::filesystem::path>& file,
                 std::ostream& out, std::ostream& err);

// 0 when every result was computed, 1 when notices were given, 2 when the input was rejected.
int ExitStatus(const CalculationResult& result);

}  // namespace threadgauge
