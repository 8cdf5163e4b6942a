#include "register_place.h"

#include <QMessageBox>

namespace threadgauge {

std::string DamageWords(const GaugeRegister& gauges) {
  return "量规台账已损坏：" + gauges.damage().value_or("") +
         "；以下内容可能不全，也不能写入。请在“量规 → 量规台账…”中点“从备份恢复…”";
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
                         QString::fromStdString(error->message));
    return std::nullopt;
  }
  return std::move(std::get<GaugeRegister>(opened));
}

}  // namespace threadgauge
