#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "register/calendar.h"
#include "register/gauge_register.h"

class QWidget;

namespace threadgauge {

class ToleranceDatabase;

// What the register's windows work with: the register file, the clock (a test sets its
// own), and the tolerance database the window's calculations use now.
struct RegisterPlace {
  std::optional<std::filesystem::path> file;  // none: the system told no user data folder
  // A server register is always there; a file once its first gauge made it.
  bool Exists() const;
  // "量规台账：…" names it by this.
  std::string Where() const;
  std::function<Day()> today = [] { return Today(); };
  std::function<const ToleranceDatabase&()> database;
  // A workshop's server instead of the file: its libpq address.
  std::optional<std::string> server;
  // The password of this session's sign-in, kept in memory only, shared by the windows.
  std::shared_ptr<std::string> password = std::make_shared<std::string>();
};

// "量规台账已损坏：…；以下内容可能不全", with the way back (量规台账 → 从备份恢复…).
std::string DamageWords(const GaugeRegister& gauges);

// The register at its place, with the password already signed in with; nothing is asked.
std::variant<GaugeRegister, RegisterError> OpenPlace(const RegisterPlace& place, bool create);

// The register opened (created on first use when `create`), or nothing after telling the
// user why in a message box.
std::optional<GaugeRegister> OpenRegisterFor(QWidget* parent, const RegisterPlace& place,
                                             bool create);

}  // namespace threadgauge
