#include "record_dialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "calculation/gauge_kind.h"
#include "check_plugs_box.h"
#include "dialog_button.h"
#include "fit_to_screen.h"
#include "platform/utf8.h"
#include "readings_table.h"
#include "record_form.h"
#include "report/record_page.h"
#include "tolerance/tolerance_database.h"
#include "words/calculation_words.h"
#include "words/message_words.h"

namespace threadgauge {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString LimitsLine(const GaugeLimits& l) {
  QString text = l.decidable() ? QStringLiteral("新制中径 %1 … %2 mm")
                                     .arg(Q(Millimetres(*l.low)), Q(Millimetres(*l.high)))
                               : QStringLiteral("新制中径 未知（公差表缺少所需的行）");
  if (l.has_wear_limit) {
    text += QStringLiteral("　　磨损极限 ") +
            (l.wear ? Q(Millimetres(*l.wear)) + QStringLiteral(" mm") : QStringLiteral("未知"));
  }
  return text + QStringLiteral("\n") + Q(DescribeDatabase(l.calculation));
}

RecordDialog::RecordDialog(RegisterPlace place, GaugeEntry gauge, QWidget* parent)
    : QDialog(parent), place_(std::move(place)), gauge_(std::move(gauge)) {
  setObjectName("RecordDialog");
  setWindowTitle(QStringLiteral("新建检定记录 ") + Q(gauge_.number));
  if (auto opened = OpenRegisterFor(this, place_, false))
    earlier_ = opened->RecordsOf(gauge_.number);
  // The limits are computed once: typing a reading re-reads nothing.
  const auto limits = LimitsOfGauge(gauge_, place_.database());
  QString element_shown;
  if (const auto* computed = std::get_if<GaugeLimits>(&limits)) {
    limits_ = *computed;
    P_ = std::get<GaugeRequest>(RequestOf(gauge_)).P;
    FormState shown;
    shown.Apply(limits_->calculation.update);
    element_shown = Q(shown.Field(OutputField::WireOrBall));
  }

  auto* layout = new QVBoxLayout(this);
  auto* identity = new QLabel(Q(gauge_.number + "　" + gauge_.thread + "　" + gauge_.kind + "　" +
                                (gauge_.length.empty() ? "" : "螺纹部分长度 " + gauge_.length)),
                              this);
  identity->setObjectName("Identity");
  layout->addWidget(identity);
  limits_text_ =
      new QLabel(limits_ ? LimitsLine(*limits_) : Q(Say(std::get<Message>(limits))), this);
  limits_text_->setObjectName("Limits");
  limits_text_->setWordWrap(true);
  layout->addWidget(limits_text_);
  form_ = new RecordForm(gauge_, ring(), element_shown, earlier_, place_.today(), this);
  layout->addWidget(form_);
  readings_ = new ReadingsTable(
      ring() ? QStringLiteral("E 读数 (mm)") : QStringLiteral("M 读数 (mm)"), this);
  layout->addWidget(readings_, 1);
  checks_ = new CheckPlugsBox(ring() ? FindGaugeKind(gauge_.kind) : nullptr, this);
  checks_->setVisible(false);
  layout->addWidget(checks_);

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
  connect(form_, &RecordForm::changed, this, &RecordDialog::Update);
  connect(readings_, &ReadingsTable::readingsChanged, this, &RecordDialog::Update);
  connect(checks_, &CheckPlugsBox::changed, this, &RecordDialog::Update);
  resize(820, 700);
  FitToScreen(this, size());
  Update();
}

bool RecordDialog::ring() const {
  const GaugeKind* kind = FindGaugeKind(gauge_.kind);
  return kind && kind->layout == Layout::Ring;
}

void RecordDialog::PasteReadings(const QString& text) { readings_->Paste(text); }

std::optional<InspectionInputs> RecordDialog::ReadInputs(QString& problem) const {
  InspectionInputs in;
  form_->ReadInto(in, problem);
  if (in.method == InspectionMethod::CheckPlugs) {
    checks_->ReadInto(in);
  } else {
    readings_->ReadInto(in.values, in.positions, problem);
  }
  if (!problem.isEmpty()) return std::nullopt;
  return in;
}

void RecordDialog::Update() {
  const bool by_checks = form_->by_check_plugs();
  checks_->setVisible(by_checks);
  readings_->setVisible(!by_checks);
  if (!saved_) judged_ = ShowDecision();
  const std::optional<GaugeLimits>& judged = judged_;
  // Each row's pitch diameter and verdict, as typed, on the limits the gauge is judged on
  // (its manufacturing zone alone when it is being accepted new).
  const double element = form_->element();
  const auto U = form_->uncertainty();
  readings_->ShowComputed([&](double value) -> std::optional<std::pair<QString, QString>> {
    if (!(element > 0) || !judged) return std::nullopt;
    const double d2 =
        ring() ? PitchDiameterFromE(value, P_, element) : PitchDiameterFromM(value, P_, element);
    return std::pair{Q(Millimetres(d2)), Q(VerdictLine(Judge(*judged, d2, U), U))};
  });
}

std::optional<GaugeLimits> RecordDialog::ShowDecision() {
  QString problem;
  const auto inputs = ReadInputs(problem);
  save_->setEnabled(limits_.has_value());
  if (!inputs || !limits_) {
    verdict_->setText(problem);
    remarks_->clear();
    return limits_;
  }
  const auto decided = DecideInspection(gauge_, *inputs, *limits_, place_.today(), earlier_);
  if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
    verdict_->setText(Q(Say(refused->message)));
    remarks_->clear();
    GaugeLimits asked = *limits_;
    asked.acceptance = inputs->acceptance;
    return asked;
  }
  const DecidedInspection& d = std::get<DecidedInspection>(decided);
  verdict_->setText(QStringLiteral("结论：") + Q(RecordVerdictLine(d.record)));
  QStringList remarks;
  if (auto action = ActionAfter(d.record)) remarks << Q(*action);
  for (const std::string& remark : d.remarks) remarks << Q(remark);
  remarks_->setText(remarks.join(QLatin1Char('\n')));
  return d.limits;
}

std::optional<long long> RecordDialog::Save() {
  if (saved_ || !limits_) return saved_;
  QString problem;
  auto inputs = ReadInputs(problem);
  if (!inputs) {
    QMessageBox::warning(this, windowTitle(), problem);
    return std::nullopt;
  }
  auto decided = DecideInspection(gauge_, *inputs, *limits_, place_.today(), earlier_);
  if (const auto* refused = std::get_if<InspectionRefusal>(&decided)) {
    if (!refused->needs_confirmation) {
      QMessageBox::warning(this, windowTitle(), Q(Say(refused->message)));
      return std::nullopt;
    }
    QMessageBox ask(QMessageBox::Question, windowTitle(),
                    Q(Say(refused->message)) + QStringLiteral("。确认读数无误并保存？"),
                    QMessageBox::NoButton, this);
    QPushButton* keep = ask.addButton(QStringLiteral("仍然保存"), QMessageBox::AcceptRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("返回修改"), QMessageBox::RejectRole));
    ask.exec();
    if (ask.clickedButton() != keep) return std::nullopt;
    inputs->force = true;
    decided = DecideInspection(gauge_, *inputs, *limits_, place_.today(), earlier_);
  }
  auto opened = OpenRegisterFor(this, place_, false);
  if (!opened) return std::nullopt;
  InspectionRecord record = std::get<DecidedInspection>(decided).record;
  Stamp(record, StampOf(place_.database()));
  const auto stored = opened->AddRecord(record);
  if (const auto* failed = std::get_if<RegisterError>(&stored)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(failed->message)));
    return std::nullopt;
  }
  saved_ = std::get<long long>(stored);
  save_->setEnabled(false);
  print_->setEnabled(true);
  pdf_->setEnabled(true);
  setWindowTitle(QStringLiteral("检定记录 %1 — %2").arg(*saved_).arg(Q(gauge_.number)));
  verdict_->setText(verdict_->text() + QStringLiteral("（已保存为检定记录 %1）").arg(*saved_));
  if (ActionAfter(record)) {
    remarks_->setText(
        remarks_->text() +
        QStringLiteral("\n请在量规页上把它“停用”或“报废”；在处理之前它一直列为到期。"));
  }
  form_->Lock();
  readings_->setEnabled(false);
  checks_->Lock();
  return saved_;
}

std::optional<std::string> RecordDialog::SavePdf(const std::filesystem::path& file) const {
  if (!saved_) return std::string("记录尚未保存");
  auto opened = OpenPlace(place_, false);
  if (const auto* error = std::get_if<RegisterError>(&opened)) return Say(error->message);
  const auto page = RecordPageFor(std::get<GaugeRegister>(opened), *saved_);
  if (!page) return std::string("量规台账中没有记录 ") + std::to_string(*saved_);
  return WriteRecordPdf(*page, file);
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
  auto opened = OpenPlace(place_, false);
  if (const auto* error = std::get_if<RegisterError>(&opened)) {
    QMessageBox::warning(this, windowTitle(), Q(Say(error->message)));
    return;
  }
  const auto page = RecordPageFor(std::get<GaugeRegister>(opened), *saved_);
  if (!page) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("量规台账中没有记录 %1，无法打印").arg(*saved_));
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("打印机无法开始打印"));
    return;
  }
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  PaintRecord(painter, printer, QRectF(area.translated(-area.topLeft())), *page);
  if (!painter.end()) QMessageBox::warning(this, windowTitle(), QStringLiteral("打印未能完成"));
}

}  // namespace threadgauge
