#include "register_place.h"

#include <QInputDialog>
#include <QMessageBox>

#include "platform/utf8.h"
#include "words/message_words.h"
#ifdef THREADGAUGE_SERVER_REGISTER
#include "register/server_register.h"
#endif

namespace threadgauge {

std::string DamageWords(const GaugeRegister& gauges) {
  return Say(
      {MessageCode::DamagedInWindow, {}, {gauges.damage().value_or(Message{MessageCode::Told})}});
}

bool RegisterPlace::Exists() const {
  std::error_code error;
  return server.has_value() || (file && std::filesystem::exists(*file, error));
}

std::string RegisterPlace::Where() const {
  if (server) return *server;
  return file ? Utf8(*file) : std::string();
}

namespace {

// The server asks for the password once a session: asked again only when refused.
std::variant<GaugeRegister, RegisterError> SignIn(QWidget* parent, const RegisterPlace& place) {
  for (;;) {
    auto opened = OpenPlace(place, false);
    const auto* error = std::get_if<RegisterError>(&opened);
    if (!error || error->message.code != MessageCode::ServerPasswordRefused) return opened;
    bool given = false;
    const QString password = QInputDialog::getText(
        parent, QStringLiteral("登录量规台账服务器"),
        QString::fromStdString(Say(error->message)) + QStringLiteral("\n密码："),
        QLineEdit::Password, QString(), &given);
    if (!given) return opened;
    *place.password = password.toStdString();
  }
}

}  // namespace

std::variant<GaugeRegister, RegisterError> OpenPlace(const RegisterPlace& place, bool create) {
  if (place.server) {
#ifdef THREADGAUGE_SERVER_REGISTER
    return OpenServerRegister(*place.server, *place.password);
#else
    return RegisterError{{MessageCode::ServerClientMissing, {*place.server}}};
#endif
  }
  if (!place.file)
    return RegisterError{{MessageCode::Told, {"系统没有给出用户数据文件夹，量规台账无处存放"}}};
  return create ? GaugeRegister::Open(*place.file) : GaugeRegister::OpenExisting(*place.file);
}

std::optional<GaugeRegister> OpenRegisterFor(QWidget* parent, const RegisterPlace& place,
                                             bool create) {
  if (place.server) {
    auto opened = SignIn(parent, place);
    if (const auto* error = std::get_if<RegisterError>(&opened)) {
      QMessageBox::warning(parent, QStringLiteral("量规台账"),
                           QString::fromStdString(Say(error->message)));
      return std::nullopt;
    }
    return std::move(std::get<GaugeRegister>(opened));
  }
  if (!place.file) {
    QMessageBox::warning(parent, QStringLiteral("量规台账"),
                         QStringLiteral("系统没有给出用户数据文件夹，量规台账无处存放"));
    return std::nullopt;
  }
  auto opened =
      create ? GaugeRegister::Open(*place.file) : GaugeRegister::OpenExisting(*place.file);
  if (const auto* error = std::get_if<RegisterError>(&opened)) {
    QMessageBox::warning(parent, QStringLiteral("量规台账"),
                         QString::fromStdString(Say(error->message)));
    return std::nullopt;
  }
  return std::move(std::get<GaugeRegister>(opened));
}

}  // namespace threadgauge
