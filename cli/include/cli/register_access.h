#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "register/calendar.h"
#include "register/gauge_register.h"

namespace threadgauge {

// The options every register command takes: --register FILE and --database FILE.
struct RegisterOptions {
  std::optional<std::string> register_typed, database_typed;
  void AddTo(CLI::App& app);
  // The register file: --register, else "量规台账.db" in the user's data folder.
  std::optional<std::filesystem::path> RegisterPath(std::ostream& err) const;
  // The tolerance database: --database, else the one a calculation uses now.
  std::filesystem::path DatabasePath() const;
};

// Opens the register (creating it when `create`); nothing, with the reason on `err`.
std::optional<GaugeRegister> OpenRegister(const RegisterOptions& options, bool create,
                                          std::ostream& err);

// A number typed as an option's value: the whole text must be one ("10.5", not "10.5mm").
std::optional<double> NumberOption(const std::string& option, const std::string& text,
                                   std::ostream& err);
// A day typed as an option's value; `today` when none was typed.
std::optional<Day> DayOption(const std::string& option, const std::optional<std::string>& text,
                             std::ostream& err);

// A number for JSON rounded to `decimals`, or null.
std::string JsonNumberOrNull(std::optional<double> value, int decimals);

}  // namespace threadgauge
