#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "calculation/form_fields.h"
#include "calculation/gauge_request.h"

namespace threadgauge {

struct CliOptions {
  CalculationInputs inputs;  // an omitted option is an empty input, as an untouched field
  std::optional<std::filesystem::path> database;
  std::optional<std::string> thread;  // a designation given for the four thread inputs
  // The calculation when --thread was given: the designation read straight into a request.
  std::optional<GaugeRequest> request;
  bool json = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; the error text when they do not parse.
std::pair<std::optional<CliOptions>, std::string> ParseCliOptions(
    const std::vector<std::string>& args);

std::string CliHelp();

}  // namespace threadgauge
