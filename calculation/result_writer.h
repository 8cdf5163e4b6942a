#pragma once

#include <string>
#include <vector>

#include "calculation/calculate.h"
#include "calculation/number_format.h"
#include "calculation/value.h"
#include "tolerance/lookup_result.h"

namespace threadgauge {

// Writes values into the result as the fields show them. A missing value leaves its
// field empty and adds its reasons to the notices: an earlier result or a zero must never
// stand where a tolerance could not be had.
class ResultWriter {
 public:
  explicit ResultWriter(CalculationResult& result) : result_(result) {}

  // Writes the formatted number and gives back the number as shown, which later steps
  // read (M and E are computed from the rounded pitch diameter and wire).
  Value Show(OutputField field, const Value& value, NumberFormat format);
  void ShowText(OutputField field, const Lookup<std::string>& text);

  static Value ToValue(const Lookup<double>& looked);
  CalculationResult& result() { return result_; }
  void Add(const Notice& notice) { AddNotices(result_.notices, {notice}); }
  void AddWarnings(const std::vector<LookupFailure>& warnings) {
    for (const LookupFailure& warning : warnings) Add(warning);
  }

 private:
  void Clear(OutputField field, const std::vector<Notice>& why);
  CalculationResult& result_;
};

}  // namespace threadgauge
