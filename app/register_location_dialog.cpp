#include "register_location_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/utf8.h"
#include "register_place.h"
#include "words/message_words.h"

namespace threadgauge {

RegisterLocationDialog::RegisterLocationDialog(std::filesystem::path settings,
                                               std::shared_ptr<std::string> password,
                                               QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), password_(std::move(password)) {
  setWindowTitle(QStringLiteral("台账位置"));
  const RegisterLocation kept = ReadRegisterLocation(settings_);
  file_ = new QRadioButton(QStringLiteral("本机文件"), this);
  file_->setObjectName("OnThisComputer");
  server_ = new QRadioButton(QStringLiteral("服务器"), this);
  server_->setObjectName("OnServer");
  (kept.on_server ? server_ : file_)->setChecked(true);
  const auto field = [this](const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(name);
    return edit;
  };
  host_ = field("Host", kept.host);
  port_ = field("Port", kept.port);
  database_ = field("Database", kept.database);
  user_ = field("User", kept.user);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("主机："), host_);
  form->addRow(QStringLiteral("端口："), port_);
  form->addRow(QStringLiteral("数据库："), database_);
  form->addRow(QStringLiteral("用户："), user_);
  auto* test = new QPushButton(QStringLiteral("测试连接"), this);
  test->setObjectName("TestConnection");
  test->setAutoDefault(false);
  result_ = new QLabel(this);
  result_->setObjectName("ConnectionResult");
  result_->setWordWrap(true);
  auto* note = new QLabel(
      QStringLiteral("密码不保存：每次启动后第一次使用服务器时登录，或由 libpq 的密码文件、"
                     "PGPASSWORD 提供。"),
      this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file_);
  layout->addWidget(server_);
  layout->addLayout(form);
  layout->addWidget(test);
  layout->addWidget(result_);
  layout->addWidget(note);
  layout->addWidget(buttons);
  const auto enable = [this] {
    for (QLineEdit* edit : {host_, port_, database_, user_}) edit->setEnabled(server_->isChecked());
  };
  enable();
  connect(server_, &QRadioButton::toggled, this, enable);
  connect(test, &QPushButton::clicked, this, &RegisterLocationDialog::TestConnection);
  connect(buttons, &QDialogButtonBox::accepted, this, &RegisterLocationDialog::Save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

RegisterLocation RegisterLocationDialog::Location() const {
  RegisterLocation location;
  location.on_server = server_->isChecked();
  location.host = host_->text().trimmed();
  location.port = port_->text().trimmed();
  location.database = database_->text().trimmed();
  location.user = user_->text().trimmed();
  return location;
}

void RegisterLocationDialog::TestConnection() {
  RegisterPlace place;
  place.server = Location().Address();
  place.password = password_;
  result_->setText(QStringLiteral("正在连接…"));
  auto opened = OpenRegisterFor(this, place, false);
  result_->setText(opened ? QStringLiteral("连接成功：%1 件量规，%2 条检定记录")
                                .arg(opened->Gauges().size())
                                .arg(opened->RecordCount())
                          : QStringLiteral("连接失败"));
}

void RegisterLocationDialog::Save() {
  if (!SaveRegisterLocation(settings_, Location())) {
    QMessageBox::warning(
        this, windowTitle(),
        QStringLiteral("无法写入窗口设置文件：") + QString::fromStdString(Utf8(settings_)));
    return;
  }
  accept();
}

}  // namespace threadgauge
