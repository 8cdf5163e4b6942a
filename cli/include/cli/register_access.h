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
  // The register as named: --register, else the environment's THREADGAUGE_REGISTER; a file
  // or a server's address.
  std::optional<std::string> Named() const;
  // The register file: --register, else "量规台账.db" in the user's data folder.
  std::optional<std::filesystem::path> RegisterPath(std::ostream& err) const;
  // The tolerance database: --database, else the one a calculation uses now.
  std::filesystem::path DatabasePath() const;
};

// The register at a file (made when `create`) or on a server.
std::variant<GaugeRegister, RegisterError> OpenRegisterAt(const std::string& where, bool create);

// Opens the register (creating it when `create`); nothing, with the reason on `err`. A
// damaged register opens (read-only) and says so on `err` at once.
// `exit` is then 1 for a file that is the register's but cannot be used (empty, damaged),
// 2 for one that was wrongly named.
std::optional<GaugeRegister> OpenRegister(const RegisterOptions& options, bool create,
                                          std::ostream& err, int& exit);
// The exit status of a command that only read: 1 when the register is damaged (what was
// shown may be incomplete, and a fault met while reading is said now), else `status`.
int ReadStatus(const GaugeRegister& gauges, bool damaged_at_open, int status, std::ostream& err);
// "量规台账已损坏：…；以下内容可能不全", with the way to restore it.
std::string DamageNotice(const GaugeRegister& gauges);

// A number typed as an option's value: the whole text must be one ("10.5", not "10.5mm").
std::optional<double> NumberOption(const std::string& option, const std::string& text,
                                   std::ostream& err);
// A whole number typed as an option's value (a record number): digits only, within range.
std::optional<long long> WholeNumberOption(const std::string& option, const std::string& text,
                                           std::ostream& err);
// A day typed as an option's value; `today` when none was typed.
std::optional<Day> DayOption(const std::string& option, const std::optional<std::string>& text,
                             std::ostream& err);

// A number for JSON rounded to `decimals`, or null (also for what is no finite number: a
// value read from a damaged or forged file never makes the JSON invalid).
std::string JsonNumberOrNull(std::optional<double> value, int decimals);

}  // namespace threadgauge
