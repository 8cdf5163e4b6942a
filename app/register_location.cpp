#include "register_location.h"

#include <QSettings>
#include <QUrl>

#include "platform/utf8.h"

namespace threadgauge {

std::string RegisterLocation::Address() const {
  QUrl url;
  url.setScheme(QStringLiteral("postgresql"));
  url.setUserName(user);
  url.setHost(host);
  bool number = false;
  const int port_number = port.toInt(&number);
  if (number) url.setPort(port_number);
  url.setPath(QStringLiteral("/") + database);
  return url.toString(QUrl::FullyEncoded).toStdString();
}

std::filesystem::path WindowSettingsPath(const std::filesystem::path& user_directory) {
  return user_directory / u8"窗口设置.ini";
}

RegisterLocation ReadRegisterLocation(const std::filesystem::path& settings) {
  const QSettings kept(QString::fromStdString(Utf8(settings)), QSettings::IniFormat);
  RegisterLocation location;
  location.on_server =
      kept.value(QStringLiteral("register/kind")).toString() == QStringLiteral("server");
  location.host = kept.value(QStringLiteral("register/host")).toString();
  location.port = kept.value(QStringLiteral("register/port"), location.port).toString();
  location.database = kept.value(QStringLiteral("register/database"), location.database).toString();
  location.user = kept.value(QStringLiteral("register/user")).toString();
  return location;
}

bool SaveRegisterLocation(const std::filesystem::path& settings, const RegisterLocation& location) {
  QSettings kept(QString::fromStdString(Utf8(settings)), QSettings::IniFormat);
  kept.setValue(QStringLiteral("register/kind"),
                location.on_server ? QStringLiteral("server") : QStringLiteral("file"));
  kept.setValue(QStringLiteral("register/host"), location.host);
  kept.setValue(QStringLiteral("register/port"), location.port);
  kept.setValue(QStringLiteral("register/database"), location.database);
  kept.setValue(QStringLiteral("register/user"), location.user);
  kept.sync();
  return kept.status() == QSettings::NoError;
}

}  // namespace threadgauge
