#include "gauge_entry_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "calculation/form_lists.h"
#include "calculation/gauge_kind.h"
#include "dialog_button.h"
#include "register/inspection.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* Field(const char* name, const std::string& text, QWidget* parent) {
  auto* field = new QLineEdit(Q(text), parent);
  field->setObjectName(name);
  return field;
}

}  // namespace

GaugeEntryDialog::GaugeEntryDialog(std::optional<GaugeEntry> editing, Day today, QWidget* parent)
    : QDialog(parent), entry_(editing.value_or(GaugeEntry{})), today_(today) {
  setObjectName("GaugeEntryDialog");
  setWindowTitle(editing ? QStringLiteral("修改量规 ") + Q(entry_.number)
                         : QStringLiteral("登记量规"));
  auto* form = new QFormLayout;
  number_ = Field("Number", entry_.number, this);
  number_->setReadOnly(editing.has_value());
  number_->setPlaceholderText(QStringLiteral("例如 TG-2024-017"));
  thread_ = Field("Thread", entry_.thread, this);
  thread_->setPlaceholderText(QStringLiteral("例如 M10×1.5-6g"));
  kind_ = new QComboBox(this);
  kind_->setObjectName("Kind");
  for (const GaugeKind* kind : GaugeKinds()) kind_->addItem(Q(std::string(kind->name)));
  kind_->setCurrentText(Q(entry_.kind));
  length_ = new QComboBox(this);
  length_->setObjectName("Length");
  length_->setEditable(true);
  length_->addItem(QString());
  for (const char* range : kLengthRanges) length_->addItem(QString::fromUtf8(range));
  length_->setCurrentText(Q(entry_.length));
  maker_ = Field("Maker", entry_.maker, this);
  serial_ = Field("Serial", entry_.serial, this);
  since_ = Field("Since", entry_.since, this);
  since_->setPlaceholderText(QStringLiteral("例如 2026-12-07"));
  interval_ = new QSpinBox(this);
  interval_->setObjectName("Interval");
  interval_->setRange(1, 120);
  interval_->setValue(entry_.interval_months);
  interval_->setSuffix(QStringLiteral(" 个月"));
  department_ = Field("Department", entry_.department, this);
  keeper_ = Field("Keeper", entry_.keeper, this);
  state_ = new QComboBox(this);
  state_->setObjectName("State");
  for (const char* state : kGaugeStates) state_->addItem(QString::fromUtf8(state));
  state_->setCurrentText(Q(entry_.state));
  notes_ = Field("Notes", entry_.notes, this);
  form->addRow(QStringLiteral("编号"), number_);
  form->addRow(QStringLiteral("螺纹"), thread_);
  form->addRow(QStringLiteral("量规"), kind_);
  form->addRow(QStringLiteral("螺纹部分长度"), length_);
  form->addRow(QStringLiteral("制造厂"), maker_);
  form->addRow(QStringLiteral("出厂编号"), serial_);
  form->addRow(QStringLiteral("启用日期"), since_);
  form->addRow(QStringLiteral("检定周期"), interval_);
  form->addRow(QStringLiteral("使用部门"), department_);
  form->addRow(QStringLiteral("保管人"), keeper_);
  form->addRow(QStringLiteral("状态"), state_);
  form->addRow(QStringLiteral("备注"), notes_);
  problem_ = new QLabel(this);
  problem_->setObjectName("Problem");
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  problem_->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  QPushButton* ok = DialogButton("Ok", "确定", this);
  ok->setDefault(true);
  QPushButton* cancel = DialogButton("Cancel", "取消", this);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  connect(ok, &QPushButton::clicked, this, &GaugeEntryDialog::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addLayout(buttons);
}

void GaugeEntryDialog::Accept() {
  GaugeEntry entry;
  entry.number = number_->text().toStdString();
  entry.thread = thread_->text().toStdString();
  entry.kind = kind_->currentText().toStdString();
  entry.length = length_->currentText().toStdString();
  entry.maker = maker_->text().toStdString();
  entry.serial = serial_->text().toStdString();
  entry.since = since_->text().toStdString();
  entry.interval_months = interval_->value();
  entry.department = department_->text().toStdString();
  entry.keeper = keeper_->text().toStdString();
  entry.state = state_->currentText().toStdString();
  entry.notes = notes_->text().toStdString();
  if (auto wrong = NormaliseEntry(entry, today_)) {
    problem_->setText(Q(Say(*wrong)));
    return;
  }
  entry_ = entry;
  accept();
}

}  // namespace threadgauge
