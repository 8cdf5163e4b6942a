#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "register/calendar.h"
#include "register/gauge_register.h"

class QWidget;

namespace threadgauge {

class ToleranceDatabase;

// What the register's windows work with: the register file, the clock (a test sets its
// own), and the tolerance database the window's calculations use now.
struct RegisterPlace {
  std::optional<std::filesystem::path> file;  // none: the system told no user data folder
  std::function<Day()> today = [] { return Today(); };
  std::function<const ToleranceDatabase&()> database;
};

// "量规台账已损坏：…；以下内容可能不全", with the way back (量规台账 → 从备份恢复…).
std::string DamageWords(const GaugeRegister& gauges);

// The register opened (created on first use when `create`), or nothing after telling the
// user why in a message box.
std::optional<GaugeRegister> OpenRegisterFor(QWidget* parent, const RegisterPlace& place,
                                             bool create);

}  // namespace threadgauge
