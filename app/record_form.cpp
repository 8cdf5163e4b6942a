#include "record_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "platform/number_text.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::optional<double> TypedNumber(const QLineEdit* field, const QString& name, QString& problem) {
  const QString text = field->text().trimmed();
  if (text.isEmpty()) return std::nullopt;
  const auto value = ParseStoredNumber(text.toStdString());
  if (!value) problem = name + QStringLiteral("“") + text + QStringLiteral("”不是数");
  return value;
}

QLineEdit* RecordForm::Field(const char* name, const QString& text, const char* placeholder) {
  auto* field = new QLineEdit(text, this);
  field->setObjectName(name);
  if (placeholder) field->setPlaceholderText(QString::fromUtf8(placeholder));
  connect(field, &QLineEdit::textChanged, this, &RecordForm::changed);
  return field;
}

RecordForm::RecordForm(const GaugeEntry& gauge, bool ring, const QString& element_shown,
                       const std::vector<InspectionRecord>& earlier, const Day& today,
                       QWidget* parent)
    : QWidget(parent), ring_(ring) {
  date_ = Field("Date", Q(DayText(today)));
  inspector_ = Field("Inspector", QString());
  temperature_ = Field("Temperature", QStringLiteral("20"));
  method_ = new QComboBox(this);
  method_->setObjectName("Method");
  if (ring) {
    method_->addItem(QStringLiteral("钢球测 E 值"));
    method_->addItem(QStringLiteral("校对塞规"));
  } else {
    method_->addItem(QStringLiteral("三针测 M 值"));
  }
  element_ = Field("Element", element_shown);
  certificate_ = Field("Certificate", QString(), ring ? "钢球的证书号" : "三针的证书号");
  instrument_ = Field("Instrument", QString(), "如 测长仪");
  instrument_number_ = Field("InstrumentNumber", QString(), "可不填");
  instrument_certificate_ = Field("InstrumentCertificate", QString(), "可不填");
  instrument_valid_ = Field("InstrumentValid", QString(), "如 2027-06-30");
  uncertainty_ = Field("Uncertainty", QString(), "可不填");
  k_ = Field("CoverageFactor", QString(), "如 2");
  major_ = Field("Major", QString(), "可不填");
  notes_ = Field("Notes", QString());
  replaces_ = new QComboBox(this);
  replaces_->setObjectName("Replaces");
  replaces_->addItem(QStringLiteral("（不是更正）"));
  for (const InspectionRecord& r : CountingRecords(earlier)) {
    replaces_->addItem(QStringLiteral("更正记录 %1（%2）").arg(r.id).arg(Q(r.date)),
                       QVariant::fromValue(r.id));
  }
  acceptance_ = new QCheckBox(QStringLiteral("新量规验收（只按制造公差判定）"), this);
  acceptance_->setObjectName("Acceptance");
  acceptance_->setToolTip(Q("启用日期（" +
                            (gauge.since.empty() ? std::string("未填") : gauge.since) +
                            "）当天或之前、没有更早记录的检定，自动按新量规验收判定"));
  connect(method_, &QComboBox::currentIndexChanged, this, [this] {
    element_->setEnabled(!by_check_plugs());
    certificate_->setEnabled(!by_check_plugs());
  });
  connect(method_, &QComboBox::currentIndexChanged, this, &RecordForm::changed);
  connect(replaces_, &QComboBox::currentIndexChanged, this, &RecordForm::changed);
  connect(acceptance_, &QCheckBox::toggled, this, &RecordForm::changed);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  const std::pair<const char*, QWidget*> fields[] = {
      {"检定日期", date_},
      {"检定员", inspector_},
      {"温度 (℃)", temperature_},
      {"方法", method_},
      {ring ? "钢球直径 dB (mm)" : "三针直径 dD (mm)", element_},
      {ring ? "钢球证书号" : "三针证书号", certificate_},
      {"测量仪器", instrument_},
      {"仪器编号", instrument_number_},
      {"仪器证书号", instrument_certificate_},
      {"证书有效期", instrument_valid_},
      {"不确定度 U (µm)", uncertainty_},
      {"包含因子 k", k_},
      {"实测大径 (mm)", major_},
      {"更正", replaces_},
      {"备注", notes_}};
  for (int i = 0; i < static_cast<int>(std::size(fields)); ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(fields[i].first), this), i / 2, (i % 2) * 2);
    grid->addWidget(fields[i].second, i / 2, (i % 2) * 2 + 1);
  }
  grid->addWidget(acceptance_, static_cast<int>(std::size(fields)) / 2, 2, 1, 2);
}

void RecordForm::ReadInto(InspectionInputs& in, QString& problem) const {
  in.date = date_->text().trimmed().toStdString();
  in.inspector = inspector_->text().toStdString();
  in.element_certificate = certificate_->text().toStdString();
  in.instrument = {instrument_->text().toStdString(), instrument_number_->text().toStdString(),
                   instrument_certificate_->text().toStdString(),
                   instrument_valid_->text().trimmed().toStdString()};
  in.notes = notes_->text().toStdString();
  in.acceptance = acceptance_->isChecked();
  if (auto t = TypedNumber(temperature_, QStringLiteral("温度"), problem)) in.temperature = *t;
  in.uncertainty = TypedNumber(uncertainty_, QStringLiteral("不确定度 U"), problem);
  in.coverage_k = TypedNumber(k_, QStringLiteral("包含因子 k"), problem);
  in.major = TypedNumber(major_, QStringLiteral("实测大径"), problem);
  if (replaces_->currentIndex() > 0) in.replaces = replaces_->currentData().toLongLong();
  if (by_check_plugs()) {
    in.method = InspectionMethod::CheckPlugs;
  } else {
    in.method = ring_ ? InspectionMethod::Balls : InspectionMethod::Wires;
    in.element = TypedNumber(
        element_, ring_ ? QStringLiteral("钢球直径") : QStringLiteral("三针直径"), problem);
  }
}

bool RecordForm::by_check_plugs() const { return ring_ && method_->currentIndex() == 1; }

double RecordForm::element() const {
  return ParseStoredNumber(element_->text().trimmed().toStdString()).value_or(0);
}

std::optional<double> RecordForm::uncertainty() const {
  return ParseStoredNumber(uncertainty_->text().trimmed().toStdString());
}

void RecordForm::Lock() {
  for (QWidget* input : findChildren<QWidget*>()) {
    if (!qobject_cast<QLabel*>(input)) input->setEnabled(false);
  }
}

}  // namespace threadgauge
