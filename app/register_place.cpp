#include "register_place.h"

#include <QMessageBox>

#include "words/message_words.h"

namespace threadgauge {

std::string DamageWords(const GaugeRegister& gauges) {
  return Say(
      {MessageCode::DamagedInWindow, {}, {gauges.damage().value_or(Message{MessageCode::Told})}});
}

std::optional<GaugeRegister> OpenRegisterFor(QWidget* parent, const RegisterPlace& place,
                                             bool create) {
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
