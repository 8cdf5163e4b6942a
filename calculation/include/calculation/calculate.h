#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calculation/form_fields.h"
#include "calculation/gauge_request.h"
#include "calculation/notice.h"
#include "calculation/value.h"
#include "tolerance/access_reader.h"

namespace threadgauge {

class ToleranceDatabase;

// One press of 确定: what the window and the command line both show.
struct CalculationResult {
  // An input was rejected: told in a message box, and nothing else changes.
  std::optional<Rejection> rejection;
  FormUpdate update;
  // Why fields stayed empty, in order of first appearance, without repeats.
  std::vector<Notice> notices;
  std::filesystem::path database;
  // The code page an Access file was read in, when the user must know it.
  std::optional<CodePageChoice> database_code_page;
  // The thread's tolerance zone the gauge was computed from (µm), when it could be had:
  // the fundamental deviation (EI or es) and the pitch-diameter tolerance (TD2 or Td2).
  std::optional<double> fundamental_deviation;
  std::optional<double> pitch_diameter_tolerance;
  // The wear allowances of the "位置要素" row the gauge was computed with (µm), or why not.
  std::optional<Value> WGO, WNG;
};

struct GaugeRequest;

// Shows the pitch tolerance and runs the request's gauge kind, on the database as it is
// now. Nothing is carried from one calculation to the next, and the database is only read.
CalculationResult Calculate(const GaugeRequest& request, const ToleranceDatabase& db);

// One press of 确定: the inputs checked and read (BuildRequest), then calculated.
CalculationResult Calculate(const CalculationInputs& inputs, const ToleranceDatabase& db);

// The same on the database file opened afresh for this one calculation.
CalculationResult Calculate(const CalculationInputs& inputs, const std::filesystem::path& database);

}  // namespace threadgauge
