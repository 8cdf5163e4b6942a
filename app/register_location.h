#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

namespace threadgauge {

// Where the window keeps the register (量规 → 台账位置…): the user's own file, or a
// workshop's server by host, port, database and user. Kept in the window's settings file;
// a password never is.
struct RegisterLocation {
  bool on_server = false;
  QString host, port = QStringLiteral("5432"), database = QStringLiteral("threadgauge"), user;
  // "postgresql://用户@主机:端口/库名", each part encoded as a URI needs it.
  std::string Address() const;
};

// "窗口设置.ini" in the user's data folder.
std::filesystem::path WindowSettingsPath(const std::filesystem::path& user_directory);
RegisterLocation ReadRegisterLocation(const std::filesystem::path& settings);
// False when the settings file could not be written.
bool SaveRegisterLocation(const std::filesystem::path& settings, const RegisterLocation& location);

}  // namespace threadgauge
