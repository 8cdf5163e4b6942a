#include "record_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calculation/gauge_kind.h"
#include "dialog_button.h"
#include "fit_to_screen.h"
#include "report/record_page.h"
#include "tolerance/admin/pasted_text.h"
#include "tolerance/number_text.h"
#include "tolerance/tolerance_database.h"
#include "tolerance/utf8.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* Field(const char* name, const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(name);
  return field;
}

// A cell the program fills: Tab passes over it, its text stays black.
QTableWidgetItem* Shown(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::NoItemFlags);
  item->setForeground(Qt::black);
  return item;
}

constexpr int kValue = 0, kPitchDiameter = 1, kVerdict = 2;

// Hands each keystroke of a reading to the table at once, so that its pitch diameter and
// the verdict follow the typing rather than the end of the edit.
class LiveDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      connect(line, &QLineEdit::textEdited, this,
              [this, line] { emit const_cast<LiveDelegate*>(this)->commitData(line); });
    }
    return editor;
  }
};

}  // namespace

RecordDialog::RecordDialog(RegisterPlace place, GaugeEntry gauge, QWidget* parent)
    : QDialog(parent), place_(std::move(place)), gauge_(std::move(gauge)) {
  setObjectName("RecordDialog");
  setWindowTitle(QStringLiteral("新建检定记录 ") + Q(gauge_.number));
  if (auto opened = OpenRegisterFor(this, place_, false))
    earlier_ = opened->RecordsOf(gauge_.number);
  const auto request = RequestOf(gauge_);
  std::string element_shown;
  if (const auto* built = std::get_if<GaugeRequest>(&request)) {
    P_ = built->P;
    limits_ = LimitsFor(*built, place_.database());
    FormState shown;
    shown.Apply(limits_->calculation.update);
    element_shown = shown.Field(OutputField::Text8);
  }

  auto* layout = new QVBoxLayout(this);
  auto* identity = new QLabel(Q(gauge_.number + "　" + gauge_.thread + "　" + gauge_.kind + "　" +
                                (gauge_.length.empty() ? "" : "螺纹部分长度 " + gauge_.length)),
                              this);
  identity->setObjectName("Identity");
  layout->addWidget(identity);
  limits_text_ = new QLabel(this);
  limits_text_->setObjectName("Limits");
  limits_text_->setWordWrap(true);
  layout->addWidget(limits_text_);
  if (!limits_) {
    limits_text_->setText(Q(std::get<std::string>(request)));
  } else {
    const GaugeLimits& l = *limits_;
    QString text = l.decidable() ? QStringLiteral("新制中径 %1 … %2 mm")
                                       .arg(Q(Millimetres(*l.low)), Q(Millimetres(*l.high)))
                                 : QStringLiteral("新制中径 未知");
    if (l.has_wear_limit) {
      text += QStringLiteral("　　磨损极限 ") +
              (l.wear ? Q(Millimetres(*l.wear)) + QStringLiteral(" mm") : QStringLiteral("未知"));
    }
    limits_text_->setText(text + QStringLiteral("\n") + Q(DescribeDatabase(l.calculation)));
  }

  auto* grid = new QGridLayout;
  date_ = Field("Date", Q(DayText(place_.today())), this);
  inspector_ = Field("Inspector", QString(), this);
  temperature_ = Field("Temperature", QStringLiteral("20"), this);
  method_ = new QComboBox(this);
  method_->setObjectName("Method");
  if (ring()) {
    method_->addItem(QStringLiteral("钢球测 E 值"));
    method_->addItem(QStringLiteral("校对塞规"));
  } else {
    method_->addItem(QStringLiteral("三针测 M 值"));
  }
  element_ = Field("Element", Q(element_shown), this);
  certificate_ = Field("Certificate", QString(), this);
  uncertainty_ = Field("Uncertainty", QString(), this);
  uncertainty_->setPlaceholderText(QStringLiteral("可不填"));
  major_ = Field("Major", QString(), this);
  major_->setPlaceholderText(QStringLiteral("可不填"));
  notes_ = Field("Notes", QString(), this);
  replaces_ = new QComboBox(this);
  replaces_->setObjectName("Replaces");
  replaces_->addItem(QStringLiteral("（不是更正）"));
  for (const InspectionRecord& r : CountingRecords(earlier_)) {
    replaces_->addItem(QStringLiteral("更正记录 %1（%2）").arg(r.id).arg(Q(r.date)),
                       QVariant::fromValue(r.id));
  }
  const std::pair<const char*, QWidget*> fields[] = {
      {"检定日期", date_},
      {"检定员", inspector_},
      {"温度 (℃)", temperature_},
      {"方法", method_},
      {ring() ? "钢球直径 dB (mm)" : "三针直径 dD (mm)", element_},
      {"证书号", certificate_},
      {"不确定度 U (µm)", uncertainty_},
      {"实测大径 (mm)", major_},
      {"更正", replaces_},
      {"备注", notes_}};
  for (int i = 0; i < static_cast<int>(std::size(fields)); ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(fields[i].first), this), i / 2, (i % 2) * 2);
    grid->addWidget(fields[i].second, i / 2, (i % 2) * 2 + 1);
  }
  layout->addLayout(grid);

  readings_ = new QTableWidget(1, 3, this);
  readings_->setObjectName("Readings");
  readings_->setHorizontalHeaderLabels(
      {ring() ? QStringLiteral("E 读数 (mm)") : QStringLiteral("M 读数 (mm)"),
       QStringLiteral("实际中径 (mm)"), QStringLiteral("判定")});
  readings_->horizontalHeader()->setSectionResizeMode(kVerdict, QHeaderView::Stretch);
  readings_->setColumnWidth(kValue, 120);
  readings_->setColumnWidth(kPitchDiameter, 110);
  readings_->setItem(0, kPitchDiameter, Shown(QString()));
  readings_->setItem(0, kVerdict, Shown(QString()));
  readings_->setItemDelegateForColumn(kValue, new LiveDelegate(readings_));
  readings_->installEventFilter(this);
  readings_->setMinimumHeight(170);
  layout->addWidget(readings_, 1);

  // The three check plugs of a ring, in the order GO, NOT-GO, wear.
  checks_box_ = new QWidget(this);
  auto* checks = new QHBoxLayout(checks_box_);
  checks->setContentsMargins(0, 0, 0, 0);
  const GaugeKind* kind = FindGaugeKind(gauge_.kind);
  std::vector<std::string> plugs;
  if (kind && kind->wear_check_plug) {
    const GaugeKind* before[2] = {nullptr, nullptr};
    for (const GaugeKind* candidate : GaugeKinds()) {
      if (candidate == kind->wear_check_plug) break;
      before[0] = before[1];
      before[1] = candidate;
    }
    for (const GaugeKind* plug : {before[0], before[1], kind->wear_check_plug}) {
      plugs.emplace_back(plug ? plug->name : "");
    }
  }
  const char* names[] = {"GoCheck", "NotGoCheck", "WearCheck"};
  for (size_t i = 0; i < plugs.size(); ++i) {
    checks->addWidget(new QLabel(Q(plugs[i]), checks_box_));
    auto* result = new QComboBox(checks_box_);
    result->setObjectName(names[i]);
    result->addItems({QStringLiteral("未检"), QStringLiteral("通过"), QStringLiteral("不通过")});
    checks->addWidget(result);
    checks_.push_back(result);
    connect(result, &QComboBox::currentIndexChanged, this, &RecordDialog::Update);
  }
  checks_box_->setVisible(false);
  layout->addWidget(checks_box_);

  verdict_ = new QLabel(this);
  verdict_->setObjectName("Verdict");
  QFont bold = verdict_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  verdict_->setFont(bold);
  verdict_->setWordWrap(true);
  layout->addWidget(verdict_);
  remarks_ = new QLabel(this);
  remarks_->setObjectName("Remarks");
  remarks_->setWordWrap(true);
  layout->addWidget(remarks_);

  auto* buttons = new QHBoxLayout;
  save_ = DialogButton("Save", "保存", this);
  print_ = DialogButton("Print", "打印…", this);
  pdf_ = DialogButton("SavePdf", "保存 PDF…", this);
  QPushButton* close = DialogButton("Close", "关闭", this);
  buttons->addStretch();
  for (QPushButton* button : {save_, print_, pdf_, close}) buttons->addWidget(button);
  print_->setEnabled(false);
  pdf_->setEnabled(false);
  layout->addLayout(buttons);
  connect(save_, &QPushButton::clicked, this, [this] { Save(); });
  connect(print_, &QPushButton::clicked, this, &RecordDialog::Print);
  connect(pdf_, &QPushButton::clicked, this, &RecordDialog::AskSavePdf);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  for (QLineEdit* field :
       {date_, inspector_, temperature_, element_, certificate_, uncertainty_, major_, notes_}) {
    connect(field, &QLineEdit::textChanged, this, &RecordDialog::Update);
  }
  connect(method_, &QComboBox::currentIndexChanged, this, &RecordDialog::Update);
  connect(replaces_, &QComboBox::currentIndexChanged, this, &RecordDialog::Update);
  connect(readings_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() != kValue) return;
    // A reading typed in the last row opens the next one.
    if (item->row() == readings_->rowCount() - 1 && !item->text().trimmed().isEmpty()) {
      const int row = readings_->rowCount();
      readings_->insertRow(row);
      readings_->setItem(row, kPitchDiameter, Shown(QString()));
      readings_->setItem(row, kVerdict, Shown(QString()));
    }
    Update();
  });
  readings_->setCurrentCell(0, kValue);
  resize(760, 640);
  FitToScreen(this, size());
  Update();
}

bool RecordDialog::ring() const {
  const GaugeKind* kind = FindGaugeKind(gauge_.kind);
  return kind && kind->layout == Layout::Ring;
}

bool RecordDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == readings_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
    PasteReadings(QApplication::clipboard()->text());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void RecordDialog::PasteReadings(const QString& text) {
  // A spreadsheet's column: the first cell of each line; full-width digits made plain.
  const PastedBlock block = ParsePastedText(text.toStdString());
  int row = std::max(readings_->currentRow(), 0);
  const QSignalBlocker quiet(readings_);
  for (const PastedRow& line : block.rows) {
    const std::string value = line.empty() ? "" : line.front().value_or("");
    if (value.empty()) continue;
    while (row >= readings_->rowCount() - 1) {
      const int added = readings_->rowCount();
      readings_->insertRow(added);
      readings_->setItem(added, kPitchDiameter, Shown(QString()));
      readings_->setItem(added, kVerdict, Shown(QString()));
    }
    readings_->setItem(row, kValue, new QTableWidgetItem(Q(value)));
    ++row;
  }
  Update();
}

std::optional<InspectionInputs> RecordDialog::ReadInputs(QString& problem) const {
  InspectionInputs in;
  in.date = date_->text().trimmed().toStdString();
  in.inspector = inspector_->text().toStdString();
  in.element_certificate = certificate_->text().toStdString();
  in.notes = notes_->text().toStdString();
  const auto number = [&](QLineEdit* field, const QString& name) -> std::optional<double> {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    const auto value = ParseStoredNumber(text.toStdString());
    if (!value) problem = name + QStringLiteral("“") + text + QStringLiteral("”不是数");
    return value;
  };
  if (auto t = number(temperature_, QStringLiteral("温度"))) in.temperature = *t;
  in.uncertainty = number(uncertainty_, QStringLiteral("不确定度 U"));
  in.major = number(major_, QStringLiteral("实测大径"));
  if (replaces_->currentIndex() > 0) in.replaces = replaces_->currentData().toLongLong();
  const bool by_checks = ring() && method_->currentIndex() == 1;
  if (by_checks) {
    in.method = InspectionMethod::CheckPlugs;
    std::optional<bool>* results[3] = {&in.checks.go, &in.checks.not_go, &in.checks.wear};
    for (size_t i = 0; i < checks_.size(); ++i) {
      if (checks_[i]->currentIndex() > 0) *results[i] = checks_[i]->currentIndex() == 1;
    }
  } else {
    in.method = ring() ? InspectionMethod::Balls : InspectionMethod::Wires;
    in.element = number(element_, ring() ? QStringLiteral("钢球直径") : QStringLiteral("三针直径"));
    for (int row = 0; row < readings_->rowCount(); ++row) {
      const QTableWidgetItem* item = readings_->item(row, kValue);
      const QString text = item ? item->text().trimmed() : QString();
      if (text.isEmpty()) continue;
      const auto value = ParseStoredNumber(text.toStdString());
      if (!value) {
        problem = QStringLiteral("第 %1 行的读数“%2”不是数").arg(row + 1).arg(text);
        continue;
      }
      in.values.push_back(*value);
    }
  }
  if (!problem.isEmpty()) return std::nullopt;
  return in;
}

void RecordDialog::Update() {
  const bool by_checks = ring() && method_->currentIndex() == 1;
  checks_box_->setVisible(by_checks);
  readings_->setVisible(!by_checks);
  element_->setEnabled(!by_checks);
  // Each row's pitch diameter and verdict, as typed.
  const QSignalBlocker quiet(readings_);
  const double element = ParseStoredNumber(element_->text().trimmed().toStdString()).value_or(0);
  const auto U = ParseStoredNumber(uncertainty_->text().trimmed().toStdString());
  for (int row = 0; row < readings_->rowCount(); ++row) {
    const QTableWidgetItem* item = readings_->item(row, kValue);
    const auto value =
        item ? ParseStoredNumber(item->text().trimmed().toStdString()) : std::nullopt;
    QString d2, verdict;
    if (value && element > 0 && limits_) {
      const double pitch_diameter = ring() ? PitchDiameterFromE(*value, P_, element)
                                           : PitchDiameterFromM(*value, P_, element);
      d2 = Q(Millimetres(pitch_diameter));
      const Verdict one = Judge(*limits_, pitch_diameter, U);
      verdict = Q(VerdictLine(VerdictKey(one.code), one.text, one.margin_um));
    } else if (item && !item->text().trimmed().isEmpty() && !value) {
      verdict = QStringLiteral("不是数");
    }
    readings_->item(row, kPitchDiameter)->setText(d2);
    readings_->item(row, kVerdict)->setText(verdict);
  }
  if (saved_) return;
  QString problem;
  const auto inputs = ReadInputs(problem);
  save_->setEnabled(limits_.has_value());
  if (!inputs || !limits_) {
    verdict_->setText(problem);
    remarks_->clear();
    return;
  }
  const auto decided =
      DecideInspection(gauge_, *inputs, place_.database(), place_.today(), earlier_);
  if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
    verdict_->setText(Q(refused->message));
    remarks_->clear();
    return;
  }
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  verdict_->setText(QStringLiteral("结论：") +
                    Q(VerdictLine(d.record.verdict, d.record.verdict_text, d.record.margin_um)));
  QStringList remarks;
  for (const std::string& remark : d.remarks) remarks << Q(remark);
  remarks_->setText(remarks.join(QLatin1Char('\n')));
}

std::optional<long long> RecordDialog::Save() {
  if (saved_ || !limits_) return saved_;
  QString problem;
  auto inputs = ReadInputs(problem);
  if (!inputs) {
    QMessageBox::warning(this, windowTitle(), problem);
    return std::nullopt;
  }
  auto decided = DecideInspection(gauge_, *inputs, place_.database(), place_.today(), earlier_);
  if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
    if (!refused->needs_confirmation) {
      QMessageBox::warning(this, windowTitle(), Q(refused->message));
      return std::nullopt;
    }
    QMessageBox ask(QMessageBox::Question, windowTitle(),
                    Q(refused->message) + QStringLiteral("。确认读数无误并保存？"),
                    QMessageBox::NoButton, this);
    QPushButton* keep = ask.addButton(QStringLiteral("仍然保存"), QMessageBox::AcceptRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("返回修改"), QMessageBox::RejectRole));
    ask.exec();
    if (ask.clickedButton() != keep) return std::nullopt;
    inputs->force = true;
    decided = DecideInspection(gauge_, *inputs, place_.database(), place_.today(), earlier_);
  }
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return std::nullopt;
  const auto stored = opened->AddRecord(std::get<DecidedInspection>(decided).record);
  if (const auto* failed = std::get_if<RegisterError>(&stored)) {
    QMessageBox::warning(this, windowTitle(), Q(failed->message));
    return std::nullopt;
  }
  saved_ = std::get<long long>(stored);
  save_->setEnabled(false);
  print_->setEnabled(true);
  pdf_->setEnabled(true);
  setWindowTitle(QStringLiteral("检定记录 %1 — %2").arg(*saved_).arg(Q(gauge_.number)));
  verdict_->setText(verdict_->text() + QStringLiteral("（已保存为检定记录 %1）").arg(*saved_));
  for (QWidget* input : std::initializer_list<QWidget*>{date_, inspector_, temperature_, method_,
                                                        element_, certificate_, uncertainty_,
                                                        major_, notes_, replaces_, readings_}) {
    input->setEnabled(false);
  }
  for (QComboBox* check : checks_) check->setEnabled(false);
  return saved_;
}

std::optional<std::string> RecordDialog::SavePdf(const std::filesystem::path& file) const {
  if (!saved_) return std::string("记录尚未保存");
  auto opened = GaugeRegister::OpenExisting(*place_.file);
  if (const auto* error = std::get_if<RegisterError>(&opened)) return error->message;
  const GaugeRegister& gauges = std::get<GaugeRegister>(opened);
  const auto record = gauges.Record(*saved_);
  if (!record) return std::string("量规台账中没有记录 ") + std::to_string(*saved_);
  return WriteRecordPdf({*record, gauge_, TrendOf(gauges.RecordsOf(gauge_.number))}, file);
}

void RecordDialog::AskSavePdf() {
  const QString name = QFileDialog::getSaveFileName(
      this, QStringLiteral("保存检定记录"),
      QStringLiteral("检定记录 %1 %2.pdf").arg(*saved_).arg(Q(gauge_.number)),
      QStringLiteral("PDF (*.pdf)"));
  if (name.isEmpty()) return;
  if (auto failed = SavePdf(PathFromUtf8(name.toStdString()))) {
    QMessageBox::warning(this, windowTitle(), Q(*failed));
  }
}

void RecordDialog::Print() {
  if (!saved_) return;
  auto opened = GaugeRegister::OpenExisting(*place_.file);
  if (!std::holds_alternative<GaugeRegister>(opened)) return;
  const GaugeRegister& gauges = std::get<GaugeRegister>(opened);
  const auto record = gauges.Record(*saved_);
  if (!record) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter(&printer);
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  PaintRecord(painter, QRectF(area.translated(-area.topLeft())),
              {*record, gauge_, TrendOf(gauges.RecordsOf(gauge_.number))});
}

}  // namespace threadgauge
