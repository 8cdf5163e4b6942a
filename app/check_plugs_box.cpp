#include "check_plugs_box.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "calculation/gauge_kind.h"

namespace threadgauge {

CheckPlugsBox::CheckPlugsBox(const GaugeKind* ring, QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  if (ring == nullptr) return;
  const GaugeKind* plugs[3] = {ring->check_plugs.go, ring->check_plugs.not_go,
                               ring->check_plugs.wear};
  const char* names[3] = {"GoCheck", "NotGoCheck", "WearCheck"};
  for (int i = 0; i < 3; ++i) {
    if (plugs[i] == nullptr) continue;
    grid->addWidget(new QLabel(QString::fromUtf8(plugs[i]->name.data(),
                                                 static_cast<int>(plugs[i]->name.size())),
                               this),
                    i, 0);
    auto* result = new QComboBox(this);
    result->setObjectName(names[i]);
    result->addItems({QStringLiteral("未检"), QStringLiteral("通过"), QStringLiteral("不通过")});
    auto* number = new QLineEdit(this);
    number->setObjectName(QString::fromUtf8(names[i]) + QStringLiteral("Number"));
    number->setPlaceholderText(QStringLiteral("所用校对塞规的编号"));
    grid->addWidget(result, i, 1);
    grid->addWidget(number, i, 2);
    results_.push_back(result);
    numbers_.push_back(number);
    connect(result, &QComboBox::currentIndexChanged, this, &CheckPlugsBox::changed);
  }
}

void CheckPlugsBox::ReadInto(InspectionInputs& in) const {
  std::optional<bool>* results[3] = {&in.checks.go, &in.checks.not_go, &in.checks.wear};
  for (size_t i = 0; i < results_.size() && i < 3; ++i) {
    if (results_[i]->currentIndex() > 0) *results[i] = results_[i]->currentIndex() == 1;
    in.check_numbers[i] = numbers_[i]->text().trimmed().toStdString();
  }
}

void CheckPlugsBox::Lock() {
  for (QComboBox* result : results_) result->setEnabled(false);
  for (QLineEdit* number : numbers_) number->setEnabled(false);
}

}  // namespace threadgauge
